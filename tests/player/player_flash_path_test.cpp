// TPlayer on the Flash path, against the fake bridge, resolver and environment in virtual time.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <thread>

#include "platform/error.h"
#include "platform/messages.h"
#include "player/links/url_link_encoder.h"
#include "tests/player/support/player_harness.h"

namespace nivra::player::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::string linkOf(const std::string& record) { return EncodeLink(record); }

class FlashPathTest : public ::testing::Test, public PlayerHarness {
 protected:
  TPlayer& p() { return *player; }
  FakeFlashBridge& bridge() { return *flash.bridge; }
  // Opens a page and lets the resolver answer with `sources`.
  void openResolved(const std::string& sources, double seconds = 0) {
    p().Open("http://v.example.com/page");
    flash.resolver->sources = sources;
    flash.resolver->seconds = seconds;
    flash.resolver->complete();
    loop.runPending();
  }
};

TEST_F(FlashPathTest, WebPageStartsConnectingThroughTheResolver) {
  p().SetVolume(40);
  p().Open("hTtPs://v.example.com/page");
  EXPECT_THAT(takeEvents(), ElementsAre("state 1", "buffing 0"));
  EXPECT_THAT(
      flash.calls,
      ElementsAre("CreateBridge 77", "SetVisible 0", "SetScaleMode 2", "SetBounds 0,0,0x0",
                  "SetVolume 40", "PrepareWebPage hTtPs://v.example.com/page", "CreateResolver"));
  EXPECT_EQ(flash.resolver->started, "hTtPs://v.example.com/page");
  EXPECT_EQ(p().MediaKind(), kMediaFlash);
  EXPECT_TRUE(p().Opened());
  EXPECT_EQ(p().LoadState(), kLoadConnecting);
  EXPECT_EQ(p().URL(), "hTtPs://v.example.com/page");
  EXPECT_EQ(bridge().ServerType(), 1);
  EXPECT_EQ(lab.made, 0);
  EXPECT_EQ(stamps, 1);
}

TEST_F(FlashPathTest, FlashMissingOrTooOldIsErrorFifteen) {
  struct Case {
    bool registered;
    std::uint32_t version;
    std::string event;
  };
  const Case cases[] = {{false, 10u << 16, "error 15 你没有安装 Flash!"},
                        {true, (7u << 16) | 0xFFFF, "error 15 Flash 版本过低!"},
                        {true, 8u << 16, "buffing 0"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.event);
    p().Stop();
    loop.runPending();
    takeEvents();
    flash.registered = c.registered;
    flash.version = c.version;
    p().Open("http://v.example.com/page");
    EXPECT_EQ(takeEvents().back(), c.event);
  }
}

TEST_F(FlashPathTest, WithoutAFlashEnvironmentTheWebPathReportsFlashMissing) {
  TPlayer bare(loop, surface, lab.factory(), nullptr);
  std::vector<std::string> errors;
  bare.OnPlayError = [&](int code, const std::string& text) {
    errors.push_back(std::to_string(code) + " " + text);
  };
  bare.Open("http://v.example.com/page");
  EXPECT_THAT(errors, ElementsAre("15 你没有安装 Flash!"));
  EXPECT_EQ(bare.PlayState(), psStop);
}

TEST_F(FlashPathTest, MissingResolverLibraryAbortsOpenWithItsText) {
  flash.libraryError = "libdecode.so: cannot open shared object file";
  try {
    p().Open("http://v.example.com/page");
    FAIL() << "Open did not throw";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "libdecode.so: cannot open shared object file");
  }
  EXPECT_EQ(p().MediaKind(), kMediaFlash);
  EXPECT_TRUE(p().Opened());
  EXPECT_EQ(p().PlayState(), psStop);
  p().Stop();
  EXPECT_FALSE(p().Opened());
}

TEST_F(FlashPathTest, ResolvedSourcesGoToThePlayListFromAnyThread) {
  p().Open("http://v.example.com/page");
  flash.resolver->sources = "  \r\nhttp://a/1.flv\r\n\r\n  http://a/2.flv  \rhttp://a/3.flv\n";
  flash.resolver->seconds = 12.3456;
  std::thread resolverThread([r = flash.resolver] { r->complete(); });
  resolverThread.join();
  EXPECT_TRUE(bridge().playList.empty());
  loop.runPending();
  EXPECT_THAT(bridge().playList, ElementsAre("http://a/1.flv", "http://a/2.flv", "http://a/3.flv"));
  EXPECT_EQ(bridge().Duration(), 12346);
}

TEST_F(FlashPathTest, NoSourcesIsErrorTwentyOneUntilAListWasAccepted) {
  openResolved("\r\n  \r\n");
  EXPECT_EQ(takeEvents().back(), "error 21 无法检测到电影源！");
  // Once the bridge has accepted a list, an empty answer stays quiet.
  bridge().PlayList({"http://a/1.flv"});
  flash.resolver->sources.clear();
  flash.resolver->complete();
  loop.runPending();
  EXPECT_THAT(takeEvents(), IsEmpty());
}

TEST_F(FlashPathTest, SourcesReadyAfterStopDoNothing) {
  p().Open("http://v.example.com/page");
  auto resolver = flash.resolver;
  resolver->sources = "http://a/1.flv";
  p().Stop();
  loop.runPending();
  EXPECT_EQ(flash.bridge, nullptr);
  resolver->complete();
  EXPECT_EQ(loop.runPending(), 0u);
  // A message that was already on its way finds no bridge.
  p().handleMessage({platform::WM_SOURCES_READY, 0, 0});
  EXPECT_THAT(takeEvents(), ElementsAre("state 1", "buffing 0", "state 0"));
}

TEST_F(FlashPathTest, StaleResolverOfAnEarlierPageIsIgnored) {
  p().Open("http://v.example.com/first");
  auto first = flash.resolver;
  first->sources = "http://a/old.flv";
  p().Open("http://v.example.com/second");
  first->complete();
  EXPECT_EQ(loop.runPending(), 1u);  // only the retired bridge's clean-up
  EXPECT_TRUE(bridge().playList.empty());
}

// The previous page's resolver finished and its WM_SOURCES_READY is still queued when the next
// source opens: its list and duration must not reach the new bridge.
TEST_F(FlashPathTest, CompletionOfThePreviousPageAfterANewOpenIsIgnored) {
  struct Case {
    std::string next;               // the source opened while the message waits
    std::vector<std::string> list;  // what the new bridge holds afterwards
  };
  const Case cases[] = {
      {"http://v.example.com/second", {}},
      {linkOf("nvswf|Name|1|http://s/seg_\\300000,700000"), {"http://s/seg_\\300000,700000"}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.next);
    p().Stop();
    loop.runPending();
    p().Open("http://v.example.com/first");
    auto first = flash.resolver;
    first->sources = "http://a/old.flv";
    first->seconds = 30;
    first->complete();
    p().Open(c.next);
    loop.runPending();
    EXPECT_EQ(bridge().playList, c.list);
    EXPECT_EQ(bridge().Duration(), 0);
  }
  // The new page's own answer still plays.
  p().Open("http://v.example.com/third");
  flash.resolver->sources = "http://a/new.flv";
  flash.resolver->complete();
  loop.runPending();
  EXPECT_THAT(bridge().playList, ElementsAre("http://a/new.flv"));
}

// The resolver's duration in seconds becomes whole ms in 32 bits, whatever the page tells.
TEST_F(FlashPathTest, ResolverDurationOfAnySizeGivesADefinedDuration) {
  struct Case {
    double seconds;
    int duration;  // the bridge's Duration afterwards (0: not set)
  };
  const Case cases[] = {{95.5, 95500},
                        {-1, -1000},  // 4294966296 ms as the bridge's int
                        {std::nan(""), 0},
                        {5e6, 705032704},  // 5e9 ms keeps its low 32 bits
                        {1e300, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.seconds);
    openResolved("http://a/1.flv", c.seconds);
    EXPECT_EQ(bridge().Duration(), c.duration);
  }
}

TEST_F(FlashPathTest, StopDestroysTheBridgeWithoutOnPlayStop) {
  openResolved("http://a/1.flv");
  takeEvents();
  flash.calls.clear();
  p().Stop();
  EXPECT_THAT(flash.calls, ElementsAre("StopMovie"));
  EXPECT_THAT(takeEvents(), ElementsAre("state 0"));
  EXPECT_FALSE(p().Opened());
  EXPECT_EQ(p().MediaKind(), kMediaNone);
  EXPECT_EQ(p().LoadState(), kLoadConnecting);  // a Flash stop leaves it
  loop.runPending();
  EXPECT_EQ(flash.bridgesDestroyed, 1);
  EXPECT_EQ(p().Speed(), 0);
}

TEST_F(FlashPathTest, BridgeNoticesBecomeEvents) {
  p().SetVolume(70);
  openResolved("http://a/1.flv", 90);
  takeEvents();
  bridge().mediaWidth = 640;
  bridge().mediaHeight = 360;
  bridge().downSpeed = 2048;
  bridge().state(0);
  EXPECT_TRUE(p().HasVideo());
  EXPECT_EQ(p().LoadState(), kLoadReceiving);
  bridge().position(1234);
  bridge().state(2);
  bridge().state(4);
  bridge().error(12, "movie failed");
  EXPECT_THAT(takeEvents(), ElementsAre("position 90000 1234 0", "end", "error 12 movie failed"));
  EXPECT_EQ(p().Speed(), 2048);
  EXPECT_EQ(p().MediaWidth(), 640);
  bridge().doubleClick();
  EXPECT_TRUE(p().FullScreen());
}

TEST_F(FlashPathTest, ControlsGoToTheBridge) {
  openResolved("http://a/1.flv");
  takeEvents();
  flash.calls.clear();
  p().Pause();
  p().KeyDown(PlayerKey::Space);
  p().Seek(30000);
  p().SetVolume(55);
  p().SetMute(true);
  p().SetCursorHidden(true);
  EXPECT_THAT(flash.calls, ElementsAre("Pause", "Resume", "Seek 30000", "SetVolume 55",
                                       "SetVolume 0", "SetCursorHidden 1"));
  EXPECT_THAT(takeEvents(), ElementsAre("state 2", "state 1"));
}

TEST_F(FlashPathTest, StopFromTheBridgesOwnErrorNoticeKeepsItAliveUntilItReturns) {
  openResolved("http://a/1.flv");
  p().OnPlayError = [this](int, const std::string&) { p().Stop(); };
  bridge().error(12, "movie failed");  // the bridge is still on the stack here
  EXPECT_EQ(flash.bridgesDestroyed, 0);
  bridge().position(100);  // a late notice of the stopped bridge
  EXPECT_EQ(p().LoadState(), kLoadConnecting);
  loop.runPending();
  EXPECT_EQ(flash.bridgesDestroyed, 1);
}

TEST_F(FlashPathTest, TenMinutesOfShortGapsStampOnce) {
  openResolved("http://a/1.flv");
  bridge().position(0);
  for (int i = 0; i < 1300; ++i) {
    loop.advance(500);
    bridge().position(i * 500);
  }
  EXPECT_EQ(stamps, 2);  // one from Open, one from watching
  EXPECT_TRUE(p().WatchStamped());
  EXPECT_GE(p().WatchedMs(), 600000u);
}

TEST_F(FlashPathTest, LongPausesDoNotCount) {
  openResolved("http://a/1.flv");
  for (int i = 0; i < 400; ++i) {
    loop.advance(i % 2 == 0 ? 1000 : 2000);
    bridge().position(i);
  }
  EXPECT_EQ(p().WatchedMs(), 200u * 1000u);
  EXPECT_FALSE(p().WatchStamped());
}

TEST_F(FlashPathTest, LayoutKeepsTheMoviesAspectInTheHost) {
  surface.client = {400, 300};
  surface.parent = {800, 600};
  p().SetParent(ParentWindow{nullptr, 1});  // nothing selected: ordinary parent change
  openResolved("http://a/1.flv");
  bridge().mediaWidth = 640;
  bridge().mediaHeight = 360;
  bridge().state(0);
  // 400/300 is narrower than 640/360: the movie fills the host's width.
  EXPECT_EQ(bridge().bounds, (Rect{0, 75, 800, 450}));
  EXPECT_EQ(bridge().positionRect, (Rect{0, 75, 800, 450}));
  surface.calls.clear();
  p().SetParent(ParentWindow{nullptr, 2});
  EXPECT_THAT(surface.calls, ElementsAre("ReparentWindowOnly 2"));
  p().SetParent(std::nullopt);
  EXPECT_THAT(surface.calls, ElementsAre("ReparentWindowOnly 2"));
}

TEST_F(FlashPathTest, InvisibleBridgeIsOnlyToldItsRectangle) {
  p().Open("http://v.example.com/page");
  bridge().mediaWidth = 320;
  bridge().mediaHeight = 240;
  bridge().state(0);  // still hidden: no list handed over yet
  EXPECT_EQ(bridge().bounds, (Rect{0, 0, 0, 0}));
  EXPECT_EQ(bridge().positionRect, (Rect{0, 0, 320, 240}));
}

// The movie draws into the control's own window (its native window, 77 here), so the control
// hands on the mouse input that lands on the movie.
TEST_F(FlashPathTest, MouseOnTheShownMovieGoesToTheBridge) {
  surface.client = {400, 300};
  p().Open("http://v.example.com/page");
  bridge().mediaWidth = 400;
  bridge().mediaHeight = 100;
  bridge().state(0);  // laid out, but hidden until the list arrives
  EXPECT_FALSE(p().MovieAt({10, 150}));
  flash.resolver->sources = "http://a/1.flv";
  flash.resolver->complete();
  loop.runPending();
  bridge().state(0);
  ASSERT_EQ(bridge().bounds, (Rect{0, 100, 400, 100}));

  const std::pair<Point, bool> points[] = {{{10, 150}, true},
                                           {{0, 100}, true},
                                           {{399, 199}, true},
                                           {{10, 99}, false},
                                           {{10, 200}, false}};
  for (const auto& [at, onMovie] : points) {
    SCOPED_TRACE(std::to_string(at.x) + "," + std::to_string(at.y));
    EXPECT_EQ(p().MovieAt(at), onMovie);
    flash.calls.clear();
    surface.calls.clear();
    EXPECT_EQ(p().RightButtonDown(at, {at.x + 500, at.y + 600}), onMovie);
    if (onMovie) {
      const std::string screen = std::to_string(at.x + 500) + "," + std::to_string(at.y + 600);
      EXPECT_THAT(flash.calls, ElementsAre("RightButtonDown " + screen));
      EXPECT_THAT(surface.calls, ElementsAre("ShowPopupMenu " + screen));
    } else {
      EXPECT_THAT(flash.calls, IsEmpty());
      EXPECT_THAT(surface.calls, IsEmpty());
    }
    // Either way a double click toggles full screen once: through the bridge on the movie.
    const bool wasFull = p().FullScreen();
    p().MouseDoubleClick(at);
    EXPECT_NE(p().FullScreen(), wasFull);
    EXPECT_EQ(std::ranges::count(flash.calls, std::string("DoubleClick")), onMovie ? 1 : 0);
  }
  p().Stop();
  EXPECT_FALSE(p().MovieAt({10, 150}));
}

TEST_F(FlashPathTest, PrivateLinksByKind) {
  struct Case {
    std::string record;
    std::uint8_t kind;
    std::string url;
  };
  const Case cases[] = {
      {"file|Name|1|addr", kMediaNone, ""},
      {"play|Name|1|addr", kMediaNone, ""},
      {"jslist|Name|1|http://x/list", kMediaNone, ""},
      {"video|Name|1|http://v.example.com/p", kMediaFlash, "http://v.example.com/p"},
      {"nvswf|Name|1|flv\\http://s/seg_\\300000,700000", kMediaFlash,
       "flv\\http://s/seg_\\300000,700000"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.record);
    p().Stop();
    loop.runPending();
    takeEvents();
    flash.calls.clear();
    flash.resolver.reset();
    const auto link = linkOf(c.record);
    p().Open(link);
    EXPECT_EQ(p().LastUrl(), link);
    EXPECT_EQ(p().MediaKind(), c.kind);
    EXPECT_EQ(p().URL(), c.url);
    EXPECT_EQ(lab.made, 0);
    if (c.kind == kMediaNone) {
      EXPECT_THAT(takeEvents(), IsEmpty());
    }
  }
  // The last case, a segment link: no resolver, the list goes straight to the bridge.
  EXPECT_THAT(takeEvents(), ElementsAre("state 1", "buffing 0"));
  EXPECT_EQ(flash.calls.back(), "PlayList 1");
  EXPECT_EQ(p().LoadState(), kLoadConnecting);
  EXPECT_EQ(flash.resolver, nullptr);
}

TEST_F(FlashPathTest, ClassificationOfOtherTexts) {
  p().Open("");
  EXPECT_EQ(p().MediaKind(), kMediaNone);
  EXPECT_TRUE(p().LastUrl().empty());
  for (const std::string source : {"C:/films/a.flv", "/films/b.mp4", "c.f4v", "Nivra:broken"}) {
    p().Open(source);
    EXPECT_EQ(p().MediaKind(), source == "Nivra:broken" ? kMediaNone : kMediaGraph) << source;
  }
  EXPECT_EQ(flash.bridgesMade, 0);
}

}  // namespace
}  // namespace nivra::player::test
