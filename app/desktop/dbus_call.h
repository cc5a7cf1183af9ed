#pragma once
// One blocking D-Bus method call with a short time limit, for the desktop services the program
// asks on the GUI thread. An error reply is written as the debug line "<label>: <error name>".

#include <QDBusConnection>
#include <QDBusMessage>
#include <QList>
#include <QVariant>
#include <string>

namespace nivra::app {

inline constexpr int kDbusCallTimeoutMs = 2000;

// `object` is "service path interface" of the callee.
struct DbusObject {
  QString service, path, interface;
};

QDBusMessage CallDbus(const QDBusConnection& bus, const DbusObject& object, const QString& method,
                      const QList<QVariant>& args, const std::string& label);

}  // namespace nivra::app
