#include "app/desktop/mpris_service.h"

#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <algorithm>
#include <functional>
#include <map>

#include "platform/module_names.h"

namespace nivra::app {
namespace {

const QString kRootInterface = QStringLiteral("org.mpris.MediaPlayer2");
const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString kPropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

const char* const kIntrospection = R"(
<interface name="org.mpris.MediaPlayer2">
  <method name="Raise"/><method name="Quit"/>
  <property name="CanQuit" type="b" access="read"/>
  <property name="CanRaise" type="b" access="read"/>
  <property name="HasTrackList" type="b" access="read"/>
  <property name="Identity" type="s" access="read"/>
  <property name="DesktopEntry" type="s" access="read"/>
  <property name="SupportedUriSchemes" type="as" access="read"/>
  <property name="SupportedMimeTypes" type="as" access="read"/>
</interface>
<interface name="org.mpris.MediaPlayer2.Player">
  <method name="Next"/><method name="Previous"/><method name="Pause"/>
  <method name="PlayPause"/><method name="Stop"/><method name="Play"/>
  <method name="Seek"><arg name="Offset" type="x" direction="in"/></method>
  <method name="SetPosition"><arg name="TrackId" type="o" direction="in"/>
    <arg name="Position" type="x" direction="in"/></method>
  <method name="OpenUri"><arg name="Uri" type="s" direction="in"/></method>
  <signal name="Seeked"><arg name="Position" type="x"/></signal>
  <property name="PlaybackStatus" type="s" access="read"/>
  <property name="Rate" type="d" access="readwrite"/>
  <property name="Metadata" type="a{sv}" access="read"/>
  <property name="Volume" type="d" access="readwrite"/>
  <property name="Position" type="x" access="read"/>
  <property name="MinimumRate" type="d" access="read"/>
  <property name="MaximumRate" type="d" access="read"/>
  <property name="CanGoNext" type="b" access="read"/>
  <property name="CanGoPrevious" type="b" access="read"/>
  <property name="CanPlay" type="b" access="read"/>
  <property name="CanPause" type="b" access="read"/>
  <property name="CanSeek" type="b" access="read"/>
  <property name="CanControl" type="b" access="read"/>
</interface>
)";

}  // namespace

// The exported object: methods and properties dispatched by hand, so no meta-object compiler
// is needed.
class MprisService::Object final : public QDBusVirtualObject {
 public:
  explicit Object(MprisPlayer& player) : player_(player) {}

  QString introspect(const QString&) const override { return QString::fromLatin1(kIntrospection); }

  bool handleMessage(const QDBusMessage& msg, const QDBusConnection& bus) override {
    const QString iface = msg.interface(), member = msg.member();
    if (iface == kPropertiesInterface) return handleProperties(msg, bus);
    using Action = std::function<void()>;
    const std::map<QString, Action> actions = {
        {"Raise", [this] { player_.Raise(); }},
        {"Quit", [this] { player_.Quit(); }},
        {"Play", [this] { player_.Play(); }},
        {"Pause", [this] { player_.Pause(); }},
        {"PlayPause", [this] { player_.PlayPause(); }},
        {"Stop", [this] { player_.Stop(); }},
        {"Next", [this] { player_.Next(); }},
        {"Previous", [this] { player_.Previous(); }},
        {"Seek", [] {}},
        {"SetPosition", [] {}},
    };
    const auto action = actions.find(member);
    const bool rootMember = member == QLatin1String("Raise") || member == QLatin1String("Quit");
    const bool known =
        action != actions.end() &&
        (iface.isEmpty() || iface == (rootMember ? kRootInterface : kPlayerInterface));
    if (!known) {
      bus.send(msg.createErrorReply(QDBusError::UnknownMethod, QStringLiteral("No such method")));
      return true;
    }
    bus.send(msg.createReply());
    action->second();
    return true;
  }

  QVariantMap properties(const QString& iface) const {
    if (iface == kRootInterface)
      return {{"CanQuit", true},
              {"CanRaise", true},
              {"HasTrackList", false},
              {"Identity", QString::fromUtf8(platform::names::kAppName)},
              {"DesktopEntry", QStringLiteral("nivra")},
              {"SupportedUriSchemes", QStringList{QStringLiteral("file"), QStringLiteral("http")}},
              {"SupportedMimeTypes", QStringList{}}};
    if (iface != kPlayerInterface) return {};
    return {{"PlaybackStatus", QString::fromStdString(player_.PlaybackStatus())},
            {"Rate", 1.0},
            {"Metadata", metadata()},
            {"Volume", player_.Volume()},
            {"Position", QVariant::fromValue(qlonglong(0))},
            {"MinimumRate", 1.0},
            {"MaximumRate", 1.0},
            {"CanGoNext", true},
            {"CanGoPrevious", true},
            {"CanPlay", true},
            {"CanPause", true},
            {"CanSeek", false},
            {"CanControl", true}};
  }

 private:
  QVariantMap metadata() const {
    QVariantMap meta{{"mpris:trackid", QVariant::fromValue(QDBusObjectPath(
                                           QStringLiteral("/org/mpris/MediaPlayer2/Track/0")))}};
    const std::string title = player_.Title();
    if (!title.empty()) meta.insert("xesam:title", QString::fromStdString(title));
    return meta;
  }

  bool handleProperties(const QDBusMessage& msg, const QDBusConnection& bus) {
    const QList<QVariant> args = msg.arguments();
    const QString iface = args.value(0).toString();
    const QVariantMap all = properties(iface);
    if (msg.member() == QLatin1String("GetAll") && args.size() == 1) {
      bus.send(msg.createReply(QVariant::fromValue(all)));
      return true;
    }
    const QString name = args.value(1).toString();
    if (msg.member() == QLatin1String("Get") && args.size() == 2 && all.contains(name)) {
      bus.send(msg.createReply(QVariant::fromValue(QDBusVariant(all.value(name)))));
      return true;
    }
    if (msg.member() == QLatin1String("Set") && args.size() == 3 && iface == kPlayerInterface) {
      const QVariant value = args.value(2).value<QDBusVariant>().variant();
      if (name == QLatin1String("Volume"))
        player_.SetVolume(std::clamp(value.toDouble(), 0.0, 1.0));
      if (name == QLatin1String("Volume") || name == QLatin1String("Rate")) {
        bus.send(msg.createReply());
        return true;
      }
    }
    bus.send(msg.createErrorReply(QDBusError::InvalidArgs, QStringLiteral("No such property")));
    return true;
  }

  MprisPlayer& player_;
};

MprisService::MprisService(MprisPlayer& player, QDBusConnection bus)
    : object_(std::make_unique<Object>(player)), bus_(std::move(bus)) {
  if (!bus_.isConnected()) return;
  if (!bus_.registerVirtualObject(QString::fromLatin1(kMprisObjectPath), object_.get())) return;
  registered_ = bus_.registerService(QString::fromLatin1(kMprisServiceName));
  if (!registered_) bus_.unregisterObject(QString::fromLatin1(kMprisObjectPath));
  last_ = object_->properties(kPlayerInterface);
}

MprisService::~MprisService() {
  if (!registered_) return;
  bus_.unregisterService(QString::fromLatin1(kMprisServiceName));
  bus_.unregisterObject(QString::fromLatin1(kMprisObjectPath));
}

void MprisService::NotifyChanged() {
  if (!registered_) return;
  const QVariantMap now = object_->properties(kPlayerInterface);
  QVariantMap changed;
  for (const char* name : {"PlaybackStatus", "Metadata", "Volume"})
    if (now.value(name) != last_.value(name)) changed.insert(name, now.value(name));
  last_ = now;
  if (changed.isEmpty()) return;
  QDBusMessage signal =
      QDBusMessage::createSignal(QString::fromLatin1(kMprisObjectPath), kPropertiesInterface,
                                 QStringLiteral("PropertiesChanged"));
  signal.setArguments({kPlayerInterface, changed, QStringList{}});
  bus_.send(signal);
}

std::unique_ptr<MprisService> makeMprisService(MprisPlayer& player) {
  return std::make_unique<MprisService>(player, QDBusConnection::sessionBus());
}

}  // namespace nivra::app
