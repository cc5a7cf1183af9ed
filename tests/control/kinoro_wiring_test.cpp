// The control form's decisions over a fake form and player, with the real pre-roll count-down
// in virtual time: the URL check, the pre-roll pause of a new item, the actions, the bar's texts,
// the speed label and the full-screen switch.

#include "control/kinoro_wiring.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "ads/ad_overlay.h"
#include "platform/error.h"
#include "platform/manual_event_loop.h"
#include "player/links/url_link_encoder.h"

namespace nivra::control {
namespace {

using player::psPause;
using player::psPlay;
using player::psStop;

const std::string kPause = "http://display/ocx/zanting.html";
const std::string kBuffering = "http://display/ocx/huanchong.html";

// A form whose player answers at once, as TPlayer does: opening plays, and every change of
// state comes back to the wiring before the call returns.
class FakeForm final : public KinoroView, public ads::AdOverlayView {
 public:
  platform::ManualEventLoop loop;
  ads::AdOverlay overlay{*this, loop};
  KinoroWiring wiring{*this, kPause, kBuffering};

  // The player.
  player::TPlayState state = psStop;
  std::string lastUrl;
  int volume = 100;
  bool mute = false;
  bool full = false;
  int loadState = 0;
  bool cursorHidden = true;
  std::vector<std::string> commands;
  // The bar, the actions and the page.
  int playButton = -1, muteButton = -1, seekMax = -1, seekPos = -1, volumeBar = -1;
  int channelChecked = -1;
  bool seekEnabled = false, muteChecked = false;
  std::string seekHint, timeText{kTimeIdle}, speedText{kSpeedStopped}, fullCaption;
  bool browser = false, browserShown = false, mask = true;
  std::string page, tip;
  bool fullForm = false, fullFormShowing = false;
  std::vector<std::string> errors;

  void SetState(player::TPlayState s) {
    if (state == s) return;
    state = s;
    wiring.OnPlayStateChange(s);
  }

  // KinoroView
  void SetPlayButton(int s) override { playButton = s; }
  void SetMuteButton(int s) override { muteButton = s; }
  void SetSeekBar(int max, int pos) override { seekMax = max, seekPos = pos; }
  void SetSeekEnabled(bool on) override { seekEnabled = on; }
  void SetSeekHint(std::string_view t) override { seekHint = t; }
  void SetVolumeBar(int p) override { volumeBar = p; }
  void SetTimeText(std::string_view t) override { timeText = t; }
  std::string SpeedText() const override { return speedText; }
  void SetSpeedText(std::string_view t) override { speedText = t; }
  void SetMuteChecked(bool on) override { muteChecked = on; }
  void SetChannelChecked(int c) override { channelChecked = c; }
  void SetFullCaption(std::string_view c) override { fullCaption = c; }
  bool AdPageShowing() const override { return browser && browserShown; }
  void ShowAdPage(const std::string& url, int w, int h, int ms, bool adDone) override {
    if (!adDone) mask = true;
    overlay.ShowAdPage(url, w, h, ms, adDone);
  }
  void HideAdPage() override { overlay.HideAdPage(); }
  int AdWidth() const override { return 480; }
  int AdHeight() const override { return 360; }
  bool FullFormExists() const override { return fullForm; }
  bool FullFormShowing() const override { return fullFormShowing; }
  void EnterFullForm() override { fullForm = true; }
  void LeaveFullForm() override { fullForm = false; }
  void ShowError(std::string_view t) override { errors.emplace_back(t); }
  player::TPlayState PlayerState() const override { return state; }
  std::string PlayerLastUrl() const override { return lastUrl; }
  void PlayerOpen(const std::string& link) override {
    commands.push_back("open " + link);
    lastUrl = link;
    SetState(psStop);
    SetState(psPlay);
  }
  void PlayerPlay() override {
    commands.emplace_back("play");
    if (state == psPause) SetState(psPlay);
  }
  void PlayerPause() override {
    commands.emplace_back("pause");
    if (state == psPlay) SetState(psPause);
  }
  void PlayerStop() override {
    commands.emplace_back("stop");
    SetState(psStop);
  }
  void PlayerSeek(int ms) override { commands.push_back("seek " + std::to_string(ms)); }
  int PlayerVolume() const override { return volume; }
  void PlayerSetVolume(int v) override { volume = std::clamp(v, 0, 100); }
  bool PlayerMute() const override { return mute; }
  void PlayerSetMute(bool m) override { mute = m; }
  void PlayerSetAudioChannel(int c) override { commands.push_back("channel " + std::to_string(c)); }
  bool PlayerFullScreen() const override { return full; }
  void PlayerSetFullScreen(bool on) override {
    full = on;
    wiring.OnFullChanging();
  }
  void PlayerSetCursorHidden(bool hidden) override { cursorHidden = hidden; }

  // AdOverlayView
  bool BrowserExists() const override { return browser; }
  void CreateBrowser(int, int) override { browser = true; }
  void SetTipSize(int, int) override {}
  void NavigateTo(const std::string& url) override { page = url; }
  void SetTipText(const std::string& t) override { tip = t; }
  void ShowBrowser() override { browserShown = true; }
  void HideBrowser() override {
    browserShown = false;
    mask = false;
  }
  int PlayerLoadState() const override { return loadState; }
  void CountdownEnded() override { wiring.AdCountdownEnded(); }

  // Lets the pre-roll count-down run out.
  void FinishPreRoll() { loop.advance(16000); }
};

const std::string kVideoLink = player::EncodeLink("video|Demo|100|http://127.0.0.1/v.html");

TEST(KinoroUrl, ChecksTheLinkBeforeThePlayerSeesIt) {
  FakeForm f;
  f.wiring.PutUrl("   ");
  EXPECT_TRUE(f.commands.empty());

  for (const std::string& bad :
       {std::string("http://example.com/v.mp4"), player::EncodeLink("play|Named|1|x")}) {
    try {
      f.wiring.PutUrl(bad);
      ADD_FAILURE() << "accepted " << bad;
    } catch (const Error& e) {
      EXPECT_STREQ(e.what(), "非法地址!");
    }
  }
  EXPECT_TRUE(f.commands.empty());

  f.wiring.PutUrl(player::EncodeLink("file|Old|1|x"));
  EXPECT_EQ(f.timeText, "失效的地址!");
  EXPECT_TRUE(f.commands.empty());

  f.wiring.PutUrl(kVideoLink);
  ASSERT_FALSE(f.commands.empty());
  EXPECT_EQ(f.commands.front(), "open " + kVideoLink);
}

TEST(KinoroPreRoll, ANewItemWaitsBehindTheCountdownPage) {
  FakeForm f;
  f.wiring.PutUrl(kVideoLink);
  // Paused at once behind the pause page, counting down from 15 s.
  EXPECT_EQ(f.state, psPause);
  EXPECT_EQ(f.playButton, 0);
  EXPECT_TRUE(f.browserShown);
  EXPECT_TRUE(f.mask);
  EXPECT_EQ(f.page, kPause);
  EXPECT_EQ(f.tip, "广告剩余 15 秒");
  f.loop.advance(5000);
  EXPECT_EQ(f.tip, "广告剩余 10 秒");

  // The play button does nothing while the count-down runs.
  f.wiring.ActPlay();
  EXPECT_EQ(f.state, psPause);

  // Still connecting after the 15 s: the page stays with 1 s left.
  f.loadState = 2;
  f.loop.advance(11000);
  EXPECT_EQ(f.state, psPause);
  EXPECT_EQ(f.tip, "广告剩余 1 秒");
  EXPECT_FALSE(f.wiring.AdDone());

  f.loadState = 0;
  f.loop.advance(1000);
  EXPECT_EQ(f.state, psPlay);
  EXPECT_TRUE(f.wiring.AdDone());
  EXPECT_FALSE(f.browserShown);
  EXPECT_FALSE(f.mask);
  EXPECT_EQ(f.playButton, 1);

  // Later pauses show the buffering page without a count-down; playing removes it.
  f.wiring.ActPlay();
  EXPECT_EQ(f.state, psPause);
  EXPECT_EQ(f.page, kBuffering);
  EXPECT_EQ(f.tip, "");
  EXPECT_TRUE(f.browserShown);
  EXPECT_FALSE(f.mask);
  f.loop.advance(30000);
  EXPECT_EQ(f.state, psPause);
  f.wiring.ActPlay();
  EXPECT_EQ(f.state, psPlay);
  EXPECT_FALSE(f.browserShown);
}

TEST(KinoroPreRoll, StopAndErrorsStartTheNextItemOverAgain) {
  FakeForm f;
  f.wiring.PutUrl(kVideoLink);
  f.FinishPreRoll();
  ASSERT_TRUE(f.wiring.AdDone());
  f.speedText = "4KB/s";

  f.wiring.ActStop();
  EXPECT_FALSE(f.wiring.AdDone());
  EXPECT_EQ(f.state, psStop);
  EXPECT_EQ(f.timeText, "00:00/00:00");
  EXPECT_EQ(f.speedText, "停止");
  EXPECT_EQ(f.seekPos, 0);
  EXPECT_FALSE(f.seekEnabled);

  // The play button reopens the last item, which gets the count-down again.
  f.wiring.ActPlay();
  EXPECT_EQ(f.state, psPause);
  EXPECT_EQ(f.page, kPause);
  EXPECT_EQ(f.tip, "广告剩余 15 秒");
  f.FinishPreRoll();

  f.wiring.OnPlayError(5, "bad file");
  EXPECT_EQ(f.state, psStop);
  EXPECT_FALSE(f.wiring.AdDone());
  EXPECT_EQ(f.errors, std::vector<std::string>{"错误5:bad file"});
}

TEST(KinoroBar, PositionReportsBufferingAndSeeking) {
  FakeForm f;
  f.wiring.PutUrl(kVideoLink);
  f.FinishPreRoll();

  f.wiring.OnPlayPosition(3600000, 125400);
  EXPECT_EQ(f.seekMax, 3600);
  EXPECT_EQ(f.seekPos, 125);
  EXPECT_EQ(f.timeText, "02:05/60:00");
  EXPECT_EQ(f.seekHint, "02:05/60:00");

  // While the thumb is dragged, reports and seek changes are ignored.
  f.wiring.BeginSeek();
  f.wiring.OnPlayPosition(3600000, 200000);
  f.wiring.SeekChanging(42);
  EXPECT_EQ(f.seekPos, 125);
  f.wiring.EndSeek();
  f.commands.clear();
  f.wiring.SeekChanging(42);
  EXPECT_EQ(f.commands, std::vector<std::string>{"seek 42000"});

  f.wiring.OnPlayBuffing(150);
  EXPECT_EQ(f.timeText, "正在缓冲...100%");
  // After the pre-roll, buffering shows the buffering page; a position report removes it.
  EXPECT_EQ(f.page, kBuffering);
  EXPECT_TRUE(f.browserShown);
  f.wiring.OnPlayPosition(3600000, 126000);
  EXPECT_FALSE(f.browserShown);

  // Reports while paused change nothing.
  f.wiring.ActPlay();
  f.wiring.OnPlayPosition(6000000, 0);
  EXPECT_EQ(f.seekMax, 3600);
}

TEST(KinoroBar, ConnectingBeforeThePreRollPausesBehindThePausePage) {
  FakeForm f;
  f.state = psPlay;
  f.wiring.OnPlayBuffing(0);
  EXPECT_EQ(f.speedText, "正在连接");
  EXPECT_EQ(f.timeText, "正在加载......");
  EXPECT_EQ(f.seekHint, "正在加载......");
  EXPECT_EQ(f.state, psPause);
  EXPECT_EQ(f.page, kPause);
  EXPECT_EQ(f.tip, "广告剩余 15 秒");
  // The speed label keeps its word while the speed is 0, and shows speeds after that.
  f.wiring.StatsTick(0);
  EXPECT_EQ(f.speedText, "正在连接");
  f.wiring.StatsTick(512);
  EXPECT_EQ(f.speedText, "0.5KB/s");
  f.wiring.StatsTick(0);
  EXPECT_EQ(f.speedText, "0KB/s");
}

TEST(KinoroActions, MuteVolumeAndChannels) {
  FakeForm f;
  f.wiring.ActMute();
  EXPECT_TRUE(f.mute);
  EXPECT_TRUE(f.muteChecked);
  EXPECT_EQ(f.muteButton, 1);
  f.wiring.ActMute();
  EXPECT_FALSE(f.mute);
  EXPECT_EQ(f.muteButton, 0);

  f.wiring.ActVolumeStep(+kVolumeStep);
  EXPECT_EQ(f.volume, 100);
  EXPECT_EQ(f.volumeBar, 100);
  f.volume = 3;
  f.wiring.ActVolumeStep(-kVolumeStep);
  EXPECT_EQ(f.volume, 0);
  EXPECT_EQ(f.volumeBar, 0);
  f.wiring.VolumeChanging(40);
  EXPECT_EQ(f.volume, 40);

  for (int channel : {2, 1, 0}) {
    f.wiring.ActChannel(channel);
    EXPECT_EQ(f.channelChecked, channel);
    EXPECT_EQ(f.commands.back(), "channel " + std::to_string(channel));
  }
}

TEST(KinoroFullScreen, FollowsThePlayersFlag) {
  FakeForm f;
  f.wiring.ActFull();
  EXPECT_TRUE(f.fullForm);
  EXPECT_EQ(f.fullCaption, "退出全屏");

  // Leaving while the window is still being shown is ignored.
  f.fullFormShowing = true;
  f.PlayerSetFullScreen(false);
  EXPECT_TRUE(f.fullForm);
  f.fullFormShowing = false;

  f.full = true;
  f.wiring.ActFull();
  EXPECT_FALSE(f.fullForm);
  EXPECT_EQ(f.fullCaption, "全屏播放");
  EXPECT_FALSE(f.cursorHidden);

  // A form being destroyed ignores the flag.
  f.wiring.SetDestroying();
  f.wiring.ActFull();
  EXPECT_FALSE(f.fullForm);
}

}  // namespace
}  // namespace nivra::control
