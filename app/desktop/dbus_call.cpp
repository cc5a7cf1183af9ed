#include "app/desktop/dbus_call.h"

#include "platform/debug_output.h"

namespace nivra::app {

QDBusMessage CallDbus(const QDBusConnection& bus, const DbusObject& object, const QString& method,
                      const QList<QVariant>& args, const std::string& label) {
  QDBusMessage msg =
      QDBusMessage::createMethodCall(object.service, object.path, object.interface, method);
  msg.setArguments(args);
  QDBusMessage reply = bus.call(msg, QDBus::Block, kDbusCallTimeoutMs);
  if (reply.type() == QDBusMessage::ErrorMessage)
    platform::debugOutput(label + ": " + reply.errorName().toStdString());
  return reply;
}

}  // namespace nivra::app
