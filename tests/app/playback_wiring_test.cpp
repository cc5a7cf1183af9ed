#include "app/playback_wiring.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/manual_event_loop.h"
#include "tests/support/env_guard.h"
#include "tests/support/temp_dir.h"

namespace nivra::app {
namespace {

using player::psPause;
using player::psPlay;
using player::psStop;
using Calls = std::vector<std::string>;

// Records every call the wiring makes on the window and the player, in order.
class FakeView final : public PlaybackView {
 public:
  Calls calls;
  bool topMostOnPlay = false;
  bool panel = true;
  std::string title;
  std::map<std::string, std::string> linkNames;
  bool adShowing = false;
  int volumeBar = 100;
  bool muted = false;
  player::TPlayState state = psStop;
  std::string lastUrl;

  void SetCaption(std::string_view text) override { log("Caption:" + std::string(text)); }
  void SetTimeText(std::string_view text) override { log("Time:" + std::string(text)); }
  void SetSpeedText(std::string_view text) override { log("Speed:" + std::string(text)); }
  void SetPlayButton(int image) override { log("PlayButton:" + std::to_string(image)); }
  void SetSeekBar(int max, int pos) override {
    log("SeekBar:" + std::to_string(max) + "," + std::to_string(pos));
  }
  void SetSeekPosition(int pos) override { log("SeekPos:" + std::to_string(pos)); }
  void SetSeekEnabled(bool on) override { log(on ? "SeekOn" : "SeekOff"); }
  int VolumeBarPosition() const override { return volumeBar; }
  bool MuteButtonShowsMuted() const override { return muted; }
  bool TopMostOnPlayChecked() const override { return topMostOnPlay; }
  void ActTopMostOnPlay() override { log("ActTopMostOnPlay"); }
  void ActPagePlay() override { log("ActPagePlay"); }
  void ActNext() override { log("ActNext"); }
  void FitWindowToMedia() override { log("FitWindowToMedia"); }
  bool LibraryPanelExists() const override { return panel; }
  std::string PlayingTitle() const override { return title; }
  void SetPlayingTitle(std::string t) override {
    title = t;
    log("Title:" + t);
  }
  void ClearPlayingNode() override { log("ClearPlayingNode"); }
  std::string LinkName(std::string_view link) const override {
    auto it = linkNames.find(std::string(link));
    return it == linkNames.end() ? std::string() : it->second;
  }
  bool AdPageShowing() const override { return adShowing; }
  void ShowAdPage(std::string_view page, int w, int h, int ms) override {
    adShowing = true;
    log("ShowAdPage:" + std::string(page) + " " + std::to_string(w) + "x" + std::to_string(h) +
        " " + std::to_string(ms));
  }
  void HideAdPage() override {
    adShowing = false;
    log("HideAdPage");
  }
  void ShowError(std::string_view text) override { log("ShowError:" + std::string(text)); }
  void StartUpdater(const std::vector<std::string>& args) override {
    std::string line = "StartUpdater:";
    for (const auto& a : args) line += " " + a;
    log(line);
  }
  player::TPlayState PlayerState() const override { return state; }
  std::string PlayerLastUrl() const override { return lastUrl; }
  void PlayerStop() override { log("PlayerStop"); }
  void PlayerPause() override { log("PlayerPause"); }
  void PlayerPlay() override { log("PlayerPlay"); }
  void PlayerOpen(std::string_view item) override { log("PlayerOpen:" + std::string(item)); }
  void PlayerSetVolume(int v) override { log("PlayerVolume:" + std::to_string(v)); }
  void PlayerSetMute(bool m) override { log(m ? "PlayerMute:1" : "PlayerMute:0"); }
  void PlayerSeek(std::int64_t ms) override { log("PlayerSeek:" + std::to_string(ms)); }

  Calls take() { return std::exchange(calls, {}); }

 private:
  void log(std::string line) { calls.push_back(std::move(line)); }
};

struct Harness {
  platform::ManualEventLoop loop;
  FakeView view;
  PlaybackWiring wiring{view, loop};
};

// An item's way through the pre-roll: the first psPlay pauses at once, the pause shows the
// pause page with a count-down; once it has ended, pauses show the buffering page instead.
TEST(PlaybackWiring, PlayAndPauseFollowThePreRollCycle) {
  struct Case {
    const char* name;
    std::function<void(Harness&)> setup;
    std::function<void(PlaybackWiring&)> events;
    Calls expected;
  };
  const auto linkFromLibrary = [](Harness& h) {
    h.view.lastUrl = "Nivra://abc";
    h.view.linkNames["Nivra://abc"] = "movie.RMVB";
  };
  const Case cases[] = {
      {"first play pauses for the pre-roll page",
       linkFromLibrary,
       [](PlaybackWiring& w) { w.OnPlayStateChange(psPlay); },
       {"PlayButton:1", "SeekOn", "PlayerVolume:100", "PlayerMute:0", "Title:movie",
        "Caption:[正在播放] movie", "FitWindowToMedia", "PlayerPause", "ActPagePlay"}},
      {"the pause that follows shows the pause page",
       linkFromLibrary,
       [](PlaybackWiring& w) {
         w.OnPlayStateChange(psPlay);
         w.OnPlayStateChange(psPause);
       },
       {"PlayButton:1", "SeekOn", "PlayerVolume:100", "PlayerMute:0", "Title:movie",
        "Caption:[正在播放] movie", "FitWindowToMedia", "PlayerPause", "ActPagePlay",
        "PlayButton:0", "Caption:[暂停] movie", "ShowAdPage:/zanting.html 480x360 15000"}},
      {"after the count-down play hides the page and pause shows the buffering page",
       [](Harness& h) {
         h.view.title = "第1集";
         h.view.volumeBar = 35;
         h.view.muted = true;
         h.view.adShowing = true;
         h.view.topMostOnPlay = true;
       },
       [](PlaybackWiring& w) {
         w.AdCountdownEnded();
         w.OnPlayStateChange(psPlay);
         w.OnPlayStateChange(psPause);
       },
       {"PlayButton:1", "ActTopMostOnPlay", "SeekOn", "PlayerVolume:35", "PlayerMute:1",
        "Title:第1集", "Caption:[正在播放] 第1集", "FitWindowToMedia", "HideAdPage", "ActPagePlay",
        "PlayButton:0", "ActTopMostOnPlay", "Caption:[暂停] 第1集",
        "ShowAdPage:/huanchong.html 480x360 15000"}},
      {"a pause while the page is up does not show it again",
       [](Harness& h) { h.view.adShowing = true; },
       [](PlaybackWiring& w) { w.OnPlayStateChange(psPause); },
       {"PlayButton:0", "Caption:[暂停] "}},
      {"without the library panel the caption stays",
       [](Harness& h) { h.view.panel = false; },
       [](PlaybackWiring& w) {
         w.OnPlayStateChange(psPlay);
         w.OnPlayStateChange(psPause);
       },
       {"PlayButton:1", "SeekOn", "PlayerVolume:100", "PlayerMute:0", "FitWindowToMedia",
        "PlayerPause", "ActPagePlay", "PlayButton:0", "ShowAdPage:/zanting.html 480x360 15000"}},
      {"a link without a name is its own title",
       [](Harness& h) { h.view.lastUrl = "/media/clip"; },
       [](PlaybackWiring& w) { w.OnPlayStateChange(psPlay); },
       {"PlayButton:1", "SeekOn", "PlayerVolume:100", "PlayerMute:0", "Title:/media/clip",
        "Caption:[正在播放] /media/clip", "FitWindowToMedia", "PlayerPause", "ActPagePlay"}},
      {"a stop clears everything and the next item starts with the pause page again",
       [](Harness& h) {
         h.view.title = "x";
         h.view.adShowing = true;
         h.view.topMostOnPlay = true;
       },
       [](PlaybackWiring& w) {
         w.AdCountdownEnded();
         w.OnPlayStateChange(psStop);
         w.OnPlayStateChange(psPause);
       },
       {"PlayButton:0", "ActTopMostOnPlay", "SeekPos:0", "SeekOff", "Time:00:00/00:00",
        "Speed:停止", "Title:", "Caption:Nivra", "HideAdPage", "PlayButton:0", "ActTopMostOnPlay",
        "Caption:[暂停] ", "ShowAdPage:/zanting.html 480x360 15000"}},
      {"the stop command also restarts the pre-roll cycle",
       [](Harness&) {},
       [](PlaybackWiring& w) {
         w.AdCountdownEnded();
         w.Stop();
         w.OnPlayStateChange(psPause);
       },
       {"HideAdPage", "PlayerStop", "ClearPlayingNode", "Time:00:00/00:00", "Speed:停止",
        "PlayButton:0", "Caption:[暂停] ", "ShowAdPage:/zanting.html 480x360 15000"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Harness h;
    c.setup(h);
    c.events(h.wiring);
    EXPECT_EQ(h.view.take(), c.expected);
  }
}

TEST(PlaybackWiring, PositionShowsRoundedSecondsOnlyWhilePlayingAndNotDragging) {
  struct Case {
    std::int64_t duration, position;
    std::string time;
    std::string bar;
  };
  const Case cases[] = {
      {0, 59500, "Time:01:00/00:00",
       "SeekBar:0,60"},  // live stream; a half goes to the even second
      {120000, 58500, "Time:00:58/02:00", "SeekBar:120,58"},
      {3725000, 2500, "Time:00:02/62:05", "SeekBar:3725,2"},  // no hour field
      {3499, 3501, "Time:00:04/00:03", "SeekBar:3,4"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.time);
    Harness h;
    h.view.state = psPlay;
    h.wiring.OnPlayPosition(c.duration, c.position);
    EXPECT_EQ(h.view.take(), (Calls{c.bar, c.time, "HideAdPage"}));
  }

  Harness h;
  h.view.state = psPause;
  h.wiring.OnPlayPosition(10000, 5000);
  EXPECT_TRUE(h.view.take().empty());
  h.view.state = psPlay;
  h.wiring.BeginSeek();
  h.wiring.OnPlayPosition(10000, 5000);
  h.wiring.SeekChanging(7);  // the drag seeks when it ends, not on every move
  EXPECT_TRUE(h.view.take().empty());
  h.wiring.EndSeek(8);
  h.wiring.SeekChanging(9);
  h.wiring.OnPlayPosition(10000, 9000);
  EXPECT_EQ(h.view.take(), (Calls{"PlayerSeek:8000", "PlayerSeek:9000", "SeekBar:10,9",
                                  "Time:00:09/00:10", "HideAdPage"}));
  h.wiring.BeginSeek();
  h.wiring.OnPlayStateChange(psPlay);  // a new play clears a drag left over
  EXPECT_FALSE(h.wiring.Dragging());
}

TEST(PlaybackWiring, BufferingShowsProgressAndHoldsThePreRoll) {
  struct Case {
    const char* name;
    bool adDone;
    bool adShowing;
    int percent;
    Calls expected;
  };
  const Case cases[] = {
      {"progress before the pre-roll pauses",
       false,
       false,
       45,
       {"Time:正在缓冲...45%", "PlayerPause", "ShowAdPage:/zanting.html 480x360 15000"}},
      {"connecting before the pre-roll pauses",
       false,
       false,
       0,
       {"Speed:正在连接", "Time:正在加载......", "PlayerPause",
        "ShowAdPage:/zanting.html 480x360 15000"}},
      {"progress is clamped to 100",
       true,
       false,
       150,
       {"Time:正在缓冲...100%", "ShowAdPage:/huanchong.html 480x360 15000"}},
      {"negative means connecting",
       true,
       false,
       -3,
       {"Speed:正在连接", "Time:正在加载......", "ShowAdPage:/huanchong.html 480x360 15000"}},
      {"a page already up stays as it is", false, true, 10, {"Time:正在缓冲...10%"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Harness h;
    h.view.adShowing = c.adShowing;
    if (c.adDone) h.wiring.AdCountdownEnded();
    h.wiring.OnPlayBuffing(c.percent);
    EXPECT_EQ(h.view.take(), c.expected);
  }
}

// The error dialog is modal, so it is posted: nothing of it runs inside the player's callback.
TEST(PlaybackWiring, ErrorsStopFirstAndShowTheirTextAfterTheCallback) {
  struct Case {
    int code;
    std::string text;
    Calls posted;
  };
  const Case cases[] = {
      {21,
       "无法检测到电影源！",
       {"ShowError:您播放器不支持此电影解码，请更新播放器观看！",
        "StartUpdater: /silent /postbbs"}},
      {2, "render failed", {"ShowError:render failed"}},
      {0, "EC_USERABORT", {"ShowError:EC_USERABORT"}},
  };
  const Calls stop{"HideAdPage", "PlayerStop", "ClearPlayingNode", "Time:00:00/00:00",
                   "Speed:停止"};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    Harness h;
    h.wiring.AdCountdownEnded();
    h.wiring.OnPlayError(c.code, c.text);
    Calls inside = stop;
    if (c.code == 21) inside.push_back("HideAdPage");
    EXPECT_EQ(h.view.take(), inside);
    EXPECT_FALSE(h.wiring.AdDone());
    h.loop.runPending();
    EXPECT_EQ(h.view.take(), c.posted);
  }
}

TEST(PlaybackWiring, EndGoesToTheNextItemAndDebugLinesAreWritten) {
  test::TempDir dir;
  test::EnvGuard env;
  env.set("NIVRA_DEBUG_LOG", (dir / "debug.log").string());
  Harness h;
  h.wiring.OnPlayStateChange(psPlay);
  h.wiring.OnPlayBuffing(0);
  h.wiring.OnPlayStop();
  h.wiring.OnPlayEnd();
  h.wiring.OnPlayStateChange(psStop);
  EXPECT_EQ(test::readFile(dir / "debug.log"),
            "PlayerPause\nPlayerplay\nPlayerPause2\nPlayer1PlayStop\nPlayer1PlayEnd\npsStop\n");
  const Calls calls = h.view.take();
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "ActNext"), 1);
}

TEST(PlaybackWiring, PlayButtonAndSpaceDependOnStateAndCountDown) {
  struct Case {
    const char* name;
    player::TPlayState state;
    std::string lastUrl;
    bool adDone;
    void (PlaybackWiring::*command)();
    Calls expected;
  };
  const Case cases[] = {
      {"button when stopped reopens the last item",
       psStop,
       "Nivra://abc",
       false,
       &PlaybackWiring::PlayPause,
       {"PlayerStop", "PlayerOpen:Nivra://abc"}},
      {"button when stopped with nothing played",
       psStop,
       "",
       false,
       &PlaybackWiring::PlayPause,
       {"PlayerStop"}},
      {"button when playing", psPlay, "", false, &PlaybackWiring::PlayPause, {"PlayerPause"}},
      {"button during the count-down does nothing",
       psPause,
       "",
       false,
       &PlaybackWiring::PlayPause,
       {}},
      {"button after the count-down resumes",
       psPause,
       "",
       true,
       &PlaybackWiring::PlayPause,
       {"HideAdPage", "PlayerPlay"}},
      {"space when playing", psPlay, "", false, &PlaybackWiring::SpaceKey, {"PlayerPause"}},
      {"space when paused", psPause, "", true, &PlaybackWiring::SpaceKey, {"PlayerPlay"}},
      {"space when stopped", psStop, "x", false, &PlaybackWiring::SpaceKey, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Harness h;
    h.view.state = c.state;
    h.view.lastUrl = c.lastUrl;
    if (c.adDone) h.wiring.AdCountdownEnded();
    (h.wiring.*c.command)();
    EXPECT_EQ(h.view.take(), c.expected);
  }

  // Space during the count-down resumes the player, and the play state that follows pauses it
  // again: the pre-roll page cannot be skipped.
  Harness h;
  h.view.state = psPause;
  h.view.adShowing = true;
  h.wiring.SpaceKey();
  h.wiring.OnPlayStateChange(psPlay);
  const Calls calls = h.view.take();
  EXPECT_EQ(calls.front(), "PlayerPlay");
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "PlayerPause"), 1);
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "HideAdPage"), 0);
}

TEST(PlaybackWiring, SpeedLabelText) {
  struct Case {
    std::int64_t speed;
    std::string shown;
    std::optional<std::string> text;
  };
  const Case cases[] = {
      {1536, "停止", "1KB/s"},
      {1024, "", "1KB/s"},
      {512, "", "0.5KB/s"},
      {100, "", "0.1KB/s"},
      {1000, "", "0.98KB/s"},
      {1023, "", "1KB/s"},
      {5, "", "0KB/s"},
      {10, "", "0.01KB/s"},
      {0, "3KB/s", "0KB/s"},
      {0, "停止", std::nullopt},
      {0, "正在连接", std::nullopt},
      {-1, "3KB/s", std::nullopt},
      {5 * 1024 * 1024 + 1, "", "5120KB/s"},
      {128, "", "0.12KB/s"},
      {384, "", "0.38KB/s"},  // halves to even
  };
  for (const auto& c : cases)
    EXPECT_EQ(SpeedLabelText(c.speed, c.shown), c.text) << c.speed << " " << c.shown;
}

TEST(PlaybackWiring, TitleLosesEveryOccurrenceOfItsOwnExtension) {
  const std::pair<std::string, std::string> cases[] = {
      {"movie.rmvb", "movie"}, {"第1集", "第1集"},
      {"a.MP4.b.mp4", "a.b"},  {"", ""},
      {".rmvb", ""},           {"www.site.com/page", "www.site.com/page"},
      {"show.", "show"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(StripOwnExtension(in), out) << in;
}

}  // namespace
}  // namespace nivra::app
