#include "app/desktop/power_manager_logind.h"

#include "app/desktop/dbus_call.h"

namespace nivra::app {
namespace {

class LogindPowerManager final : public PowerManager {
 public:
  explicit LogindPowerManager(QDBusConnection bus) : bus_(std::move(bus)) {}

  bool CanPowerOff() override {
    const QDBusMessage reply = call(QStringLiteral("CanPowerOff"), {});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return false;
    const QString answer = reply.arguments().first().toString();
    return answer == QLatin1String("yes") || answer == QLatin1String("challenge");
  }

  bool PowerOff() override {
    return call(QStringLiteral("PowerOff"), {true}).type() == QDBusMessage::ReplyMessage;
  }

 private:
  QDBusMessage call(const QString& method, const QList<QVariant>& args) {
    return CallDbus(
        bus_,
        {QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
         QStringLiteral("org.freedesktop.login1.Manager")},
        method, args, "logind " + method.toStdString());
  }

  QDBusConnection bus_;
};

}  // namespace

std::unique_ptr<PowerManager> makeLogindPowerManager(const QDBusConnection& bus) {
  return std::make_unique<LogindPowerManager>(bus);
}

std::unique_ptr<PowerManager> makeLogindPowerManager() {
  return makeLogindPowerManager(QDBusConnection::systemBus());
}

}  // namespace nivra::app
