// The boss key's decision over a recording view of the main window.

#include "app/desktop/boss_key.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>

namespace nivra::app {
namespace {

using ::testing::ElementsAreArray;

class FakeBossKeyView final : public BossKeyView {
 public:
  bool WindowShowing() const override { return showing; }
  bool FullScreen() const override { return fullScreen; }
  void Act_Full() override {
    log("Act_Full");
    fullScreen = !fullScreen;
  }
  bool TrayIconVisible() const override { return trayVisible; }
  void SetTrayIconVisible(bool v) override {
    log(v ? "ShowTray" : "HideTray");
    trayVisible = v;
  }
  void SetMute(bool m) override {
    log(m ? "Mute" : "Unmute");
    if (throwOnMute) throw std::runtime_error("player gone");
  }
  bool Playing() const override { return playing; }
  void Pause() override {
    log("Pause");
    playing = false;
  }
  void Act_ShowTray() override {
    log("Act_ShowTray");
    showing = !showing;
    if (showing) playing = true;  // a paused player plays again when the window returns
  }

  bool showing = true, fullScreen = false, trayVisible = true, playing = false, throwOnMute = false;
  std::vector<std::string> calls;

 private:
  void log(const char* call) { calls.push_back(call); }
};

struct BossKeyCase {
  const char* name;
  bool showing, fullScreen, trayVisible, playing;
  BossKeySettings settings;
  std::vector<std::string> calls;
};
void PrintTo(const BossKeyCase& c, std::ostream* os) { *os << c.name; }

class BossKeyTest : public ::testing::TestWithParam<BossKeyCase> {};

TEST_P(BossKeyTest, HidesOrBringsBack) {
  const BossKeyCase& c = GetParam();
  FakeBossKeyView view;
  view.showing = c.showing, view.fullScreen = c.fullScreen, view.trayVisible = c.trayVisible,
  view.playing = c.playing;
  OnBossHotKey(view, c.settings);
  EXPECT_THAT(view.calls, ElementsAreArray(c.calls));
}

const BossKeySettings kDefaults{};
const BossKeySettings kKeepTray{true, false, true};
const BossKeySettings kNoMute{true, true, false};
const BossKeySettings kOff{false, true, true};

INSTANTIATE_TEST_SUITE_P(
    Cases, BossKeyTest,
    ::testing::Values(
        BossKeyCase{"FullScreenPlaying",
                    true,
                    true,
                    true,
                    true,
                    kDefaults,
                    {"Act_Full", "HideTray", "Mute", "Pause", "Act_ShowTray"}},
        BossKeyCase{"PausedWindowed",
                    true,
                    false,
                    true,
                    false,
                    kDefaults,
                    {"HideTray", "Mute", "Act_ShowTray"}},
        BossKeyCase{
            "TrayKept", true, false, true, true, kKeepTray, {"Mute", "Pause", "Act_ShowTray"}},
        BossKeyCase{
            "SoundKept", true, false, true, true, kNoMute, {"HideTray", "Pause", "Act_ShowTray"}},
        BossKeyCase{"BackAfterHiding",
                    false,
                    false,
                    false,
                    false,
                    kDefaults,
                    {"ShowTray", "Unmute", "Act_ShowTray"}},
        BossKeyCase{
            "BackWithTrayShown", false, false, true, false, kDefaults, {"Unmute", "Act_ShowTray"}},
        BossKeyCase{
            "BackWithoutUnmute", false, false, false, false, kNoMute, {"ShowTray", "Act_ShowTray"}},
        BossKeyCase{"SwitchedOff", true, true, true, true, kOff, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BossKey, SecondPressRestoresWhatTheFirstHid) {
  FakeBossKeyView view;
  view.fullScreen = view.playing = true;
  Act_BossKey(view, kDefaults);
  EXPECT_FALSE(view.showing || view.fullScreen || view.trayVisible || view.playing);
  Act_BossKey(view, kDefaults);
  EXPECT_TRUE(view.showing && view.trayVisible && view.playing);
}

TEST(BossKey, ErrorsAreSwallowed) {
  FakeBossKeyView view;
  view.throwOnMute = true;
  EXPECT_NO_THROW(Act_BossKey(view, kDefaults));
  EXPECT_EQ(view.calls.back(), "Mute");
}

}  // namespace
}  // namespace nivra::app
