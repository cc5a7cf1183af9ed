// TFlashMediaPlayer against a scripted movie in virtual time: creation, PlayList, the 200 ms poll
// with its order of steps, the commands and the callbacks.

#include "player/flash/flash_media_player.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/manual_event_loop.h"
#include "tests/player/flash/fake_movie.h"
#include "tests/support/debug_log.h"
#include "tests/support/param_name.h"

namespace nivra::player {
namespace {

using test::FakeMovie;

class FlashBridgeTest : public ::testing::Test {
 protected:
  FlashBridgeTest() {
    auto fake = std::make_unique<FakeMovie>();
    movie = fake.get();
    // A movie that is loaded and idle: it defines its variables and does not ask for a list yet.
    for (const char* name : {"ErrorStr", "statstr", "AddUrl", "playstat"}) movie->define(name, "");
    bridge = std::make_unique<TFlashMediaPlayer>(loop, std::move(fake), "/opt/nivra");
    bridge->Wait = [this](int ms) { waits.push_back(ms); };
    bridge->OnState = [this](int s) { states.push_back(s); };
    bridge->OnPosition = [this](int p) { positions.push_back(p); };
    bridge->OnError = [this](int code, const std::string& text) {
      errors.push_back(std::to_string(code) + " " + text);
    };
    bridge->ShowMessage = [this](const std::string& m) { messages.push_back(m); };
  }

  void playList(std::vector<std::string> list = {"http://127.0.0.1/a.mp4"}) { bridge->PlayList(list); }
  void poll(int times = 1) { loop.advance(kFlashPollMs * times); }
  // The movie starts playing: it reports "Playing" with its picture size and duration.
  void moviePlays() {
    movie->define("playstat", "Playing");
    movie->define("MediaWidth", "640");
    movie->define("MediaHeight", "360");
    movie->define("Duration", "5000");
    movie->define("PlayPos", "0");
    movie->define("downspeed", "0");
  }

  platform::ManualEventLoop loop;
  FakeMovie* movie = nullptr;
  std::unique_ptr<TFlashMediaPlayer> bridge;
  std::vector<int> waits, states, positions;
  std::vector<std::string> errors, messages;
};

TEST_F(FlashBridgeTest, CreationSetsScriptAccessAndScaleModeAndNoTimerRuns) {
  EXPECT_EQ(movie->calls, (std::vector<std::string>{"AllowScriptAccess always", "ScaleMode 3"}));
  EXPECT_EQ(loop.activeTimers(), 0u);
  EXPECT_FALSE(bridge->ListLoaded());
  EXPECT_EQ(bridge->VolumeLevel(), 100);
  poll(5);
  EXPECT_TRUE(movie->reads.empty());
}

TEST_F(FlashBridgeTest, PlayListLoadsAndStartsTheMovieAndKeepsTheTrimmedListText) {
  movie->calls.clear();
  playList({"  http://h/1.mp4", "http://h/2.mp4", "http://h/3.mp4  "});
  EXPECT_TRUE(movie->visible);
  EXPECT_EQ(movie->calls, (std::vector<std::string>{"LoadMovie 0 /opt/nivra/NVRFlash.swf", "Play",
                                                    "EmbedMovie 1"}));
  EXPECT_EQ(waits, std::vector<int>{50});
  EXPECT_EQ(bridge->UrlListText(), "http://h/1.mp4\r\nhttp://h/2.mp4\r\nhttp://h/3.mp4");
  EXPECT_TRUE(bridge->ListLoaded());
  EXPECT_EQ(loop.activeTimers(), 1u);
  playList();  // a second list keeps the one timer
  EXPECT_EQ(loop.activeTimers(), 1u);
}

// The "AddUrl" hand-shake for every ServerType: the name goes to the movie at PlayList for
// types 1..10, and again at each hand-shake only for 1, 2, 9 and 10.
struct ServerTypeCase {
  std::uint8_t type;
  const char* name;  // written at PlayList, "" for none
  bool rewritten;    // written again at each hand-shake
};

class HandShakeTest : public FlashBridgeTest, public ::testing::WithParamInterface<ServerTypeCase> {};

TEST_P(HandShakeTest, MovieAskingTwiceGetsTheListTwice) {
  const auto& c = GetParam();
  bridge->ServerType = c.type;
  playList({"http://h/v.mp4", "http://h/w.mp4"});
  const std::string list = "http://h/v.mp4\r\nhttp://h/w.mp4";
  const std::vector<std::string> atPlayList =
      *c.name ? std::vector<std::string>{c.name} : std::vector<std::string>{};
  EXPECT_EQ(movie->writesOf("ServerType"), atPlayList);
  for (int round = 1; round <= 2; ++round) {
    movie->define("AddUrl", "null");
    poll();
    EXPECT_EQ(movie->writesOf("AddUrl").size(), static_cast<std::size_t>(round));
    EXPECT_EQ(movie->value("AddUrl"), list);
    poll();  // the movie holds the list now: no further hand-shake
    EXPECT_EQ(movie->writesOf("AddUrl").size(), static_cast<std::size_t>(round));
  }
  std::vector<std::string> expected = atPlayList;
  if (c.rewritten) expected.insert(expected.end(), {c.name, c.name});
  EXPECT_EQ(movie->writesOf("ServerType"), expected);
}

INSTANTIATE_TEST_SUITE_P(
    AllTypes, HandShakeTest,
    ::testing::Values(ServerTypeCase{0, "", false}, ServerTypeCase{1, "Youku", true},
                      ServerTypeCase{2, "Tudou", true}, ServerTypeCase{3, "Sina", false},
                      ServerTypeCase{4, "Ku6", false}, ServerTypeCase{5, "Jidong", false},
                      ServerTypeCase{6, "Tianxian", false}, ServerTypeCase{7, "56", false},
                      ServerTypeCase{8, "Letv", false}, ServerTypeCase{9, "NVRMp4", true},
                      ServerTypeCase{10, "NVRFlv", true}),
    [](const auto& info) {
      const std::string name = info.param.name;
      return "Type" + std::to_string(info.param.type) +
             (name.empty() ? "" : "_" + nivra::test::CaseName(name));
    });

TEST_F(FlashBridgeTest, SegmentListTypesRebuildTheListBeforeItGoesToTheMovie) {
  bridge->ServerType = 10;
  bridge->SegmentExt = "FLV";
  playList({"http://h/X_\\300000,700000"});
  EXPECT_EQ(bridge->UrlListText(),
            "http://h/X_1.FLV?l=300000\r\nhttp://h/X_2.FLV?l=300000\r\nhttp://h/X_3.FLV?l=100000");
  EXPECT_EQ(bridge->Duration, 700000);
}

TEST_F(FlashBridgeTest, PauseBeforePlayingIsSentAgainWhenTheMovieStarts) {
  playList();
  bridge->Pause();
  EXPECT_EQ(movie->writesOf("statset"), std::vector<std::string>{"PlayPause"});
  EXPECT_EQ(bridge->MovieState(), kMoviePauseRequested);
  moviePlays();
  poll();
  EXPECT_EQ(movie->writesOf("statset"), (std::vector<std::string>{"PlayPause", "PlayPause"}));
  EXPECT_EQ(bridge->MovieState(), kMoviePauseRequested);
  EXPECT_EQ(states, std::vector<int>{kFlashStatePlaying});
  bridge->Resume();
  EXPECT_EQ(movie->writesOf("statset").back(), "PlayResume");
  EXPECT_EQ(bridge->MovieState(), kMovieNormal);
}

TEST_F(FlashBridgeTest, VolumeBeforePlayingReachesTheMovieOnceItPlays) {
  playList();
  bridge->SetVolume(40);
  poll();
  EXPECT_TRUE(movie->writesOf("soundset").empty());
  moviePlays();
  poll();
  EXPECT_EQ(movie->writesOf("soundset"), std::vector<std::string>{"40"});
  poll(3);  // later polls do not repeat it
  EXPECT_EQ(movie->writesOf("soundset"), std::vector<std::string>{"40"});
  bridge->SetVolume(0);
  EXPECT_EQ(movie->writesOf("soundset"), (std::vector<std::string>{"40", "0"}));
}

TEST_F(FlashBridgeTest, PlayingTakesPictureSizeAndDurationFromTheMovie) {
  playList();
  moviePlays();
  movie->define("MediaWidth", "wide");
  movie->define("MediaHeight", "");
  poll();
  EXPECT_TRUE(bridge->MoviePlaying());
  EXPECT_EQ(bridge->MediaWidth(), 320);
  EXPECT_EQ(bridge->MediaHeight(), 180);
  EXPECT_EQ(bridge->Duration, 5000);
  EXPECT_EQ(states, std::vector<int>{kFlashStatePlaying});
  EXPECT_EQ(positions, std::vector<int>{0});  // step 5 runs in the same poll
}

TEST_F(FlashBridgeTest, DurationSetByThePlayerIsKept) {
  bridge->Duration = 700000;
  playList();
  moviePlays();
  poll();
  EXPECT_EQ(bridge->Duration, 700000);
  EXPECT_EQ(movie->readsOf("Duration"), 0);
}

TEST_F(FlashBridgeTest, PlayEndBeforePlayingReportsTheEndAndClearsPlaystat) {
  playList();
  movie->define("playstat", "PlayEnd");
  poll();
  EXPECT_EQ(states, std::vector<int>{kFlashStateEnded});
  EXPECT_EQ(bridge->MovieState(), kMovieEnded);
  EXPECT_EQ(movie->writesOf("playstat"), std::vector<std::string>{""});
  EXPECT_FALSE(bridge->MoviePlaying());
  poll();
  EXPECT_EQ(states.size(), 1u);
}

TEST_F(FlashBridgeTest, PlayPosIsRoundedToWholeMilliseconds) {
  const std::pair<const char*, int> cases[] = {
      {"1234.6", 1235}, {"1234.4", 1234}, {"1234.5", 1234}, {"1235.5", 1236}, {"0", 0}, {"42", 42}};
  playList();
  moviePlays();
  poll();
  positions.clear();
  for (const auto& [text, expected] : cases) {
    movie->define("PlayPos", text);
    poll();
    ASSERT_FALSE(positions.empty()) << text;
    EXPECT_EQ(positions.back(), expected) << text;
  }
}

TEST_F(FlashBridgeTest, PlayPosThatIsNoNumberEndsTheStepSilently) {
  playList();
  moviePlays();
  poll();
  positions.clear();
  const int speedReads = movie->readsOf("downspeed");
  movie->define("PlayPos", "soon");
  movie->define("playstat", "PlayEnd");
  poll();
  EXPECT_TRUE(positions.empty());
  EXPECT_EQ(movie->readsOf("downspeed"), speedReads);
  EXPECT_TRUE(bridge->MoviePlaying());
}

TEST_F(FlashBridgeTest, PlayingMovieReportsPositionSpeedBufferingAndEnd) {
  playList();
  moviePlays();
  poll();
  states.clear();
  movie->define("PlayPos", "1000.2");
  movie->define("downspeed", "65536");
  movie->define("playstat", "Buffering");
  poll(2);
  EXPECT_EQ(states, (std::vector<int>{kFlashStateBuffering, kFlashStateBuffering}));
  EXPECT_EQ(bridge->MovieState(), kMovieBuffering);
  EXPECT_EQ(bridge->DownSpeed(), 65536);
  movie->define("playstat", "Playering");
  poll(2);
  EXPECT_EQ(states.back(), kFlashStatePlaying);
  EXPECT_EQ(states.size(), 3u);  // "Playering" counts once: MovieState is normal again
  movie->define("playstat", "PlayEnd");
  poll();
  EXPECT_EQ(states.back(), kFlashStateEnded);
  EXPECT_FALSE(bridge->MoviePlaying());
  EXPECT_EQ(positions.back(), 1000);
}

TEST_F(FlashBridgeTest, MovieWithoutErrorStrNeverGetsPastTheFirstStep) {
  movie->undefine("ErrorStr");
  movie->define("AddUrl", "null");
  moviePlays();
  playList();
  movie->reads.clear();
  poll(4);
  EXPECT_EQ(movie->reads, std::vector<std::string>(4, "ErrorStr"));
  EXPECT_TRUE(movie->writesOf("AddUrl").empty());
  EXPECT_TRUE(states.empty());
  EXPECT_FALSE(bridge->MoviePlaying());
}

TEST_F(FlashBridgeTest, MovieErrorIsReportedAtEveryPollAndEndsIt) {
  playList();
  movie->define("ErrorStr", "Cannot play http://h/a.mp4");
  movie->define("AddUrl", "null");
  movie->reads.clear();
  poll(2);
  EXPECT_EQ(errors, std::vector<std::string>(2, "12 Cannot play http://h/a.mp4"));
  EXPECT_EQ(movie->reads, std::vector<std::string>(2, "ErrorStr"));
  EXPECT_TRUE(movie->writesOf("AddUrl").empty());
}

TEST_F(FlashBridgeTest, TracesStatusChangesSeeksStartAndMovieCommands) {
  test::DebugLog log;
  playList();
  movie->define("statstr", "connecting");
  poll(3);
  movie->define("statstr", "playing");
  moviePlays();
  poll();
  bridge->Seek(1500);
  movie->OnFSCommand(u"trace", u"hello movie");
  const auto lines = log.lines();
  EXPECT_EQ(lines, (std::vector<std::string>{"connecting", "playing", "ststst", "seek  1500",
                                             "hello movie"}));
  EXPECT_EQ(movie->writesOf("SeekPos"), std::vector<std::string>{"1500"});
}

TEST_F(FlashBridgeTest, FailingServerTypeShowsAMessageAndLeavesTheListUnloaded) {
  movie->failWrites.insert("ServerType");
  bridge->ServerType = 1;
  playList();
  EXPECT_EQ(messages, std::vector<std::string>{"Cannot write ServerType"});
  EXPECT_FALSE(bridge->ListLoaded());
  EXPECT_EQ(loop.activeTimers(), 0u);
}

TEST_F(FlashBridgeTest, CommandsToAMovieThatCannotTakeThemAreSkipped) {
  movie->failWrites = {"statset", "SeekPos", "soundset"};
  playList();
  moviePlays();
  poll();
  EXPECT_NO_THROW(bridge->Pause());
  EXPECT_NO_THROW(bridge->Resume());
  EXPECT_NO_THROW(bridge->Seek(10));
  EXPECT_NO_THROW(bridge->SetVolume(20));
  EXPECT_EQ(bridge->VolumeLevel(), 20);
}

TEST_F(FlashBridgeTest, CallbackMayDestroyTheBridge) {
  playList();
  moviePlays();
  bridge->OnState = [this](int) { bridge.reset(); };
  poll();
  EXPECT_EQ(bridge, nullptr);
  EXPECT_EQ(loop.activeTimers(), 0u);
  poll(3);  // the poll timer went with the bridge
}

TEST_F(FlashBridgeTest, MouseInputReachesThePlayerAndThePopupMenu) {
  int doubleClicks = 0;
  std::pair<int, int> menuAt{-1, -1};
  bridge->HandleRightButtonDown(5, 6);  // no menu assigned: nothing happens
  bridge->OnDoubleClick = [&] { ++doubleClicks; };
  bridge->PopupMenu = [&](int x, int y) { menuAt = {x, y}; };
  bridge->HandleDoubleClick();
  bridge->HandleRightButtonDown(100, 200);
  EXPECT_EQ(doubleClicks, 1);
  EXPECT_EQ(menuAt, (std::pair<int, int>{100, 200}));
}

}  // namespace
}  // namespace nivra::player
