// TPlayer on the media-graph path, against the fake graph in virtual time.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <thread>

#include "tests/player/support/player_harness.h"

namespace nivra::player::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr std::int64_t kTwoSeconds = 2000 * 10000;

class GraphPathTest : public ::testing::Test, public PlayerHarness {
 protected:
  GraphPathTest() {
    lab.duration = kTwoSeconds;
    logPositions = false;
  }
  TPlayer& p() { return *player; }
};

TEST_F(GraphPathTest, OpenBuildsRendersAndRunsInOrder) {
  p().Open("/media/clip.webm");
  EXPECT_THAT(takeEvents(), ElementsAre("stop", "open 2000 1", "state 1"));
  EXPECT_THAT(lab.calls,
              ElementsAre("createGraph", "createRenderer vmVMR", "acquireVideoWindow 77", "Control",
                          "Events", "Seeking", "BasicAudio", "BasicVideo", "setNotify on",
                          "addRenderer Video Render", "addAudioFilter Audio Filter",
                          "setAudioChannel 0", "extendCodecSearchPath", "render /media/clip.webm", "setAudioChannel 0",
                          "setVolume 0", "attachVideoWindow 77", "placeVideoWindow 77 0,0,320x240",
                          "run"));
  EXPECT_EQ(p().MediaKind(), kMediaGraph);
  EXPECT_TRUE(p().Opened());
  EXPECT_TRUE(p().HasVideo());
  EXPECT_TRUE(p().CanSeek());
  EXPECT_EQ(p().Duration(), 2000u);
  EXPECT_EQ(p().FileName(), "/media/clip.webm");
  EXPECT_EQ(p().LastUrl(), "/media/clip.webm");
  EXPECT_EQ(p().MediaWidth(), 640);
  EXPECT_EQ(p().MediaHeight(), 360);
  EXPECT_TRUE(p().PositionTimerRunning());
}

TEST_F(GraphPathTest, EveryOpenPassesThroughStopAndReplacesTheGraph) {
  p().Open("a.mp4");
  p().Open("b.flv");
  // Open's own Stop ends the first item, OpenFile's Stop raises OnPlayStop once more.
  EXPECT_THAT(takeEvents(), ElementsAre("stop", "open 2000 1", "state 1", "state 0", "stop",
                                        "stop", "open 2000 1", "state 1"));
  EXPECT_EQ(lab.made, 2);
  EXPECT_EQ(lab.destroyed, 1);
}

TEST_F(GraphPathTest, TeardownReleasesInOrderAndStopsTheTimer) {
  p().SetGraphEdit(true);
  p().Open("a.mp4");
  lab.clearCalls();
  p().Stop();
  EXPECT_THAT(lab.calls, ElementsAre("unregisterFromInspector", "setNotify off", "stop",
                                     "releaseVideoWindow", "abort"));
  EXPECT_THAT(takeEvents(), ElementsAre("stop", "open 2000 1", "state 1", "state 0", "stop"));
  EXPECT_EQ(lab.destroyed, 1);
  EXPECT_FALSE(p().Opened());
  EXPECT_EQ(p().MediaKind(), kMediaNone);
  EXPECT_EQ(p().Duration(), 0u);
  EXPECT_FALSE(p().PositionTimerRunning());
  EXPECT_EQ(loop.activeTimers(), 0u);
}

struct BuildFailure {
  const char* step;
  int code;
};

class GraphBuildFailureTest : public GraphPathTest,
                              public ::testing::WithParamInterface<BuildFailure> {};

TEST_P(GraphBuildFailureTest, ReportsItsCodeAndLeavesTheControlStopped) {
  lab.failures[GetParam().step] = "piece missing";
  p().Open("clip.mkv");
  EXPECT_THAT(takeEvents(),
              ElementsAre("stop", "error " + std::to_string(GetParam().code) + " piece missing"));
  EXPECT_FALSE(p().Opened());
  EXPECT_EQ(p().PlayState(), psStop);
  EXPECT_FALSE(lab.called("render"));
  // The partial graph stays until the next Stop.
  EXPECT_EQ(lab.destroyed, 0);
  p().Stop();
  EXPECT_EQ(lab.destroyed, 1);
}

INSTANTIATE_TEST_SUITE_P(Steps, GraphBuildFailureTest,
                         ::testing::Values(BuildFailure{"createGraph", 1},
                                           BuildFailure{"createRenderer", 2},
                                           BuildFailure{"acquireVideoWindow", 2},
                                           BuildFailure{"Control", 3}, BuildFailure{"Events", 4},
                                           BuildFailure{"Seeking", 5},
                                           BuildFailure{"BasicAudio", 6},
                                           BuildFailure{"BasicVideo", 9}),
                         [](const auto& info) { return std::string(info.param.step); });

TEST_F(GraphPathTest, RenderFailureIsErrorEightExceptForRealMedia) {
  struct Case {
    const char* source;
    bool reported;
  };
  const Case cases[] = {{"broken.avi", true},     {"movie.RMVB", false}, {"movie.rm", false},
                        {"movie.rmvb.avi", true}, {"dir.rm/clip", true}, {"clip.ram", true},
                        {"/srv/x.RmVb", false},   {"noextension", true}};
  lab.failures["render"] = "cannot render";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source);
    p().Stop();
    takeEvents();
    p().Open(c.source);
    auto events = takeEvents();
    if (c.reported) {
      EXPECT_THAT(events, ElementsAre("stop", "error 8 cannot render"));
    } else {
      EXPECT_THAT(events, ElementsAre("stop"));
    }
    // The built graph stays loaded, silent, until the next Stop.
    EXPECT_TRUE(p().Opened());
    EXPECT_NE(lab.current, nullptr);
    EXPECT_EQ(p().PlayState(), psStop);
    EXPECT_FALSE(lab.called("run"));
  }
}

// A source that is not ready when render() returns (a slow server): Open returns at once and
// the graph's event finishes the open with the same events, in the same order.
TEST_F(GraphPathTest, SlowRenderFinishesTheOpenFromTheGraphEvent) {
  logPositions = true;
  lab.slowRender = true;
  p().Open("/media/clip.webm");
  EXPECT_THAT(takeEvents(), ElementsAre("stop"));
  lab.clearCalls();
  EXPECT_TRUE(p().OpenPending());
  EXPECT_TRUE(p().Opened());
  // Nothing runs, ticks or seeks before the source is ready.
  p().Play();
  p().Pause();
  p().Seek(500);
  loop.advance(180 * 3);
  EXPECT_THAT(takeEvents(), IsEmpty());
  EXPECT_THAT(lab.calls, IsEmpty());
  EXPECT_EQ(p().PlayState(), psStop);
  lab.finishRender();
  EXPECT_THAT(takeEvents(), IsEmpty());  // posted, handled on the loop
  loop.runPending();
  EXPECT_THAT(takeEvents(), ElementsAre("open 2000 1", "state 1"));
  EXPECT_THAT(lab.calls, ElementsAre("setAudioChannel 0", "setVolume 0", "attachVideoWindow 77",
                                     "placeVideoWindow 77 0,0,320x240", "run"));
  EXPECT_FALSE(p().OpenPending());
  EXPECT_TRUE(p().HasVideo());
  loop.advance(180);
  EXPECT_THAT(takeEvents(), ElementsAre("position 2000 0 0"));
}

TEST_F(GraphPathTest, SlowRenderFailureIsErrorEightExceptForRealMedia) {
  lab.slowRender = true;
  const std::pair<const char*, bool> cases[] = {{"broken.avi", true}, {"movie.RMVB", false}};
  for (const auto& [source, reported] : cases) {
    SCOPED_TRACE(source);
    p().Open(source);
    takeEvents();
    lab.finishRender("cannot render");
    loop.runPending();
    if (reported) {
      EXPECT_THAT(takeEvents(), ElementsAre("error 8 cannot render"));
    } else {
      EXPECT_THAT(takeEvents(), IsEmpty());
    }
    EXPECT_FALSE(p().OpenPending());
    EXPECT_TRUE(p().Opened());  // the built graph stays until Stop
    EXPECT_EQ(p().PlayState(), psStop);
    EXPECT_FALSE(lab.called("run"));
    p().Stop();
    lab.clearCalls();
  }
}

TEST_F(GraphPathTest, StopDuringSlowRenderTearsDownAtOnceAndNothingFollows) {
  lab.slowRender = true;
  p().Open("first.mp4");
  lab.clearCalls();
  p().Stop();
  EXPECT_THAT(lab.calls, ElementsAre("setNotify off", "stop", "releaseVideoWindow", "abort"));
  EXPECT_EQ(lab.destroyed, 1);
  EXPECT_FALSE(p().OpenPending());
  EXPECT_FALSE(p().Opened());
  EXPECT_EQ(loop.activeTimers(), 0u);
  loop.advance(1000);
  EXPECT_THAT(takeEvents(), ElementsAre("stop", "stop"));
  // A replacement that is slow too: only its own outcome opens it.
  p().Open("second.mp4");
  p().Open("third.mp4");
  EXPECT_EQ(lab.made - lab.destroyed, 1);
  lab.finishRender();
  loop.runPending();
  EXPECT_THAT(takeEvents(), ElementsAre("stop", "stop", "stop", "open 2000 1", "state 1"));
  EXPECT_EQ(p().FileName(), "third.mp4");
}

TEST_F(GraphPathTest, StopInsideTheLateOpenEventLeavesNothingRunning) {
  lab.slowRender = true;
  p().OnPlayOpen = [this](std::uint32_t, bool, bool&) { p().Stop(); };
  p().Open("clip.mp4");
  lab.finishRender();
  loop.runPending();
  EXPECT_FALSE(lab.called("run"));
  EXPECT_EQ(lab.made, lab.destroyed);
  EXPECT_FALSE(p().PositionTimerRunning());
  EXPECT_THAT(takeEvents(), ElementsAre("stop", "stop"));
}

TEST_F(GraphPathTest, AudioOnlySourceDropsTheRendererAndRefusesFullScreen) {
  lab.videoConnected = false;
  bool fullChanged = false;
  p().OnFullChangeing = [&] { fullChanged = true; };
  p().Open("song.ogg");
  EXPECT_TRUE(lab.called("removeRenderer"));
  EXPECT_FALSE(lab.called("placeVideoWindow"));
  EXPECT_FALSE(p().HasVideo());
  EXPECT_EQ(p().MediaWidth(), 0);
  EXPECT_EQ(p().MediaHeight(), 0);
  p().SetFullScreen(true);
  EXPECT_FALSE(fullChanged);
  EXPECT_FALSE(p().FullScreen());
  // Teardown does not touch the dropped video window.
  lab.clearCalls();
  p().Stop();
  EXPECT_FALSE(lab.called("releaseVideoWindow"));
}

TEST_F(GraphPathTest, OpenHandlerThatClearsCanPlayKeepsTheGraphLoadedButStopped) {
  p().OnPlayOpen = [](std::uint32_t, bool, bool& canPlay) { canPlay = false; };
  p().Open("clip.mp4");
  EXPECT_TRUE(p().Opened());
  EXPECT_EQ(p().PlayState(), psStop);
  EXPECT_EQ(p().Duration(), 2000u);
  EXPECT_FALSE(lab.called("run"));
  p().Play();
  EXPECT_EQ(p().PlayState(), psPlay);
  EXPECT_TRUE(lab.called("run"));
}

TEST_F(GraphPathTest, PauseAndPlayThroughSpace) {
  p().Open("clip.mp4");
  takeEvents();
  lab.clearCalls();
  p().KeyDown(PlayerKey::Space);
  p().KeyDown(PlayerKey::Space);
  p().KeyDown(PlayerKey::Other);
  EXPECT_THAT(takeEvents(), ElementsAre("state 2", "state 1"));
  EXPECT_THAT(lab.calls, ElementsAre("pause", "run"));
}

TEST_F(GraphPathTest, StateHandlerThatPausesOnPlayKeepsTheGraphPaused) {
  p().OnPlayOpen = [](std::uint32_t, bool, bool& canPlay) { canPlay = false; };
  p().Open("clip.mp4");
  p().OnPlayStateChange = [this](TPlayState s) {
    if (s == psPlay) p().Pause();
  };
  lab.clearCalls();
  p().Play();
  EXPECT_EQ(p().PlayState(), psPause);
  EXPECT_THAT(lab.calls, ElementsAre("pause"));
}

TEST_F(GraphPathTest, SeekSetsAbsolutePositionsOnlyWhenSeekable) {
  p().Open("clip.mp4");
  p().Seek(1500);
  EXPECT_TRUE(lab.called("setPositions 15000000 20000000"));
  lab.clearCalls();
  lab.capabilities = 0;
  p().Open("live.ts");
  EXPECT_FALSE(p().CanSeek());
  p().Seek(1500);
  EXPECT_FALSE(lab.called("setPositions"));
}

TEST_F(GraphPathTest, VolumeMuteAndChannelReachTheOpenGraph) {
  p().SetVolume(50);
  p().Open("clip.mp4");
  EXPECT_TRUE(lab.called("setVolume -752"));
  lab.clearCalls();
  p().SetMute(true);
  p().SetMute(true);  // unchanged: nothing sent
  p().SetLinearVolume(false);
  p().SetMute(false);
  p().SetVolume(150);
  p().SetVolume(-5);
  p().SetAudioChannel(2);
  EXPECT_THAT(lab.calls, ElementsAre("setVolume -10000", "setVolume -5000", "setVolume 0",
                                     "setVolume -10000", "setAudioChannel 2"));
  EXPECT_EQ(p().Volume(), 0);
  // Stored while nothing plays, applied at the next open.
  p().Stop();
  p().SetAudioChannel(1);
  lab.clearCalls();
  p().Open("clip.mp4");
  EXPECT_TRUE(lab.called("setAudioChannel 1"));
}

TEST_F(GraphPathTest, GraphWithoutAudioFilterGetsNoChannel) {
  lab.audioFilterOk = false;
  p().Open("clip.mp4");
  p().SetAudioChannel(1);
  EXPECT_FALSE(lab.called("setAudioChannel"));
  EXPECT_EQ(p().AudioChannel(), 1);
  EXPECT_EQ(p().PlayState(), psPlay);
}

TEST_F(GraphPathTest, PositionTimerTicksEvery180MsAndRaisesEndAtTheDuration) {
  logPositions = true;
  p().Open("clip.mp4");
  takeEvents();
  lab.position = 5000000;
  loop.advance(179);
  EXPECT_THAT(takeEvents(), IsEmpty());
  loop.advance(1);
  EXPECT_THAT(takeEvents(), ElementsAre("position 2000 500 0"));
  lab.position = kTwoSeconds;
  loop.advance(180);
  // The control does not stop itself at the end; the host reacts.
  EXPECT_THAT(takeEvents(), ElementsAre("position 2000 2000 0", "end"));
  EXPECT_EQ(p().PlayState(), psPlay);
}

TEST_F(GraphPathTest, ZeroPositionAtZeroDurationIsNoEnd) {
  lab.duration = 0;
  p().Open("stream");
  lab.position = 0;
  loop.advance(180 * 3);
  EXPECT_THAT(takeEvents(), ElementsAre("stop", "open 0 1", "state 1"));
}

TEST_F(GraphPathTest, CompletionAtTheEndRaisesEndAndStops) {
  p().Open("clip.mp4");
  takeEvents();
  lab.position = kTwoSeconds;
  lab.postEvent(EC_COMPLETE);
  lab.postEvent(EC_ERRORABORT);  // not drained after the completion
  loop.runPending();
  EXPECT_THAT(takeEvents(), ElementsAre("end", "state 0", "stop"));
  EXPECT_FALSE(p().Opened());
}

TEST_F(GraphPathTest, CompletionBeforeTheEndOrWithoutHandlerIsDropped) {
  p().Open("clip.mp4");
  takeEvents();
  lab.position = kTwoSeconds - 10000;
  lab.postEvent(EC_COMPLETE);
  loop.runPending();
  EXPECT_THAT(takeEvents(), IsEmpty());
  p().OnPlayEnd = nullptr;
  lab.position = kTwoSeconds;
  lab.postEvent(EC_COMPLETE);
  loop.runPending();
  EXPECT_EQ(p().PlayState(), psPlay);
}

TEST_F(GraphPathTest, AbortsAreErrorZeroAndOtherCodesAreDropped) {
  p().Open("clip.mp4");
  takeEvents();
  lab.postEvent(EC_USERABORT);
  lab.postEvent(0x0D);
  lab.postEvent(EC_ERRORABORT);
  loop.runPending();
  EXPECT_THAT(takeEvents(), ElementsAre("error 0 EC_USERABORT", "error 0 EC_ERRORABORT"));
}

TEST_F(GraphPathTest, WakeFromAStreamingThreadIsHandledOnTheLoop) {
  p().Open("clip.mp4");
  takeEvents();
  lab.position = kTwoSeconds;
  auto* graph = lab.current;
  std::thread streaming([graph] { graph->queueEvent(EC_COMPLETE); });
  streaming.join();
  EXPECT_THAT(takeEvents(), IsEmpty());
  loop.runPending();
  EXPECT_THAT(takeEvents(), ElementsAre("end", "state 0", "stop"));
}

TEST_F(GraphPathTest, EventsAfterStopAreIgnored) {
  p().Open("clip.mp4");
  lab.position = kTwoSeconds;
  lab.postEvent(EC_COMPLETE);
  p().Stop();
  takeEvents();
  loop.runPending();
  EXPECT_THAT(takeEvents(), IsEmpty());
}

// Hosts stop or replace the source from inside the control's events.
TEST_F(GraphPathTest, StopInsideOpenHandlerLeavesNothingRunning) {
  p().OnPlayOpen = [this](std::uint32_t, bool, bool&) { p().Stop(); };
  p().Open("clip.mp4");
  EXPECT_FALSE(lab.called("run"));
  EXPECT_EQ(p().PlayState(), psStop);
  EXPECT_EQ(lab.made, lab.destroyed);
  EXPECT_FALSE(p().PositionTimerRunning());
  loop.advance(1000);
  EXPECT_THAT(takeEvents(), ElementsAre("stop", "stop"));
}

TEST_F(GraphPathTest, StopInsideErrorHandlerReleasesThePartialGraph) {
  lab.failures["Seeking"] = "no seeking";
  p().OnPlayError = [this](int code, const std::string&) {
    events.push_back("error " + std::to_string(code));
    p().Stop();
  };
  p().Open("clip.mp4");
  EXPECT_THAT(takeEvents(), ElementsAre("stop", "error 5", "stop"));
  EXPECT_EQ(lab.made, lab.destroyed);
  EXPECT_FALSE(lab.called("BasicAudio"));
  EXPECT_FALSE(p().PositionTimerRunning());
}

TEST_F(GraphPathTest, EndHandlerThatOpensTheNextItemKeepsItPlaying) {
  p().Open("first.mp4");
  p().OnPlayEnd = [this] { p().Open("second.mp4"); };
  lab.position = kTwoSeconds;
  lab.postEvent(EC_COMPLETE);
  loop.runPending();
  EXPECT_EQ(p().FileName(), "second.mp4");
  EXPECT_EQ(p().PlayState(), psPlay);
  EXPECT_TRUE(p().Opened());
  EXPECT_TRUE(p().PositionTimerRunning());
  EXPECT_EQ(lab.made - lab.destroyed, 1);
}

TEST_F(GraphPathTest, StopInsideStateHandlerOfStop) {
  p().Open("clip.mp4");
  int nested = 0;
  p().OnPlayStateChange = [&](TPlayState s) {
    if (s == psStop && nested++ == 0) p().Open("other.mp4");
  };
  p().Stop();
  EXPECT_EQ(p().FileName(), "other.mp4");
  EXPECT_EQ(p().PlayState(), psPlay);
  EXPECT_TRUE(p().PositionTimerRunning());
}

TEST_F(GraphPathTest, FullScreenWithoutHostMovesTheVideoToTheDetachedWindow) {
  p().Open("clip.mp4");
  lab.clearCalls();
  p().SetFullScreen(true);
  p().SetFullScreen(true);  // unchanged: ignored on the graph path
  p().KeyDown(PlayerKey::Escape);
  EXPECT_THAT(lab.calls, ElementsAre("placeVideoWindow 99 0,0,1920x1080",
                                     "placeVideoWindow 77 0,0,320x240"));
  EXPECT_FALSE(p().FullScreen());
}

TEST_F(GraphPathTest, FullScreenWithHostRaisesTheEventAndKeepsTheControlSize) {
  int changes = 0;
  p().OnFullChangeing = [&] { ++changes; };
  p().Open("clip.mp4");
  lab.clearCalls();
  p().DoubleClick();
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(p().FullScreen());
  surface.client = {1920, 1080};  // the host moved the control into its full-screen window
  p().Resized();
  EXPECT_THAT(lab.calls, ElementsAre("placeVideoWindow 77 0,0,1920x1080"));
  p().FocusLost();
  EXPECT_EQ(changes, 2);
  EXPECT_FALSE(p().FullScreen());
}

TEST_F(GraphPathTest, FullScreenWithNothingLoadedAlwaysProceeds) {
  int changes = 0;
  p().OnFullChangeing = [&] { ++changes; };
  p().SetFullScreen(true);
  p().SetFullScreen(true);
  EXPECT_EQ(changes, 2);
  EXPECT_TRUE(p().FullScreen());
  // Escape needs a loaded source.
  p().KeyDown(PlayerKey::Escape);
  EXPECT_TRUE(p().FullScreen());
}

TEST_F(GraphPathTest, ParentChangeReattachesTheVideoThenLaysItOutInTheControl) {
  p().Open("clip.mp4");
  lab.clearCalls();
  p().SetParent(ParentWindow{nullptr, 555});
  EXPECT_THAT(surface.calls, ElementsAre("SetAlignClient", "Reparent 555"));
  EXPECT_THAT(lab.calls, ElementsAre("attachVideoWindow 555", "attachVideoWindow 77",
                                     "placeVideoWindow 77 0,0,320x240"));
  EXPECT_TRUE(p().PositionTimerRunning());
  surface.calls.clear();
  p().SetParent(std::nullopt);
  EXPECT_THAT(surface.calls, ElementsAre("SetAlignClient"));
}

TEST_F(GraphPathTest, VideoModeChangesOnlyOnTheGraphPathAndFallsBack) {
  p().SetVideoMode(vmNormal);
  EXPECT_EQ(p().VideoMode(), vmVMR);  // nothing selected: ignored
  lab.mixingRenderer = false;
  p().Open("clip.mp4");
  EXPECT_TRUE(lab.called("createRenderer vmNormal"));
  EXPECT_EQ(p().VideoMode(), vmNormal);
  p().SetVideoMode(vmVMR);
  EXPECT_EQ(p().VideoMode(), vmNormal);
  lab.mixingRenderer = true;
  p().SetVideoMode(vmVMR);
  EXPECT_EQ(p().VideoMode(), vmVMR);
}

TEST_F(GraphPathTest, GraphEditRegistersTheOpenGraphAtOnce) {
  p().Open("clip.mp4");
  EXPECT_FALSE(lab.called("registerForInspector"));
  p().SetGraphEdit(true);
  p().SetGraphEdit(true);
  p().SetGraphEdit(false);
  EXPECT_THAT(lab.calls, ::testing::Contains("registerForInspector").Times(1));
  EXPECT_TRUE(lab.called("unregisterFromInspector"));
  p().SetGraphEdit(true);
  lab.clearCalls();
  p().Open("next.mp4");
  EXPECT_EQ(lab.indexOf("registerForInspector"), lab.indexOf("createGraph") + 1);
}

// Characters, not bytes: a cut never splits a UTF-8 character and a path of 259 characters or
// fewer stays whole however many bytes it takes.
TEST_F(GraphPathTest, DroppedPathIsCutTo259Characters) {
  auto repeat = [](const std::string& unit, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += unit;
    return s;
  };
  struct Case {
    std::string dropped;
    std::string opened;
  };
  const Case cases[] = {
      {"/" + repeat("a", 300), "/" + repeat("a", 258)},
      {"/" + repeat("\u00e9", 300), "/" + repeat("\u00e9", 258)},          // 2 bytes each
      {"/" + repeat("\u4e2d", 300), "/" + repeat("\u4e2d", 258)},          // 3 bytes each
      {"/" + repeat("\U0001F3AC", 300), "/" + repeat("\U0001F3AC", 258)},  // 4 bytes each
      {"/" + repeat("\u00e9", 200) + ".mp4", "/" + repeat("\u00e9", 200) + ".mp4"},
      {"/" + repeat("\u4e2d", 258), "/" + repeat("\u4e2d", 258)},
  };
  for (const auto& c : cases) {
    p().DropFiles({c.dropped, "/second.mp4"});
    EXPECT_TRUE(p().FileName() == c.opened)
        << "dropped " << c.dropped.size() << " bytes, opened " << p().FileName().size()
        << " bytes, expected " << c.opened.size();
  }
}

TEST_F(GraphPathTest, DroppedFileOpensTheFirstPathCutTo259Characters) {
  const std::string longPath = "/" + std::string(300, 'a') + ".mp4";
  p().DropFiles({longPath, "/second.mp4"});
  EXPECT_EQ(p().FileName(), longPath.substr(0, 259));
  p().SetDragFile(false);
  p().DropFiles({"/other.mp4"});
  EXPECT_EQ(p().FileName(), longPath.substr(0, 259));
  EXPECT_THAT(surface.calls, ElementsAre("SetAcceptDrops 0"));
}

TEST_F(GraphPathTest, CursorHidingNeedsAVideo) {
  p().SetCursorHidden(true);
  p().Open("clip.mp4");
  p().SetCursorHidden(true);
  EXPECT_THAT(surface.calls, ElementsAre("SetCursorHidden 1"));
}

TEST_F(GraphPathTest, DestructionTearsDownWithoutEvents) {
  p().Open("clip.mp4");
  takeEvents();
  player.reset();
  EXPECT_THAT(events, IsEmpty());
  EXPECT_EQ(lab.made, lab.destroyed);
  EXPECT_EQ(loop.activeTimers(), 0u);
}

TEST_F(GraphPathTest, OpenFileUsesTheGraphWhateverTheText) {
  p().OpenFile("http://host/page.html");
  EXPECT_EQ(p().MediaKind(), kMediaGraph);
  EXPECT_TRUE(lab.called("render http://host/page.html"));
  EXPECT_TRUE(p().URL().empty());
}

}  // namespace
}  // namespace nivra::player::test
