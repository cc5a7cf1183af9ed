// What the ad windows decide, over a recording view in virtual time: where and when they show,
// when they close, what they log, and what a clicked private link starts.

#include "ads/windows/ad_window_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/manual_event_loop.h"
#include "tests/support/debug_log.h"

namespace nivra::ads {
namespace {

// A window that remembers what was done to it.
struct FakeView final : AdWindowView {
  WindowRect work{0, 0, 1920, 1040};
  std::vector<WindowRect> geometries;
  bool shown = false;
  int shows = 0, raises = 0, closes = 0;

  WindowRect workArea() const override { return work; }
  void setWindowGeometry(const WindowRect& rect) override { geometries.push_back(rect); }
  bool isShown() const override { return shown; }
  void showWindow() override {
    shown = true;
    ++shows;
  }
  void bringAboveOthers() override { ++raises; }
  void closeWindow() override {
    shown = false;
    ++closes;
  }
};

class AdShowRulesTest : public ::testing::Test {
 protected:
  AdShowRules make(int showTimeMs, int width = 300, int height = 200) {
    return AdShowRules(loop_, view_, width, height, showTimeMs, [this] { ++stamps_; });
  }
  platform::ManualEventLoop loop_;
  FakeView view_;
  int stamps_ = 0;
};

TEST_F(AdShowRulesTest, AFirstLoadPlacesTheWindowAtTheBottomRightOfTheWorkArea) {
  struct Case {
    WindowRect work;
    WindowRect expected;
  } cases[] = {
      {{0, 0, 1920, 1040}, {1620, 840, 300, 200}},
      {{0, 0, 800, 600}, {500, 400, 300, 200}},
      {{1920, 30, 1280, 994}, {2900, 824, 300, 200}},  // a second screen below a top panel
  };
  for (const auto& c : cases) {
    FakeView view;
    view.work = c.work;
    int stamps = 0;
    AdShowRules rules(loop_, view, 300, 200, 5000, [&] { ++stamps; });
    EXPECT_FALSE(rules.Loaded());
    rules.DocumentComplete();
    EXPECT_EQ(view.geometries, std::vector<WindowRect>{c.expected});
    EXPECT_TRUE(view.shown);
    EXPECT_GE(view.raises, 1);
    EXPECT_TRUE(rules.Loaded());
    EXPECT_EQ(stamps, 1);
  }
}

TEST_F(AdShowRulesTest, TheWindowClosesWhenItsDisplayTimeHasPassedSinceTheLastLoad) {
  auto rules = make(31000);
  loop_.advance(60000);  // nothing counts before a page has loaded
  EXPECT_EQ(view_.closes, 0);
  rules.DocumentComplete();
  loop_.advance(20000);
  rules.DocumentComplete();  // a second page restarts the time
  loop_.advance(30999);
  EXPECT_EQ(view_.closes, 0);
  loop_.advance(1);
  EXPECT_EQ(view_.closes, 1);
  loop_.advance(100000);
  EXPECT_EQ(view_.closes, 1);  // once
  EXPECT_EQ(stamps_, 2);
}

TEST_F(AdShowRulesTest, UnusualDisplayTimes) {
  struct Case {
    int showTimeMs;
    std::int64_t closesAfterMs;  // -1: never
  } cases[] = {{0, 10}, {5, 10}, {10, 10}, {1, 10}, {-5, -1}};
  for (const auto& c : cases) {
    FakeView view;
    AdShowRules rules(loop_, view, 10, 10, c.showTimeMs, {});
    rules.DocumentComplete();
    if (c.closesAfterMs < 0) {
      loop_.advance(24 * 3600 * 1000LL);
      EXPECT_EQ(view.closes, 0) << c.showTimeMs;
      continue;
    }
    loop_.advance(c.closesAfterMs - 1);
    EXPECT_EQ(view.closes, 0) << c.showTimeMs;
    loop_.advance(1);
    EXPECT_EQ(view.closes, 1) << c.showTimeMs;
  }
}

TEST_F(AdShowRulesTest, TheShownWindowIsRaisedEvery40MsUntilTheRulesGo) {
  {
    auto rules = make(-1);
    rules.DocumentComplete();
    const int afterLoad = view_.raises;
    loop_.advance(400);
    EXPECT_EQ(view_.raises - afterLoad, 10);
  }
  EXPECT_EQ(loop_.activeTimers(), 0u);
}

TEST_F(AdShowRulesTest, AFailedLoadClosesOnlyAWindowThatNeverShowedAPage) {
  auto rules = make(5000);
  rules.NavigateError();
  EXPECT_EQ(view_.closes, 1);
  EXPECT_EQ(view_.shows, 0);

  FakeView loadedView;
  AdShowRules loaded(loop_, loadedView, 300, 200, 5000, {});
  loaded.DocumentComplete();
  loaded.NavigateError();
  EXPECT_EQ(loadedView.closes, 0);
  loaded.WindowClosing();  // the page's window.close()
  EXPECT_EQ(loadedView.closes, 1);
}

TEST(AdWindowMessages, ScriptMessageBoxesAreLoggedWithTheWindowsPrefix) {
  test::DebugLog log;
  platform::ManualEventLoop loop;
  FakeView view;
  AdShowRules ad(loop, view, 1, 1, 1, {});
  MiniRules mini(view, "http://ads.example/", {});
  ad.ShowMessage("Hello 广告");
  mini.ShowMessage("sure?");
  EXPECT_EQ(log.lines(),
            (std::vector<std::string>{"OnADShowMessage:Hello 广告", "OnMiniShowMessage:sure?"}));
  EXPECT_EQ(view.shows + view.closes, 0);
}

TEST(IsSameHostPage, OnlyAPageOfTheRequestedHostAndPortCounts) {
  struct Case {
    const char* requested;
    const char* completed;
    bool same;
  } cases[] = {
      {"http://ads.example/mini.html", "http://ads.example/mini.html", true},
      {"http://ads.example/mini.html", "http://ads.example/other?x=1", true},
      {"http://Ads.Example/mini.html", "http://ads.example/", true},
      {"http://127.0.0.1:8000/a.html", "http://127.0.0.1:8000/b.html", true},
      {"http://ads.example", "http://ads.example", true},
      {"http://ads.example/", "http://ads.example#top", true},
      {"http://127.0.0.1:8000/a.html", "http://127.0.0.1:8001/a.html", false},
      {"http://ads.example/mini.html", "http://ads.example.evil.org/", false},
      {"http://ads.example/mini.html", "http://evil.org/?from=http://ads.example/", false},
      {"http://ads.example/mini.html", "https://ads.example/mini.html", false},
      {"http://ads.example/mini.html", "about:blank", false},
      {"http://ads.example/mini.html", "", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(IsSameHostPage(c.requested, c.completed), c.same)
        << c.requested << " / " << c.completed;
}

class MiniRulesTest : public ::testing::Test {
 protected:
  FakeView view_;
  int stamps_ = 0;
  MiniRules rules_{view_, "http://ads.example/mini.html", [this] { ++stamps_; }};
};

TEST_F(MiniRulesTest, AFirstPageOfTheHostShowsTheWindowCentredOnce) {
  test::DebugLog log;
  view_.work = {0, 30, 1280, 994};
  EXPECT_EQ(rules_.WaitingGeometry(650, 460), (WindowRect{-650, -460, 650, 460}));
  rules_.DocumentComplete("http://ads.example/mini.html", 651, 461);
  EXPECT_TRUE(view_.shown);
  EXPECT_EQ(view_.geometries, std::vector<WindowRect>{WindowRect({314, 296, 651, 461})});
  EXPECT_EQ(log.lines(), std::vector<std::string>{"OnMiniDocumentComplete:Form show"});
  // A later page of the host brings it up again without moving it; one of another host is
  // followed within the window.
  rules_.DocumentComplete("http://ads.example/next.html", 651, 461);
  rules_.DocumentComplete("http://elsewhere.example/", 651, 461);
  EXPECT_EQ(view_.geometries.size(), 1u);
  EXPECT_EQ(view_.shows, 1);
  EXPECT_EQ(view_.closes, 0);
  EXPECT_EQ(view_.raises, 2);
  EXPECT_EQ(stamps_, 2);
  EXPECT_EQ(log.lines().size(), 1u);
}

TEST_F(MiniRulesTest, AFirstPageOfAnotherHostClosesTheWindowUnseen) {
  rules_.DocumentComplete("http://ads.example.evil.org/mini.html", 650, 460);
  EXPECT_EQ(view_.shows, 0);
  EXPECT_EQ(view_.closes, 1);
  EXPECT_EQ(stamps_, 0);
}

TEST_F(MiniRulesTest, AFailedLoadClosesOnlyTheHiddenWindow) {
  rules_.NavigateError();
  EXPECT_EQ(view_.closes, 1);
  FakeView shownView;
  MiniRules shown(shownView, "http://ads.example/", {});
  shown.DocumentComplete("http://ads.example/", 10, 10);
  shown.NavigateError();
  EXPECT_EQ(shownView.closes, 0);
  shown.WindowClosing();
  EXPECT_EQ(shownView.closes, 1);
}

TEST(PrivateLinkArguments, TheExtraAddressOfAnHttpPageElseTheLinkAsWritten) {
  struct Case {
    const char* ext;
    std::vector<std::string> args;
  } cases[] = {
      {"http://info.example/page?id=7", {"/WebShell", "http://info.example/page?id=7"}},
      {"HTTP://INFO/x", {"/WebShell", "HTTP://INFO/x"}},
      {"https://info.example/", {"Nivra://AB%41 c"}},
      {"", {"Nivra://AB%41 c"}},
      {"info", {"Nivra://AB%41 c"}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(PrivateLinkArguments("Nivra://AB%41 c", c.ext), c.args) << c.ext;
}

}  // namespace
}  // namespace nivra::ads
