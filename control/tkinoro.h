#pragma once
// TKinoro: the control's form. A player fills the picture area under a mask panel, a 54-pixel
// bar sits at the bottom (play, stop, mute, volume, speed, seek bar, time, full screen), with a
// context menu, shortcuts, a one-second statistics timer, the pre-roll page over the picture and
// the full-screen window. It wires widgets only: KinoroWiring decides, the ad overlay counts
// down, and the control object turns the form's notices into the host's events.

#include <QPointer>
#include <QWidget>
#include <filesystem>
#include <map>
#include <memory>

#include "ads/ad_overlay.h"
#include "ads/overlay/tm_webbrowser.h"
#include "common/full_form.h"
#include "control/kinoro_form.h"
#include "control/kinoro_wiring.h"
#include "control/stub_form.h"
#include "platform/event_loop.h"

class QAction;
class QLabel;
class QMenu;
class QWindow;

namespace nivra::player {
class PlayerStack;
class PlayerWidget;
class TPlayer;
}  // namespace nivra::player

namespace nivra::ui {
class TPNGButton;
class TPNGPlayTrackBar;
}  // namespace nivra::ui

namespace nivra::control {

struct KinoroPages {
  std::string pause;      // the display server's /ocx/zanting.html
  std::string buffering;  // and /ocx/huanchong.html
};

class TKinoro final : public QWidget,
                      public KinoroForm,
                      public KinoroView,
                      public ads::AdOverlayView,
                      public common::FullScreenHost {
 public:
  TKinoro(FormNotifications& notifications, platform::EventLoop& loop, player::PlayerStack& players,
          KinoroPages pages, std::filesystem::path libraryFile);
  ~TKinoro() override;

  // KinoroForm
  void get(const Member& member, VARIANT* out) override;
  void put(const Member& member, const VARIANT& value) override;
  void call(const Member& member) override;
  std::uintptr_t nativeWindow() override;
  void place(int left, int top, int width, int height) override;
  void setHostWindow(std::uintptr_t window) override;
  void showInHost(bool visible) override;

  player::TPlayer& plyObj();
  player::PlayerWidget* playerWidget() const { return player_; }
  KinoroWiring& wiring() { return wiring_; }
  QAction* action(const char* name) const;
  QWidget* fullForm() const { return fullForm_; }
  ads::TmWebbrowser* adBrowser() const { return adBrowser_; }

  // KinoroView
  void SetPlayButton(int stateImage) override;
  void SetMuteButton(int stateImage) override;
  void SetSeekBar(int maxSeconds, int positionSeconds) override;
  void SetSeekEnabled(bool on) override;
  void SetSeekHint(std::string_view text) override;
  void SetVolumeBar(int position) override;
  void SetTimeText(std::string_view text) override;
  std::string SpeedText() const override;
  void SetSpeedText(std::string_view text) override;
  void SetMuteChecked(bool on) override;
  void SetChannelChecked(int channel) override;
  void SetFullCaption(std::string_view caption) override;
  bool AdPageShowing() const override;
  void ShowAdPage(const std::string& url, int width, int height, int countdownMs,
                  bool adDone) override;
  void HideAdPage() override;
  int AdWidth() const override { return adW_; }
  int AdHeight() const override { return adH_; }
  bool FullFormExists() const override { return fullForm_ != nullptr; }
  bool FullFormShowing() const override { return fullFormShowing_; }
  void EnterFullForm() override;
  void LeaveFullForm() override;
  void ShowError(std::string_view text) override;
  player::TPlayState PlayerState() const override;
  std::string PlayerLastUrl() const override;
  void PlayerOpen(const std::string& link) override;
  void PlayerPlay() override;
  void PlayerPause() override;
  void PlayerStop() override;
  void PlayerSeek(int ms) override;
  int PlayerVolume() const override;
  void PlayerSetVolume(int volume) override;
  bool PlayerMute() const override;
  void PlayerSetMute(bool mute) override;
  void PlayerSetAudioChannel(int channel) override;
  bool PlayerFullScreen() const override;
  void PlayerSetFullScreen(bool on) override;
  void PlayerSetCursorHidden(bool hidden) override;

  // AdOverlayView
  bool BrowserExists() const override { return adBrowser_ != nullptr; }
  void CreateBrowser(int width, int height) override;
  void SetTipSize(int width, int height) override;
  void NavigateTo(const std::string& url) override;
  void SetTipText(const std::string& text) override;
  void ShowBrowser() override;
  void HideBrowser() override;
  int PlayerLoadState() const override;
  void CountdownEnded() override { wiring_.AdCountdownEnded(); }

  // FullScreenHost
  void LeaveFullScreen() override;
  void SetCursorHidden(bool hidden) override;
  bool HandleKey(int key) override;

  // The bar's widgets, by their names.
  QLabel* lblPlayPos() const { return lblPlayPos_; }
  QLabel* lblSpeed() const { return lblSpeed_; }
  ui::TPNGButton* btnPlay() const { return btnPlay_; }
  ui::TPNGButton* btnMute() const { return btnMute_; }
  ui::TPNGPlayTrackBar* tbPlayPos() const { return tbPlayPos_; }
  ui::TPNGPlayTrackBar* tbVolume() const { return tbVolume_; }
  QWidget* pnlBottom() const { return pnlBottom_; }
  QWidget* pnlMaskBg() const { return pnlMaskBg_; }

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildBar();
  void BuildPicture(player::PlayerStack& players);
  void BuildActions();
  void WirePlayer();
  void LayoutBar();
  void LayoutPicture();
  void MoveAdBrowserTo(QWidget* parent);
  void guarded(const std::function<void()>& fn);

  FormNotifications& notifications_;
  platform::EventLoop& loop_;
  StubKinoroForm stored_;  // the form's plain properties (caption, colour, flags …)
  KinoroWiring wiring_;
  ads::AdOverlay overlay_;
  int adW_ = 480;
  int adH_ = 360;

  QWidget* pnlBottom_ = nullptr;
  QWidget* imgBottomCenter_ = nullptr;
  ui::TPNGButton* btnPlay_ = nullptr;
  ui::TPNGButton* btnStop_ = nullptr;
  ui::TPNGButton* btnMute_ = nullptr;
  ui::TPNGPlayTrackBar* tbVolume_ = nullptr;
  QLabel* lblSpeed_ = nullptr;
  ui::TPNGPlayTrackBar* tbPlayPos_ = nullptr;
  QLabel* lblPlayPos_ = nullptr;
  ui::TPNGButton* btnFullScreen_ = nullptr;
  QWidget* pnlPlayOwn_ = nullptr;
  QWidget* pnlPlayAd_ = nullptr;
  QWidget* pnlPlay_ = nullptr;
  QWidget* pnlMaskBg_ = nullptr;
  player::PlayerWidget* player_ = nullptr;
  QMenu* pmRight_ = nullptr;
  std::map<std::string, QAction*> actions_;
  QPointer<ads::TmWebbrowser> adBrowser_;
  common::TFullForm* fullForm_ = nullptr;
  QPointer<common::TFullForm> retiringFullForm_;  // left, to be deleted
  bool fullFormShowing_ = false;
  bool movingPlayer_ = false;  // the player's focus loss is no user's doing then
  std::unique_ptr<QWindow> hostWindow_;
  platform::EventLoop::TimerId tmrStats_ = 0;
  bool destroying_ = false;
};

// The control's error box: caption "错误", error icon, on top, not modal.
void ShowErrorBox(const QString& text);

// The form of a control made through the class factory: TKinoro over the process's shared
// runtime (which makes the Qt application on first use).
std::unique_ptr<KinoroForm> makeTKinoro(FormNotifications& notifications,
                                        const std::filesystem::path& libraryFile);

}  // namespace nivra::control
