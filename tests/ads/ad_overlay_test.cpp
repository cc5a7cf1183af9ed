// The pre-roll overlay's count-down in virtual time: the tip counts down, the page hides and the
// player resumes once the time is up, not while the player is still connecting, never twice.

#include "ads/ad_overlay.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/manual_event_loop.h"

namespace nivra::ads {
namespace {

class RecordingView final : public AdOverlayView {
 public:
  bool BrowserExists() const override { return exists; }
  void CreateBrowser(int width, int height) override {
    exists = true;
    calls.push_back("create " + std::to_string(width) + "x" + std::to_string(height));
  }
  void SetTipSize(int width, int height) override {
    calls.push_back("tipsize " + std::to_string(width) + "x" + std::to_string(height));
  }
  void NavigateTo(const std::string& url) override { calls.push_back("navigate " + url); }
  void SetTipText(const std::string& text) override { calls.push_back("tip " + text); }
  void ShowBrowser() override { calls.push_back("show"); }
  void HideBrowser() override { calls.push_back("hide"); }
  int PlayerLoadState() const override { return loadState; }
  void PlayerPlay() override { calls.push_back("play"); }
  void CountdownEnded() override { calls.push_back("done"); }

  bool exists = false;
  int loadState = 3;
  std::vector<std::string> calls;
};

struct Fixture {
  platform::ManualEventLoop loop;
  RecordingView view;
  AdOverlay overlay{view, loop};
};

using Calls = std::vector<std::string>;

TEST(AdOverlay, CountsDownOnceASecondThenHidesAndResumes) {
  Fixture f;
  f.overlay.ShowAdPage("http://d/zanting.html", 480, 360, 3000, false);
  EXPECT_EQ(f.view.calls, (Calls{"create 480x360", "tipsize 100x25",
                                 "navigate http://d/zanting.html", "tip 广告剩余 3 秒", "show"}));
  f.view.calls.clear();
  f.loop.advance(3000);
  EXPECT_EQ(f.view.calls, (Calls{"tip 广告剩余 2 秒", "tip 广告剩余 1 秒", "tip 广告剩余 1 秒"}));
  f.view.calls.clear();
  f.loop.advance(1000);  // past the end: the tip shows at least 1, then the page goes
  EXPECT_EQ(f.view.calls, (Calls{"tip 广告剩余 1 秒", "done", "hide", "play"}));
  EXPECT_FALSE(f.overlay.CountdownRunning());
  f.view.calls.clear();
  f.loop.advance(5000);
  EXPECT_TRUE(f.view.calls.empty());
}

TEST(AdOverlay, PageStaysWhilePlayerIsStillConnecting) {
  Fixture f;
  f.view.loadState = kLoadStateConnecting;
  f.overlay.ShowAdPage("p", 480, 360, 1000, false);
  f.view.calls.clear();
  f.loop.advance(5000);
  EXPECT_EQ(f.view.calls, Calls(5, "tip 广告剩余 1 秒"));
  f.view.loadState = 3;
  f.view.calls.clear();
  f.loop.advance(1000);
  EXPECT_EQ(f.view.calls, (Calls{"tip 广告剩余 1 秒", "done", "hide", "play"}));
}

TEST(AdOverlay, AfterTheCountdownThePageShowsWithoutTipOrTimer) {
  Fixture f;
  f.overlay.ShowAdPage("buffering", 480, 360, 15000, true);
  EXPECT_EQ(f.view.calls.at(3), "tip ");
  EXPECT_FALSE(f.overlay.CountdownRunning());
  f.view.calls.clear();
  f.loop.advance(20000);
  EXPECT_TRUE(f.view.calls.empty());
}

TEST(AdOverlay, HideStopsTheCountdownAndAShowRestartsIt) {
  Fixture f;
  f.overlay.HideAdPage();  // nothing exists yet: no calls
  EXPECT_TRUE(f.view.calls.empty());
  f.overlay.ShowAdPage("p", 480, 360, 2000, false);
  f.overlay.HideAdPage();
  EXPECT_EQ(f.view.calls.back(), "hide");
  EXPECT_EQ(f.loop.activeTimers(), 0u);
  f.loop.advance(1000);
  f.overlay.ShowAdPage("p", 480, 360, 2000, false);  // browser exists: not created again
  EXPECT_EQ(std::count(f.view.calls.begin(), f.view.calls.end(), "create 480x360"), 1);
  EXPECT_EQ(f.loop.activeTimers(), 1u);
}

}  // namespace
}  // namespace nivra::ads
