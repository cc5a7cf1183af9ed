#pragma once
// The main window's modes (top-most band, list position, pages, tray, minimise, maximise, close,
// full screen, scale) as a procedure over the window, so that the rules can be checked without
// a window. The main window implements WindowModesView and routes its actions to WindowModes.

#include <optional>
#include <string_view>

#include "common/ini_config.h"
#include "platform/event_loop.h"
#include "player/player_types.h"

namespace nivra::app {

// The frame cannot be sized below this; it is also the window's size at creation.
inline constexpr int kMinWindowWidth = 1005;
inline constexpr int kMinWindowHeight = 648;
// A library panel narrower than this counts as dragged shut; the list button reopens it wide.
inline constexpr int kCollapsedPanelWidth = 10;
inline constexpr int kLibraryPanelWidth = 200;
inline constexpr int kTrayRetryMs = 1000;

inline constexpr std::string_view kCaptionShowWindow = "显示窗口";
inline constexpr std::string_view kCaptionHideWindow = "隐藏窗口";
inline constexpr std::string_view kCaptionLeaveFull = "退出全屏";
inline constexpr std::string_view kCaptionEnterFull = "全屏播放";

// btnMax state images.
inline constexpr int kMaxButtonNormal = 0;
inline constexpr int kMaxButtonMaximised = 1;

// cbbTop values: Act_NoTopMost, Act_TopMost, Act_TopMostOnPlay.
enum class TopMostMode { NoTopMost = 0, TopMost = 1, TopMostOnPlay = 2 };
// ListMode values; the checked action is Act_ffsNormal, Act_ffsMini or Act_ChangeTreeList.
enum class ListMode { Right = 0, Hidden = 1, Left = 2 };
enum class PanelSide { Right, Left };
enum class Page { Play, Lib };  // tbPlay with Act_PagePlay, tbLib with Act_PageLib
enum class SystemCommand { Minimise, Maximise, Restore, ScreenSaver, MonitorPower, Other };

// The close query's radio buttons and check box, as shown and as confirmed.
struct CloseQueryChoice {
  bool exitProgram = false;   // rbClose checked (else rbTray)
  bool dontAskAgain = false;  // chkQuery
  friend bool operator==(const CloseQueryChoice&, const CloseQueryChoice&) = default;
};

class WindowModesView {
 public:
  virtual ~WindowModesView() = default;

  // The player.
  virtual player::TPlayState PlayerState() const = 0;
  virtual bool PlayerFullScreen() const = 0;
  virtual void PlayerSetFullScreen(bool on) = 0;
  virtual void PlayerPause() = 0;
  virtual void PlayerPlay() = 0;
  virtual void PlayerSetCursorHidden(bool hidden) = 0;
  virtual player::Size MediaSize() const = 0;

  // The window.
  virtual void SetTopMost(bool on) = 0;  // the top band, without unmapping, moving or activating
  virtual bool WindowVisible() const = 0;
  virtual void ShowWindow() = 0;
  virtual void HideWindow() = 0;
  virtual void RestoreAndActivate() = 0;  // un-minimise the application and bring it to the front
  virtual void MinimiseWindow() = 0;      // releases the mouse capture first
  virtual void MaximiseWindow() = 0;      // the work area; releases the mouse capture first
  virtual void RestoreWindow() = 0;
  virtual bool WindowMaximised() const = 0;
  virtual void SetMaxButton(int stateImage) = 0;
  virtual void CloseWindow() = 0;  // hides and closes it: the program ends
  virtual player::Size WindowSize() const = 0;
  virtual player::Size PlayerAreaSize() const = 0;
  virtual void ResizeWindow(player::Size size) = 0;
  virtual bool FirstRun() const = 0;  // "Setup.ini" does not exist yet in the per-user folder
  // The modal close query with the given initial state; the confirmed state, or nothing on cancel.
  virtual std::optional<CloseQueryChoice> ShowCloseQuery(CloseQueryChoice initial) = 0;

  // Action check marks and captions.
  virtual void CheckTopMostAction(TopMostMode mode) = 0;
  virtual void CheckListModeAction(ListMode mode) = 0;
  virtual void SetShowTrayCaption(std::string_view caption) = 0;  // Act_ShowTray
  virtual void SetFullCaption(std::string_view caption) = 0;      // Act_Full

  // The library panel TRightForm.
  virtual bool LibraryPanelVisible() const = 0;
  virtual void SetLibraryPanelVisible(bool visible) = 0;
  virtual int LibraryPanelWidth() const = 0;
  virtual void SetLibraryPanelWidth(int width) = 0;
  // Aligns it to `side`, shows the separator image toward the player (imgLeft on the right side,
  // imgRight on the left side), hides the other one and sends the panel to the back.
  virtual void DockLibraryPanel(PanelSide side) = 0;

  // Pages.
  virtual Page ShownPage() const = 0;
  virtual void ShowPage(Page page) = 0;
  virtual void SetPageActionEnabled(Page page, bool enabled) = 0;
  virtual void SetPageCaptionBold(Page page, bool bold) = 0;  // btnPagePlay, btnPageLib
  virtual bool LibraryBrowserBlank() const = 0;               // wb1 still shows "about:blank"
  virtual void StartLibraryLoading() = 0;                     // enables tmrNavigate

  // The tray icon: refresh it and make it visible, answering whether it is visible now.
  virtual bool ShowTrayIcon() = 0;
  virtual void HideTrayIcon() = 0;

  // Full screen: TFullForm, the bars pnlBottom and pnlProgress, the corner images, the ad page.
  virtual bool FullFormExists() const = 0;
  virtual bool FullFormShowing() const = 0;  // in the middle of its own show
  virtual void ShowFullForm() = 0;           // creates it when it does not exist
  virtual void FreeFullForm() = 0;
  virtual void MovePlayerToFullForm() = 0;
  virtual void MoveBarsToFullForm() = 0;  // unaligned, full width, at the bottom of the screen
  virtual void MoveBarsBack() = 0;        // bottom-aligned and shown again in their pages
  virtual void MovePlayerBack() = 0;      // into pnlPlay, filling it
  virtual void SetBottomCornersVisible(bool visible) = 0;  // imgBottomLeft, imgBottomRight
  virtual bool AdPageExists() const = 0;
  virtual void MoveAdPageToFullForm() = 0;  // and to the front
  virtual void MoveAdPageBack() = 0;        // into pnlPlayAd, in front

  // The ad scheduler.
  virtual void NotifyAdAppActive() = 0;
  virtual void SetAdInFullScreen(bool on) = 0;
};

// A border drag's proposed rectangle, clamped to the minimum size; a dimension that is too
// small keeps the window's current left or top edge.
player::Rect ClampSizingRect(player::Rect proposed, player::Point currentTopLeft);
// The window size at which the player area shows `media` at its own size.
player::Size WindowSizeForMedia(player::Size media, player::Size window, player::Size playerArea);
// The close query's initial state: "exit" when rbClose is not 0; "don't ask" when the setting
// says so or on the first run.
CloseQueryChoice InitialCloseQuery(const common::TIniConfig& config, bool firstRun);

class WindowModes {
 public:
  // `config` outlives this; the top-most, list-mode and close commands write into it.
  WindowModes(WindowModesView& view, common::TIniConfig& config, platform::EventLoop& loop)
      : view_(view), config_(config), loop_(loop) {}
  ~WindowModes();
  WindowModes(const WindowModes&) = delete;
  WindowModes& operator=(const WindowModes&) = delete;

  // Top-most modes; Act_TopMostOnPlay follows the play state and full screen.
  void ActNoTopMost();
  void ActTopMost();
  void ActTopMostOnPlay();
  bool TopMostOnPlayChecked() const { return topMost_ == TopMostMode::TopMostOnPlay; }

  // List modes.
  void ActFfsNormal();
  void ActFfsMini();
  void ActFfsR2L();
  void ActChangeTreeList();
  void ActShowRightFrm();
  // Checks the action of `mode` and sets ListMode without executing it (applying the settings).
  void SetListModeChecked(ListMode mode);
  ListMode CurrentListMode() const { return listMode_; }
  // The library panel is in the middle of being shown.
  bool LibraryPanelShowing() const { return panelShowing_; }
  // Shows the library panel unless ListMode hides it.
  void ShowLibraryPanel();
  // Every show of the window; the first one executes the list-mode action once.
  void FormShow();

  // Act_PagePlay and Act_PageLib.
  void ActPage(Page page);

  // Tray, minimise, maximise, close.
  void ActShowTray();
  void StartTrayIcon();  // tmrTray: retries every second until the icon is visible
  void ActMin();
  void ActMax();
  void ActCloseOrTray();
  // A system command of the window: carries out minimise, maximise and restore; answers true
  // when the command is swallowed (the screen saver and monitor power while playing).
  bool OnSystemCommand(SystemCommand command);

  // Full screen.
  void ActFull();
  // The player's OnFullChangeing; `destroying` while the window is being destroyed.
  void OnFullChangeing(bool destroying = false);

  // The scale setting: in window-fits-video mode, while playing, the player area takes the
  // media's size.
  void FitWindowToMedia();

 private:
  void SetTopMostMode(TopMostMode mode);
  void SetListMode(ListMode mode);
  void ReexecuteListMode();
  void ShowPanelUnlessShowing();
  void EnterFullScreen();
  void LeaveFullScreen();

  WindowModesView& view_;
  common::TIniConfig& config_;
  platform::EventLoop& loop_;
  TopMostMode topMost_ = TopMostMode::NoTopMost;
  ListMode listMode_ = ListMode::Right;
  bool panelShowing_ = false;
  bool shownOnce_ = false;
  platform::EventLoop::TimerId trayTimer_ = 0;
};

}  // namespace nivra::app
