#include "app/window_modes.h"

#include "platform/debug_output.h"

namespace nivra::app {

using player::psPause;
using player::psPlay;

player::Rect ClampSizingRect(player::Rect proposed, player::Point currentTopLeft) {
  if (proposed.height < kMinWindowHeight) {
    proposed.top = currentTopLeft.y;
    proposed.height = kMinWindowHeight;
  }
  if (proposed.width < kMinWindowWidth) {
    proposed.left = currentTopLeft.x;
    proposed.width = kMinWindowWidth;
  }
  return proposed;
}

player::Size WindowSizeForMedia(player::Size media, player::Size window, player::Size playerArea) {
  return {media.width + window.width - playerArea.width,
          media.height + window.height - playerArea.height};
}

CloseQueryChoice InitialCloseQuery(const common::TIniConfig& config, bool firstRun) {
  return {config.rbClose != 0, config.chkNextNotQuery || firstRun};
}

WindowModes::~WindowModes() {
  if (trayTimer_ != 0) loop_.killTimer(trayTimer_);
}

// --- top-most band ---

void WindowModes::SetTopMostMode(TopMostMode mode) {
  topMost_ = mode;
  view_.CheckTopMostAction(mode);
  config_.cbbTop = static_cast<int>(mode);
}

void WindowModes::ActNoTopMost() {
  SetTopMostMode(TopMostMode::NoTopMost);
  view_.SetTopMost(false);
}

void WindowModes::ActTopMost() {
  SetTopMostMode(TopMostMode::TopMost);
  view_.SetTopMost(true);
}

void WindowModes::ActTopMostOnPlay() {
  SetTopMostMode(TopMostMode::TopMostOnPlay);
  view_.SetTopMost(view_.PlayerState() == psPlay && !view_.PlayerFullScreen());
}

// --- list modes ---

void WindowModes::SetListMode(ListMode mode) {
  listMode_ = mode;
  view_.CheckListModeAction(mode);
  config_.rbPlayListMode = static_cast<int>(mode);
}

void WindowModes::SetListModeChecked(ListMode mode) {
  listMode_ = mode;
  view_.CheckListModeAction(mode);
}

// Showing the panel runs its own show handling, which may come back here; while it runs the
// list commands leave the panel's visibility alone.
void WindowModes::ShowPanelUnlessShowing() {
  if (panelShowing_) return;
  struct Showing {
    bool& flag;
    explicit Showing(bool& f) : flag(f) { flag = true; }
    ~Showing() { flag = false; }
  } showing(panelShowing_);
  view_.SetLibraryPanelVisible(true);
}

void WindowModes::ShowLibraryPanel() {
  if (listMode_ != ListMode::Hidden) ShowPanelUnlessShowing();
}

void WindowModes::ActFfsNormal() {
  if (listMode_ != ListMode::Right) ShowPanelUnlessShowing();
  SetListMode(ListMode::Right);
  view_.DockLibraryPanel(PanelSide::Right);
}

void WindowModes::ActFfsMini() {
  SetListMode(ListMode::Hidden);
  if (!panelShowing_) view_.SetLibraryPanelVisible(false);
}

void WindowModes::ActFfsR2L() {
  if (listMode_ != ListMode::Left) ShowPanelUnlessShowing();
  SetListMode(ListMode::Left);
}

void WindowModes::ActChangeTreeList() {
  ActFfsR2L();
  ShowPanelUnlessShowing();
  view_.DockLibraryPanel(PanelSide::Left);
}

void WindowModes::ActShowRightFrm() {
  if (panelShowing_) return;
  if (listMode_ == ListMode::Hidden) {
    ActFfsNormal();
  } else if (view_.LibraryPanelVisible() && view_.LibraryPanelWidth() < kCollapsedPanelWidth) {
    view_.SetLibraryPanelWidth(kLibraryPanelWidth);
  } else if (view_.LibraryPanelVisible()) {
    view_.SetLibraryPanelVisible(false);
  } else {
    ShowPanelUnlessShowing();
  }
}

void WindowModes::ReexecuteListMode() {
  switch (listMode_) {
    case ListMode::Right:
      ActFfsNormal();
      break;
    case ListMode::Hidden:
      ActFfsMini();
      break;
    case ListMode::Left:
      ActFfsR2L();
      break;
  }
}

void WindowModes::FormShow() {
  if (!shownOnce_) {
    shownOnce_ = true;
    ReexecuteListMode();
  }
  ShowLibraryPanel();
}

// --- pages ---

void WindowModes::ActPage(Page page) {
  view_.SetPageActionEnabled(Page::Play, page != Page::Play);
  view_.SetPageActionEnabled(Page::Lib, page != Page::Lib);
  if (page == Page::Play) view_.ShowPage(Page::Play);
  view_.SetPageCaptionBold(Page::Play, page == Page::Play);
  if (page == Page::Lib) {
    view_.ShowPage(Page::Lib);
    view_.SetPageCaptionBold(Page::Lib, true);
    if (view_.LibraryBrowserBlank()) view_.StartLibraryLoading();
    if (view_.PlayerState() == psPlay) view_.PlayerPause();
  } else {
    view_.SetPageCaptionBold(Page::Lib, false);
  }
}

// --- tray, minimise, maximise, close ---

void WindowModes::ActShowTray() {
  try {
    if (view_.WindowVisible()) {
      view_.PlayerPause();
      view_.SetLibraryPanelVisible(false);
      view_.HideWindow();
      view_.SetShowTrayCaption(kCaptionShowWindow);
      return;
    }
    view_.ShowWindow();
    ShowLibraryPanel();
    view_.RestoreAndActivate();
    if (view_.PlayerState() == psPause) view_.PlayerPlay();
    view_.SetShowTrayCaption(kCaptionHideWindow);
    view_.NotifyAdAppActive();
    platform::debugOutput("AppActive");
    if (view_.LibraryBrowserBlank() && view_.ShownPage() == Page::Lib) view_.StartLibraryLoading();
  } catch (...) {
    // A failure half-way leaves the window as far as it got; the command itself never fails.
  }
}

void WindowModes::StartTrayIcon() {
  if (trayTimer_ != 0) return;
  trayTimer_ = loop_.startTimer(kTrayRetryMs, [this] {
    if (view_.ShowTrayIcon()) {
      loop_.killTimer(trayTimer_);
      trayTimer_ = 0;
    } else {
      view_.HideTrayIcon();
    }
  });
}

void WindowModes::ActMin() {
  if (config_.rbMini != 0)
    ActShowTray();
  else
    OnSystemCommand(SystemCommand::Minimise);
}

void WindowModes::ActMax() {
  OnSystemCommand(view_.WindowMaximised() ? SystemCommand::Restore : SystemCommand::Maximise);
}

void WindowModes::ActCloseOrTray() {
  if (!config_.chkNextNotQuery) {
    const auto choice = view_.ShowCloseQuery(InitialCloseQuery(config_, view_.FirstRun()));
    if (!choice) return;
    config_.rbClose = choice->exitProgram ? 1 : 0;
    config_.chkNextNotQuery = choice->dontAskAgain;
  }
  // The query shows "exit" for any value but 0, so the button acts the same way.
  if (config_.rbClose != 0)
    view_.CloseWindow();
  else
    ActShowTray();
}

bool WindowModes::OnSystemCommand(SystemCommand command) {
  switch (command) {
    case SystemCommand::Minimise:
      view_.MinimiseWindow();
      return true;
    case SystemCommand::Maximise:
      view_.SetMaxButton(kMaxButtonMaximised);
      ReexecuteListMode();
      view_.MaximiseWindow();
      return true;
    case SystemCommand::Restore:
      view_.SetMaxButton(kMaxButtonNormal);
      ReexecuteListMode();
      view_.RestoreWindow();
      return true;
    case SystemCommand::ScreenSaver:
    case SystemCommand::MonitorPower:
      return view_.PlayerState() == psPlay;
    case SystemCommand::Other:
      break;
  }
  return false;
}

// --- full screen ---

void WindowModes::ActFull() { view_.PlayerSetFullScreen(!view_.PlayerFullScreen()); }

void WindowModes::OnFullChangeing(bool destroying) {
  if (destroying) return;
  if (view_.PlayerFullScreen())
    EnterFullScreen();
  else
    LeaveFullScreen();
  // The band follows full screen even when there was no full-screen window to take down.
  if (TopMostOnPlayChecked()) ActTopMostOnPlay();
}

void WindowModes::EnterFullScreen() {
  view_.SetFullCaption(kCaptionLeaveFull);
  view_.ShowFullForm();
  view_.MovePlayerToFullForm();
  view_.MoveBarsToFullForm();
  view_.SetBottomCornersVisible(false);
  if (view_.AdPageExists()) view_.MoveAdPageToFullForm();
  view_.SetAdInFullScreen(true);
  platform::debugOutput("Ad Fulling=True");
}

void WindowModes::LeaveFullScreen() {
  if (!view_.FullFormExists() || view_.FullFormShowing()) return;
  view_.SetFullCaption(kCaptionEnterFull);
  view_.MoveBarsBack();
  view_.SetBottomCornersVisible(true);
  view_.MovePlayerBack();
  view_.PlayerSetCursorHidden(false);
  if (view_.AdPageExists()) view_.MoveAdPageBack();
  view_.FreeFullForm();
  view_.SetAdInFullScreen(false);
  platform::debugOutput("Ad Fulling=False");
}

// --- scale ---

void WindowModes::FitWindowToMedia() {
  if (config_.cbbScale != 1 || view_.PlayerState() != psPlay) return;
  const player::Size media = view_.MediaSize();
  // Audio and media whose size is not known yet have no picture to fit.
  if (media.width <= 0 || media.height <= 0) return;
  view_.ResizeWindow(WindowSizeForMedia(media, view_.WindowSize(), view_.PlayerAreaSize()));
}

}  // namespace nivra::app
