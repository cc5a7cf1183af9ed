// The MPRIS service on a private session bus, driven by dbus-send as a desktop's media controls
// would drive it.

#include "app/desktop/mpris_service.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDBusMessage>

#include "tests/app/desktop/private_bus.h"

namespace nivra::app {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class FakeMprisPlayer final : public MprisPlayer {
 public:
  void Play() override { act("Play", "Playing"); }
  void Pause() override { act("Pause", "Paused"); }
  void PlayPause() override { act("PlayPause", status == "Playing" ? "Paused" : "Playing"); }
  void Stop() override { act("Stop", "Stopped"); }
  void Next() override {
    act("Next", "Playing");
    title = "第二集";
  }
  void Previous() override { act("Previous", "Playing"); }
  void Raise() override { calls.push_back("Raise"); }
  void Quit() override { calls.push_back("Quit"); }
  std::string PlaybackStatus() const override { return status; }
  std::string Title() const override { return title; }
  double Volume() const override { return volume; }
  void SetVolume(double v) override {
    calls.push_back("SetVolume " + std::to_string(v));
    volume = v;
  }

  std::vector<std::string> calls;
  std::string status = "Playing";
  std::string title = "第一集";
  double volume = 0.5;

 private:
  void act(const char* name, const char* next) {
    calls.push_back(name);
    status = next;
  }
};

class MprisServiceTest : public ::testing::Test {
 protected:
  platform::CapturedRun send(std::vector<std::string> words) {
    std::vector<std::string> args{"--bus=" + bus.address(), "--print-reply",
                                  "--dest=org.mpris.MediaPlayer2.nivra", "/org/mpris/MediaPlayer2"};
    args.insert(args.end(), words.begin(), words.end());
    return test::runServing("dbus-send", args);
  }
  std::string get(const std::string& property) {
    return send({"org.freedesktop.DBus.Properties.Get", "string:org.mpris.MediaPlayer2.Player",
                 "string:" + property})
        .out;
  }

  test::PrivateBus bus;
  FakeMprisPlayer player;
  MprisService service{player, bus.connect()};
};

TEST_F(MprisServiceTest, MediaControlsDriveThePlayer) {
  ASSERT_TRUE(service.Registered());
  for (const char* method : {"Pause", "Play", "PlayPause", "Stop", "Next", "Previous"})
    EXPECT_EQ(send({std::string("org.mpris.MediaPlayer2.Player.") + method}).exitCode, 0) << method;
  for (const char* method : {"Raise", "Quit"})
    EXPECT_EQ(send({std::string("org.mpris.MediaPlayer2.") + method}).exitCode, 0) << method;
  EXPECT_THAT(player.calls, ElementsAre("Pause", "Play", "PlayPause", "Stop", "Next", "Previous",
                                        "Raise", "Quit"));
}

TEST_F(MprisServiceTest, StatusTitleAndVolumeFollowThePlayer) {
  ASSERT_TRUE(service.Registered());
  EXPECT_THAT(get("PlaybackStatus"), HasSubstr("\"Playing\""));
  EXPECT_THAT(get("Metadata"), HasSubstr("\"第一集\""));
  send({"org.mpris.MediaPlayer2.Player.Pause"});
  EXPECT_THAT(get("PlaybackStatus"), HasSubstr("\"Paused\""));
  send({"org.mpris.MediaPlayer2.Player.Next"});
  EXPECT_THAT(get("Metadata"), HasSubstr("\"第二集\""));
  send({"org.mpris.MediaPlayer2.Player.Stop"});
  EXPECT_THAT(get("PlaybackStatus"), HasSubstr("\"Stopped\""));
  EXPECT_THAT(get("Volume"), HasSubstr("double 0.5"));
  send({"org.freedesktop.DBus.Properties.Set", "string:org.mpris.MediaPlayer2.Player",
        "string:Volume", "variant:double:0.25"});
  EXPECT_EQ(player.volume, 0.25);
  const auto all =
      send({"org.freedesktop.DBus.Properties.GetAll", "string:org.mpris.MediaPlayer2"});
  EXPECT_THAT(all.out, HasSubstr("\"Nivra\""));
}

TEST_F(MprisServiceTest, UnknownMethodsAndPropertiesAreErrors) {
  ASSERT_TRUE(service.Registered());
  EXPECT_NE(send({"org.mpris.MediaPlayer2.Player.Explode"}).exitCode, 0);
  EXPECT_NE(send({"org.mpris.MediaPlayer2.Player.Raise"}).exitCode, 0);  // Raise is the root's
  const auto missing = send({"org.freedesktop.DBus.Properties.Get",
                             "string:org.mpris.MediaPlayer2.Player", "string:Nothing"});
  EXPECT_NE(missing.exitCode, 0);
  EXPECT_THAT(missing.err, HasSubstr("InvalidArgs"));
  EXPECT_TRUE(player.calls.empty());
}

TEST_F(MprisServiceTest, ChangesAreAnnouncedOnce) {
  ASSERT_TRUE(service.Registered());
  test::TestProcess monitor(
      "dbus-monitor",
      {"--address", bus.address(),
       "type='signal',interface='org.freedesktop.DBus.Properties',member='PropertiesChanged'"});
  // dbus-monitor prints its own NameAcquired/NameLost lines first; wait until it listens.
  ASSERT_TRUE(monitor.waitFor("signal"));
  while (monitor.readLine(std::chrono::milliseconds(200))) {
  }
  service.NotifyChanged();  // nothing changed yet: no signal
  player.status = "Paused";
  player.title = "第三集";
  service.NotifyChanged();
  QCoreApplication::processEvents();
  std::string text;
  while (auto line = monitor.readLine(std::chrono::milliseconds(500))) text += *line + "\n";
  EXPECT_THAT(text, HasSubstr("\"Paused\""));
  EXPECT_THAT(text, HasSubstr("\"第三集\""));
  EXPECT_EQ(text.find("Volume"), std::string::npos);
  EXPECT_EQ(text.find("PropertiesChanged"), text.rfind("PropertiesChanged"));  // one signal
}

TEST(MprisService, SecondServiceCannotTakeTheName) {
  test::PrivateBus bus;
  FakeMprisPlayer first, second;
  MprisService a(first, bus.connect());
  MprisService b(second, bus.connect());
  EXPECT_TRUE(a.Registered());
  EXPECT_FALSE(b.Registered());
}

}  // namespace
}  // namespace nivra::app
