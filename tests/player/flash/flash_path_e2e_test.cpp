// The Flash path end to end on 127.0.0.1, without the player control: private links decoded,
// segment lists expanded, pages resolved by libdecode.so, and the registered movie runtime
// playing generated media served by python's http.server, all through TFlashMediaPlayer. The
// FlashPath class below does what the player control's Flash half does with these pieces.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <thread>

#include "platform/manual_event_loop.h"
#include "platform/message.h"
#include "platform/messages.h"
#include "platform/registry.h"
#include "player/flash/flash_class.h"
#include "player/flash/flash_media_player.h"
#include "player/flash/resolver_client.h"
#include "player/flash/segment_list.h"
#include "player/flash/web_sites.h"
#include "player/links/url_link.h"
#include "player/links/url_link_encoder.h"
#include "player/links/utf16_text.h"
#include "tests/support/env_guard.h"
#include "tests/support/media_fixture.h"

namespace nivra::player {
namespace {

class FlashPath final : public platform::MessageTarget {
 public:
  explicit FlashPath(platform::ManualEventLoop& loop) : MessageTarget(loop), loop_(loop) {}

  // Open of a private link of kind 3 or 4.
  void open(const std::string& linkText) {
    const auto link = TEd2kLinkManager::Decode(linkText);
    ASSERT_TRUE(link.has_value());
    makeBridge();
    if (link->Kind == kLinkVideo) {
      openWebPage(link->Address);
    } else {
      ASSERT_EQ(link->Kind, kLinkNvswf);
      SegmentLink segments = ParseSegmentLink(link->Address);
      bridge->ServerType = segments.ServerType;
      bridge->SegmentExt = segments.SegmentExt;
      bridge->PlayList(segments.Lines);
    }
  }

  void openWebPage(const std::string& url) {
    if (!bridge) makeBridge();
    library_ = ResolverLibrary::Load(NIVRA_BIN_DIR);
    bridge->ServerType = ServerTypeOfPage(url);
    resolver = std::make_unique<ResolverObject>(library_);
    resolver->SetCompletion([this] { postMessage({platform::WM_SOURCES_READY, 0, 0}); });
    resolver->Start(url);
  }

  // The sources go to the movie (with the page's duration, if any); none is error 21.
  std::intptr_t handleMessage(const platform::Message& msg) override {
    if (msg.id != platform::WM_SOURCES_READY || !resolver) return 0;
    std::vector<std::string> lines = NonEmptyTrimmedLines(resolver->SourceList());
    if (!lines.empty()) {
      if (const double seconds = resolver->DurationSeconds(); seconds > 0)
        bridge->Duration = static_cast<int>(std::lround(seconds * 1000));
      bridge->PlayList(lines);
    } else if (!bridge->ListLoaded()) {
      errors.push_back("21 无法检测到电影源！");
    }
    return 0;
  }

  // Runs the loop in step with real time until `done` holds or `ms` passed.
  bool runUntil(const std::function<bool()>& done, int ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done() && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      loop_.advance(20);
    }
    return done();
  }

  std::unique_ptr<TFlashMediaPlayer> bridge;
  std::unique_ptr<ResolverObject> resolver;
  std::vector<int> states, positions;
  std::vector<std::string> errors;
  bool ended = false;

 private:
  void makeBridge() {
    platform::Registry registry(registryHome_.path(), NIVRA_BIN_DIR "/registry");
    ASSERT_TRUE(FlashClassRegistered(registry));
    bridge =
        std::make_unique<TFlashMediaPlayer>(loop_, CreateFlashControl(registry), NIVRA_BIN_DIR);
    bridge->OnState = [this](int s) {
      states.push_back(s);
      ended = ended || s == kFlashStateEnded;
    };
    bridge->OnPosition = [this](int p) { positions.push_back(p); };
    bridge->OnError = [this](int code, const std::string& text) {
      errors.push_back(std::to_string(code) + " " + text);
    };
  }

  platform::ManualEventLoop& loop_;
  test::TempDir registryHome_;
  ResolverLibrary library_;
};

class FlashPathEndToEnd : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    www = new test::TempDir;
    // Three segments of a 2400 ms list cut at 1000 ms: 1000, 1000 and 400 ms.
    const int lengths[] = {1000, 1000, 400};
    for (int i = 0; i < 3; ++i) {
      ASSERT_TRUE(test::MakeMediaSegment(www->path() / ("X_" + std::to_string(i + 1) + ".mp4"),
                                         lengths[i], i * 2, "mp4"));
      ASSERT_TRUE(test::MakeMediaSegment(www->path() / ("F_" + std::to_string(i + 1) + ".FLV"),
                                         lengths[i], i * 2 + 1, "flv"));
      const std::string n = std::to_string(i + 1);
      std::filesystem::copy_file(www->path() / ("X_" + n + ".mp4"),
                                 www->path() / ("V_" + n + ".f4v"));
    }
    ASSERT_TRUE(test::MakeMediaSegment(www->path() / "long.flv", 3000, 18, "flv"));
    www->write("page.html", "<html><body><video src=\"X_3.mp4\"></video></body></html>");
    www->write("empty.html", "<html><body>nothing to see</body></html>");
    for (const auto& site : WebVideoSites())
      www->write(std::string(site.Domain) + "/watch.html", "<video src=\"/X_3.mp4\"></video>");
    server = new test::LocalWebServer(www->path());
    ranged = new test::RangeWebServer(www->path());
  }
  static void TearDownTestSuite() {
    delete ranged;
    delete server;
    delete www;
  }
  FlashPathEndToEnd() {
    env.set("NIVRA_MOVIE_SINKS", "fake");
    env.set("NIVRA_YTDLP", "none");
  }

  static std::string link(const std::string& record) { return EncodeLink(record); }

  static test::TempDir* www;
  static test::LocalWebServer* server;
  static test::RangeWebServer* ranged;  // byte ranges, as segment servers answer
  test::EnvGuard env;
  platform::ManualEventLoop loop;
  FlashPath path{loop};
};

test::TempDir* FlashPathEndToEnd::www = nullptr;
test::LocalWebServer* FlashPathEndToEnd::server = nullptr;
test::RangeWebServer* FlashPathEndToEnd::ranged = nullptr;

struct SegmentCase {
  const char* prefix;
  const char* base;
  const char* ext;
};

class SegmentLinks : public FlashPathEndToEnd, public ::testing::WithParamInterface<SegmentCase> {};

TEST_P(SegmentLinks, ThreeSegmentsPlayToTheEndAsOneTimeline) {
  ASSERT_NE(ranged->port(), 0);
  const auto& c = GetParam();
  path.open(
      link(std::string("nvswf|Three parts|0|") + c.prefix + ranged->url(c.base) + "\\1000,2400"));
  ASSERT_TRUE(path.bridge->ListLoaded());
  EXPECT_EQ(path.bridge->Duration, 2400);
  EXPECT_EQ(path.bridge->UrlListText(), ranged->url(c.base) + "1." + c.ext + "?l=1000\r\n" +
                                            ranged->url(c.base) + "2." + c.ext + "?l=1000\r\n" +
                                            ranged->url(c.base) + "3." + c.ext + "?l=400");
  ASSERT_TRUE(path.runUntil([&] { return path.ended || !path.errors.empty(); }, 20000));
  EXPECT_TRUE(path.errors.empty()) << path.errors.front();
  ASSERT_FALSE(path.states.empty());
  EXPECT_EQ(path.states.front(), kFlashStatePlaying);
  EXPECT_EQ(path.states.back(), kFlashStateEnded);
  EXPECT_EQ(path.bridge->MediaWidth(), 320);
  EXPECT_EQ(path.bridge->MediaHeight(), 240);
  // Positions run over the whole list: past the first two segments, never backwards by much.
  ASSERT_FALSE(path.positions.empty());
  EXPECT_GE(path.positions.back(), 2000);
  for (std::size_t i = 1; i < path.positions.size(); ++i)
    EXPECT_GE(path.positions[i], path.positions[i - 1] - 100) << i;
  // The movie's own duration is the sum of the segments it measured.
  const int movieDuration = std::stoi(Utf16ToUtf8(path.bridge->Control().GetVariable(u"Duration")));
  EXPECT_NEAR(movieDuration, 2400, 150);
}

INSTANTIATE_TEST_SUITE_P(Containers, SegmentLinks,
                         ::testing::Values(SegmentCase{"", "X_", "mp4"},
                                           SegmentCase{"FLV\\", "F_", "FLV"},
                                           SegmentCase{"f4v\\", "V_", "f4v"}),
                         [](const auto& info) { return std::string(info.param.ext); });

TEST_F(FlashPathEndToEnd, WebPageWithAVideoTagResolvesAndPlays) {
  path.open(link("video|A page|0|" + server->url("page.html")));
  EXPECT_EQ(path.bridge->ServerType, kServerTypeNone);
  ASSERT_TRUE(path.runUntil([&] { return path.ended || !path.errors.empty(); }, 20000));
  EXPECT_TRUE(path.errors.empty()) << path.errors.front();
  EXPECT_EQ(path.bridge->UrlListText(), server->url("X_3.mp4"));
  EXPECT_EQ(path.states.front(), kFlashStatePlaying);
  EXPECT_NEAR(path.bridge->Duration, 400, 150);  // from the movie: the page tells none
}

TEST_F(FlashPathEndToEnd, WebPageWithoutMediaGivesErrorTwentyOne) {
  path.open(link("video|Nothing|0|" + server->url("empty.html")));
  ASSERT_TRUE(path.runUntil([&] { return !path.errors.empty(); }, 10000));
  EXPECT_EQ(path.errors, std::vector<std::string>{"21 无法检测到电影源！"});
  EXPECT_FALSE(path.bridge->ListLoaded());
}

TEST_F(FlashPathEndToEnd, FailingMediaAddressReachesThePlayerAsMovieError) {
  std::vector<std::string> list{server->url("gone.mp4")};
  path.openWebPage(server->url("empty.html"));  // only to have a bridge
  path.resolver.reset();
  path.bridge->PlayList(list);
  ASSERT_TRUE(path.runUntil([&] { return !path.errors.empty(); }, 10000));
  EXPECT_EQ(path.errors.front().rfind("12 Cannot play " + server->url("gone.mp4"), 0), 0u)
      << path.errors.front();
}

// A segment in the middle of a list that is missing, or cut off in the middle of its download,
// stops the movie with its error naming that segment; it never hangs.
TEST_F(FlashPathEndToEnd, BrokenMiddleSegmentIsTheMovieErrorNamingIt) {
  const std::string broken[] = {ranged->url("F_9.FLV"), ranged->url("cut/F_2.FLV"),
                                ranged->url("cut/X_2.mp4")};
  for (const std::string& bad : broken) {
    FlashPath run{loop};
    std::vector<std::string> list{ranged->url("F_1.FLV"), bad, ranged->url("F_3.FLV")};
    run.openWebPage(server->url("empty.html"));  // only to have a bridge
    run.resolver.reset();
    run.bridge->PlayList(list);
    ASSERT_TRUE(run.runUntil([&] { return run.ended || !run.errors.empty(); }, 20000)) << bad;
    ASSERT_FALSE(run.errors.empty()) << bad << " played to the end";
    EXPECT_EQ(run.errors.front().rfind("12 Cannot play " + bad, 0), 0u) << run.errors.front();
  }
}

TEST_F(FlashPathEndToEnd, StalledDownloadIsBufferingAndPlaybackGoesOnAfterIt) {
  test::TestProcess slow("/usr/bin/python3",
                         {NIVRA_FLASH_TEST_DIR "/slow_server.py", www->path().string(), "2.5"});
  const auto port = slow.waitFor("READY");
  ASSERT_TRUE(port.has_value());
  std::vector<std::string> list{"http://127.0.0.1:" + *port + "/long.flv"};
  path.openWebPage(server->url("empty.html"));  // only to have a bridge
  path.resolver.reset();
  path.bridge->PlayList(list);
  // A generous bound: a loaded machine plays slower, the order of states stays the same.
  ASSERT_TRUE(path.runUntil([&] { return path.ended || !path.errors.empty(); }, 60000));
  EXPECT_TRUE(path.errors.empty()) << path.errors.front();
  // Playing, then buffering (at every poll while it lasts), playing again, the end. A start
  // that is slow to fill may report buffering before the first play.
  const auto& s = path.states;
  ASSERT_GE(s.size(), 4u);
  const auto playing = std::find(s.begin(), s.end(), kFlashStatePlaying);
  ASSERT_NE(playing, s.end());
  const auto buffering = std::find(playing, s.end(), kFlashStateBuffering);
  ASSERT_NE(buffering, s.end());
  const auto resumed = std::find(buffering, s.end(), kFlashStatePlaying);
  ASSERT_NE(resumed, s.end());
  EXPECT_EQ(s.back(), kFlashStateEnded);
  EXPECT_GE(path.positions.back(), 2800);
}

class SitePages : public FlashPathEndToEnd, public ::testing::WithParamInterface<WebVideoSite> {};

TEST_P(SitePages, PageOfEachSiteAnnouncesItsServerTypeToTheMovie) {
  const WebVideoSite& site = GetParam();
  path.openWebPage(server->url(std::string(site.Domain) + "/watch.html"));
  EXPECT_EQ(path.bridge->ServerType, site.ServerType);
  FlashControl* movie = nullptr;
  ASSERT_TRUE(path.runUntil(
      [&] {
        if (!path.bridge->ListLoaded()) return false;
        movie = &path.bridge->Control();
        return movie->GetVariable(u"AddUrl") != u"null";  // the hand-shake took place
      },
      10000));
  EXPECT_EQ(Utf16ToUtf8(movie->GetVariable(u"ServerType")), site.Name);
  EXPECT_EQ(Utf16ToUtf8(movie->GetVariable(u"AddUrl")), server->url("X_3.mp4"));
  EXPECT_EQ(path.bridge->ServerTypeName(), site.ServerType <= 2 ? site.Name : "");
}

INSTANTIATE_TEST_SUITE_P(EightSites, SitePages,
                         ::testing::ValuesIn(WebVideoSites().begin(), WebVideoSites().end()),
                         [](const auto& info) {
                           return "Type" + std::to_string(info.param.ServerType);
                         });

}  // namespace
}  // namespace nivra::player
