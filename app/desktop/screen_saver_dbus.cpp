#include "app/desktop/screen_saver_dbus.h"

#include "app/desktop/dbus_call.h"
#include "platform/module_names.h"

namespace nivra::app {
namespace {

const QString kService = QStringLiteral("org.freedesktop.ScreenSaver");
const QString kPath = QStringLiteral("/org/freedesktop/ScreenSaver");

class DbusScreenSaverInhibitor final : public ScreenSaverInhibitor {
 public:
  explicit DbusScreenSaverInhibitor(QDBusConnection bus) : bus_(std::move(bus)) {}
  ~DbusScreenSaverInhibitor() override { UnInhibit(); }

  void Inhibit(const std::string& reason) override {
    if (cookie_) return;
    const QDBusMessage reply =
        call(QStringLiteral("Inhibit"),
             {QString::fromUtf8(platform::names::kAppName), QString::fromStdString(reason)});
    if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty())
      cookie_ = reply.arguments().first().toUInt();
  }

  void UnInhibit() override {
    if (!cookie_) return;
    call(QStringLiteral("UnInhibit"), {QVariant::fromValue(*cookie_)});
    cookie_.reset();
  }

  bool Inhibited() const override { return cookie_.has_value(); }

 private:
  QDBusMessage call(const QString& method, const QList<QVariant>& args) {
    return CallDbus(bus_, {kService, kPath, kService}, method, args, "ScreenSaver");
  }

  QDBusConnection bus_;
  std::optional<quint32> cookie_;
};

}  // namespace

std::unique_ptr<ScreenSaverInhibitor> makeDbusScreenSaverInhibitor(const QDBusConnection& bus) {
  return std::make_unique<DbusScreenSaverInhibitor>(bus);
}

std::unique_ptr<ScreenSaverInhibitor> makeScreenSaverInhibitor() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return makeNullScreenSaverInhibitor();
  return makeDbusScreenSaverInhibitor(bus);
}

}  // namespace nivra::app
