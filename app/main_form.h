#pragma once
// The main window TNivraMainForm: a borderless, skinned window of 1005 × 648 that listens on the
// window channel under its class name, runs the creation sequence, answers the hand-over
// messages and applies the settings. It owns the player and routes its events, the commands and
// the window's own notices to the procedures that decide (playback wiring, settings, overlay).

#include <QPointer>
#include <QWidget>
#include <deque>
#include <memory>
#include <string>

#include "ads/ad_overlay.h"
#include "app/command_line.h"
#include "app/commands.h"
#include "app/desktop/power_manager.h"
#include "app/desktop/shut_down.h"
#include "app/main_form_ui.h"
#include "app/playback_wiring.h"
#include "app/settings_apply.h"
#include "app/window_modes.h"
#include "catalogue/panel/right_form_host.h"
#include "common/full_form.h"
#include "platform/alive_token.h"
#include "platform/message.h"

class QSystemTrayIcon;
class QTimer;

namespace nivra::ads {
class TAdObj;
class TmWebbrowser;
}  // namespace nivra::ads
namespace nivra::catalogue {
class CatalogueCache;
namespace panel {
class TRightForm;
}
}  // namespace nivra::catalogue
namespace nivra::net {
class BackgroundTasks;
class ServerEndpoints;
}  // namespace nivra::net
namespace nivra::platform {
class QtEventLoop;
class WindowChannelServer;
}  // namespace nivra::platform
namespace nivra::player {
class PlayerStack;
class PlayerWidget;
class TPlayer;
}  // namespace nivra::player

namespace nivra::app {

class MainFormDesktop;
class TLibraryPage;

class TNivraMainForm final : public QWidget,
                             public platform::MessageTarget,
                             public SettingsTarget,
                             public PlaybackView,
                             public WindowModesView,
                             public ads::AdOverlayView,
                             public common::FullScreenHost,
                             public catalogue::panel::RightFormHost {
 public:
  // `config`, `endpoints`, `players`, `workers` and `adObj` outlive the window, and `workers` are
  // stopped before it goes; the list-mode commands write into `config`. Without an ad scheduler
  // the window sends it no notices.
  TNivraMainForm(platform::QtEventLoop& loop, CommandLine cmd, TIniConfig& config,
                 const net::ServerEndpoints& endpoints, player::PlayerStack& players,
                 net::BackgroundTasks& workers, ads::TAdObj* adObj = nullptr);
  ~TNivraMainForm() override;

  std::intptr_t handleMessage(const platform::Message& msg) override;

  const std::string& PendingUrl() const { return pendingUrl_; }
  const std::string& LibraryUrl() const { return libraryUrl_; }
  int ListMode() const { return static_cast<int>(modes_.CurrentListMode()); }
  bool navigateTimerEnabled() const;
  player::TPlayer& plyObj() const;
  QSystemTrayIcon* TrayIcon() const { return TrayIcon1; }
  // The desktop's media controls set the volume: the player and the volume bar follow.
  void SetVolumeFromDesktop(int volume);
  const MainFormUi& Ui() const { return ui_; }
  QAction* Action(Command id) const { return commands_[id]; }
  // Runs a command as its button, menu item or shortcut does.
  void Execute(Command id);

  // SettingsTarget
  void actNoTopMost() override { modes_.ActNoTopMost(); }
  void actTopMost() override { modes_.ActTopMost(); }
  void actTopMostOnPlay() override { modes_.ActTopMostOnPlay(); }
  void setListModeChecked(int listMode) override;
  void actFfsNormal() override { modes_.ActFfsNormal(); }
  void actFfsMini() override { modes_.ActFfsMini(); }
  void actChangeTreeList() override { modes_.ActChangeTreeList(); }
  bool isShowing() const override { return isVisible(); }
  bool libraryPanelShowing() const override { return modes_.LibraryPanelShowing(); }
  bool playerPlaying() const override;
  void fitWindowToMedia() override { modes_.FitWindowToMedia(); }
  void actVolumeStereo() override;
  void actVolumeLeft() override;
  void actVolumeRight() override;
  void registerBossKey(std::int32_t keyCode) override;
  std::int32_t shortcut(ShortcutAction action) const override;
  void setShortcut(ShortcutAction action, std::int32_t keyCode) override;

  // PlaybackView
  void SetCaption(std::string_view text) override;
  void SetTimeText(std::string_view text) override;
  void SetSpeedText(std::string_view text) override;
  void SetPlayButton(int stateImage) override;
  void SetSeekBar(int maxSeconds, int positionSeconds) override;
  void SetSeekPosition(int positionSeconds) override;
  void SetSeekEnabled(bool on) override;
  int VolumeBarPosition() const override;
  bool MuteButtonShowsMuted() const override;
  bool TopMostOnPlayChecked() const override { return modes_.TopMostOnPlayChecked(); }
  void ActTopMostOnPlay() override { modes_.ActTopMostOnPlay(); }
  void ActPagePlay() override { modes_.ActPage(Page::Play); }
  void ActNext() override { Execute(Command::Next); }
  void FitWindowToMedia() override { modes_.FitWindowToMedia(); }
  bool LibraryPanelExists() const override { return panel_ != nullptr && !closing_; }
  std::string PlayingTitle() const override;
  void SetPlayingTitle(std::string title) override;
  void ClearPlayingNode() override;
  std::string LinkName(std::string_view link) const override;
  bool AdPageShowing() const override;
  void ShowAdPage(std::string_view page, int width, int height, int countdownMs) override;
  void HideAdPage() override { overlay_.HideAdPage(); }
  void ShowError(std::string_view text) override;
  void StartUpdater(const std::vector<std::string>& arguments) override;
  player::TPlayState PlayerState() const override;
  std::string PlayerLastUrl() const override;
  void PlayerStop() override;
  void PlayerPause() override;
  void PlayerPlay() override;
  void PlayerOpen(std::string_view item) override;
  void PlayerSetVolume(int volume) override;
  void PlayerSetMute(bool mute) override;
  void PlayerSeek(std::int64_t ms) override;

  // WindowModesView (the player's state, pause and play are the PlaybackView's)
  bool PlayerFullScreen() const override;
  void PlayerSetFullScreen(bool on) override;
  void PlayerSetCursorHidden(bool hidden) override;
  player::Size MediaSize() const override;
  void SetTopMost(bool on) override;
  bool WindowVisible() const override { return isVisible(); }
  void ShowWindow() override { show(); }
  void HideWindow() override { hide(); }
  void RestoreAndActivate() override;
  void MinimiseWindow() override;
  void MaximiseWindow() override;
  void RestoreWindow() override;
  bool WindowMaximised() const override { return maximised_; }
  void SetMaxButton(int stateImage) override;
  void CloseWindow() override;
  player::Size WindowSize() const override;
  player::Size PlayerAreaSize() const override;
  void ResizeWindow(player::Size size) override;
  bool FirstRun() const override;
  std::optional<CloseQueryChoice> ShowCloseQuery(CloseQueryChoice initial) override;
  void CheckTopMostAction(TopMostMode mode) override;
  void CheckListModeAction(app::ListMode mode) override;
  void SetShowTrayCaption(std::string_view caption) override;
  void SetFullCaption(std::string_view caption) override;
  bool LibraryPanelVisible() const override;
  void SetLibraryPanelVisible(bool visible) override;
  int LibraryPanelWidth() const override;
  void SetLibraryPanelWidth(int width) override;
  void DockLibraryPanel(PanelSide side) override;
  Page ShownPage() const override;
  void ShowPage(Page page) override;
  void SetPageActionEnabled(Page page, bool enabled) override;
  void SetPageCaptionBold(Page page, bool bold) override;
  bool LibraryBrowserBlank() const override;
  void StartLibraryLoading() override;
  bool ShowTrayIcon() override;
  void HideTrayIcon() override;
  bool FullFormExists() const override { return fullForm_ != nullptr; }
  bool FullFormShowing() const override { return fullFormShowing_; }
  void ShowFullForm() override;
  void FreeFullForm() override;
  void MovePlayerToFullForm() override;
  void MoveBarsToFullForm() override;
  void MoveBarsBack() override;
  void MovePlayerBack() override;
  void SetBottomCornersVisible(bool visible) override;
  bool AdPageExists() const override { return adBrowser_ != nullptr; }
  void MoveAdPageToFullForm() override;
  void MoveAdPageBack() override;
  void NotifyAdAppActive() override;
  void SetAdInFullScreen(bool on) override;

  // FullScreenHost
  void LeaveFullScreen() override;
  void SetCursorHidden(bool hidden) override { PlayerSetCursorHidden(hidden); }
  bool HandleKey(int key) override;

  // RightFormHost
  void PlayUrl(const std::string& url) override;
  void ExecuteStop() override { Execute(Command::Stop); }
  void OpenExternal(const std::string& url) override;
  void PanelResized(int width) override;
  void StartRightListDownload() override;

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

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FormCreate();
  void ConnectPlayer();
  void ConnectBars();
  void MakeLibraryPage();
  std::intptr_t onInstanceActivate(std::intptr_t argCount);
  std::intptr_t onCopyData(const platform::CopyDataRecord* record);
  // Sets PendingUrl and posts WM_OPEN_PENDING; items handed over faster than they are opened
  // wait in order instead of overwriting each other.
  void queuePendingOpen(const std::string& url);
  void onOpenPending();
  void onNavigateTick();
  void onDownSpeedTick();
  // Act_OpenFile after its dialog (and "/Open"): the file's name without its extension is the
  // title, the media graph plays it.
  void OpenFilePath(const std::string& path);
  void PlayUrlDialog();
  void ShowConfigDialog();
  void ChangeVolume(int delta);
  void ToggleMute();
  void SetChannel(Command id, std::uint8_t channel);
  void ShowMainMenu(const QPoint& at);
  void MoveAdPageTo(QWidget* parent);
  // The window-level key preview; true when the key was used.
  bool PreviewKey(const QKeyEvent* event);
  // A left press on the window's border starts sizing it; true when it did.
  bool BeginBorderResize(const QMouseEvent* event);

  platform::QtEventLoop& loop_;
  CommandLine cmd_;
  TIniConfig& config_;
  const net::ServerEndpoints& endpoints_;
  CommandSet commands_;
  MainFormUi ui_;
  player::PlayerWidget* player_ = nullptr;
  PlaybackWiring wiring_;
  ads::AdOverlay overlay_;
  WindowModes modes_;
  QSystemTrayIcon* TrayIcon1 = nullptr;
  QRect normalGeometry_;
  bool maximised_ = false;
  bool fullFormShowing_ = false;
  ads::TmWebbrowser* adBrowser_ = nullptr;
  ads::TAdObj* adObj_ = nullptr;
  TLibraryPage* libPage_ = nullptr;
  net::BackgroundTasks& workers_;
  // Shared with the list fetches on workers, which may still run when the window goes.
  std::shared_ptr<catalogue::CatalogueCache> cache_;
  catalogue::panel::TRightForm* panel_ = nullptr;
  QTimer* tmrNavigate_ = nullptr;
  QTimer* tmrDownSpeed_ = nullptr;
  common::TFullForm* fullForm_ = nullptr;

  std::string pendingUrl_;
  std::deque<std::string> pendingQueue_;
  std::string libraryUrl_;
  bool firstShowDone_ = false;
  bool closing_ = false;
  QImage imgMask_;

  std::unique_ptr<MainFormDesktop> desktop_;
  // Scheduled shutdown: logind (made when a count-down starts) and the waiter for the time.
  std::unique_ptr<PowerManager> power_;
  std::unique_ptr<TShutDownThread> shutDownWaiter_;
  std::unique_ptr<platform::WindowChannelServer> channel_;
  platform::AliveToken alive_;
};

}  // namespace nivra::app
