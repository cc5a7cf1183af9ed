#include "app/window_modes.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/manual_event_loop.h"
#include "tests/support/debug_log.h"

namespace nivra::app {
namespace {

using player::psPause;
using player::psPlay;
using player::psStop;
using Calls = std::vector<std::string>;

const char* name(Page page) { return page == Page::Play ? "Play" : "Lib"; }

// Keeps the window's state the way a real window would and records every call that changes it.
class FakeView final : public WindowModesView {
 public:
  Calls calls;
  player::TPlayState state = psStop;
  bool fullScreen = false;
  bool visible = true;
  bool maximised = false;
  bool panelVisible = true;
  int panelWidth = 200;
  Page page = Page::Lib;
  bool browserBlank = false;
  bool adPage = false;
  bool fullForm = false;
  bool fullFormShowing = false;
  bool firstRun = false;
  std::optional<CloseQueryChoice> closeAnswer;  // nothing: the user cancels
  std::optional<CloseQueryChoice> closeShown;
  int trayFailures = 0;
  player::Size media{640, 360};
  player::Size window{1005, 648};
  player::Size playerArea{785, 520};
  std::function<void()> onPanelShow;  // runs inside the panel's show, as its show handler would
  bool throwOnShowWindow = false;

  player::TPlayState PlayerState() const override { return state; }
  bool PlayerFullScreen() const override { return fullScreen; }
  void PlayerSetFullScreen(bool on) override { log("SetFullScreen:" + flag(on)); }
  void PlayerPause() override { log("PlayerPause"); }
  void PlayerPlay() override { log("PlayerPlay"); }
  void PlayerSetCursorHidden(bool hidden) override { log("CursorHidden:" + flag(hidden)); }
  player::Size MediaSize() const override { return media; }

  void SetTopMost(bool on) override { log("TopMost:" + flag(on)); }
  bool WindowVisible() const override { return visible; }
  void ShowWindow() override {
    if (throwOnShowWindow) throw std::runtime_error("no display");
    visible = true;
    log("ShowWindow");
  }
  void HideWindow() override {
    visible = false;
    log("HideWindow");
  }
  void RestoreAndActivate() override { log("RestoreAndActivate"); }
  void MinimiseWindow() override { log("Minimise"); }
  void MaximiseWindow() override {
    maximised = true;
    log("Maximise");
  }
  void RestoreWindow() override {
    maximised = false;
    log("Restore");
  }
  bool WindowMaximised() const override { return maximised; }
  void SetMaxButton(int image) override { log("MaxButton:" + std::to_string(image)); }
  void CloseWindow() override { log("CloseWindow"); }
  player::Size WindowSize() const override { return window; }
  player::Size PlayerAreaSize() const override { return playerArea; }
  void ResizeWindow(player::Size s) override {
    log("Resize:" + std::to_string(s.width) + "x" + std::to_string(s.height));
  }
  bool FirstRun() const override { return firstRun; }
  std::optional<CloseQueryChoice> ShowCloseQuery(CloseQueryChoice initial) override {
    closeShown = initial;
    log("CloseQuery");
    return closeAnswer;
  }

  void CheckTopMostAction(TopMostMode mode) override {
    log("CheckTop:" + std::to_string(static_cast<int>(mode)));
  }
  void CheckListModeAction(ListMode mode) override {
    log("CheckList:" + std::to_string(static_cast<int>(mode)));
  }
  void SetShowTrayCaption(std::string_view c) override { log("TrayCaption:" + std::string(c)); }
  void SetFullCaption(std::string_view c) override { log("FullCaption:" + std::string(c)); }

  bool LibraryPanelVisible() const override { return panelVisible; }
  void SetLibraryPanelVisible(bool on) override {
    log("Panel:" + flag(on));
    const bool wasVisible = std::exchange(panelVisible, on);
    if (on && !wasVisible && onPanelShow) onPanelShow();
  }
  int LibraryPanelWidth() const override { return panelWidth; }
  void SetLibraryPanelWidth(int w) override {
    panelWidth = w;
    log("PanelWidth:" + std::to_string(w));
  }
  void DockLibraryPanel(PanelSide side) override {
    log(side == PanelSide::Right ? "Dock:Right" : "Dock:Left");
  }

  Page ShownPage() const override { return page; }
  void ShowPage(Page p) override {
    page = p;
    log(std::string("ShowPage:") + name(p));
  }
  void SetPageActionEnabled(Page p, bool on) override {
    log(std::string("Enabled:") + name(p) + "=" + flag(on));
  }
  void SetPageCaptionBold(Page p, bool on) override {
    log(std::string("Bold:") + name(p) + "=" + flag(on));
  }
  bool LibraryBrowserBlank() const override { return browserBlank; }
  void StartLibraryLoading() override { log("StartLibraryLoading"); }

  bool ShowTrayIcon() override {
    log("ShowTrayIcon");
    return trayFailures-- <= 0;
  }
  void HideTrayIcon() override { log("HideTrayIcon"); }

  bool FullFormExists() const override { return fullForm; }
  bool FullFormShowing() const override { return fullFormShowing; }
  void ShowFullForm() override {
    fullForm = true;
    log("ShowFullForm");
  }
  void FreeFullForm() override {
    fullForm = false;
    log("FreeFullForm");
  }
  void MovePlayerToFullForm() override { log("MovePlayerToFullForm"); }
  void MoveBarsToFullForm() override { log("MoveBarsToFullForm"); }
  void MoveBarsBack() override { log("MoveBarsBack"); }
  void MovePlayerBack() override { log("MovePlayerBack"); }
  void SetBottomCornersVisible(bool on) override { log("Corners:" + flag(on)); }
  bool AdPageExists() const override { return adPage; }
  void MoveAdPageToFullForm() override { log("MoveAdPageToFullForm"); }
  void MoveAdPageBack() override { log("MoveAdPageBack"); }

  void NotifyAdAppActive() override { log("NotifyAdAppActive"); }
  void SetAdInFullScreen(bool on) override { log("AdFull:" + flag(on)); }

  Calls take() { return std::exchange(calls, {}); }

 private:
  static std::string flag(bool on) { return on ? "1" : "0"; }
  void log(std::string line) { calls.push_back(std::move(line)); }
};

struct Harness {
  platform::ManualEventLoop loop;
  common::TIniConfig config;
  FakeView view;
  WindowModes modes{view, config, loop};
};

struct Case {
  const char* name;
  std::function<void(Harness&)> setup;
  std::function<void(WindowModes&)> commands;
  Calls expected;
  std::function<void(const Harness&)> check = [](const Harness&) {};
};

void RunCases(const std::vector<Case>& cases) {
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Harness h;
    c.setup(h);
    c.commands(h.modes);
    EXPECT_EQ(h.view.take(), c.expected);
    c.check(h);
  }
}

const auto noSetup = [](Harness&) {};

TEST(WindowModes, TopMostModesSetTheBandAndCbbTop) {
  RunCases({
      {"never on top",
       [](Harness& h) { h.config.cbbTop = 1; },
       [](WindowModes& m) { m.ActNoTopMost(); },
       {"CheckTop:0", "TopMost:0"},
       [](const Harness& h) {
         EXPECT_EQ(h.config.cbbTop, 0);
         EXPECT_FALSE(h.modes.TopMostOnPlayChecked());
       }},
      {"always on top, also when stopped",
       noSetup,
       [](WindowModes& m) { m.ActTopMost(); },
       {"CheckTop:1", "TopMost:1"},
       [](const Harness& h) { EXPECT_EQ(h.config.cbbTop, 1); }},
      {"on play while stopped stays out of the band",
       noSetup,
       [](WindowModes& m) { m.ActTopMostOnPlay(); },
       {"CheckTop:2", "TopMost:0"},
       [](const Harness& h) {
         EXPECT_EQ(h.config.cbbTop, 2);
         EXPECT_TRUE(h.modes.TopMostOnPlayChecked());
       }},
      {"on play while playing enters the band",
       [](Harness& h) { h.view.state = psPlay; },
       [](WindowModes& m) { m.ActTopMostOnPlay(); },
       {"CheckTop:2", "TopMost:1"}},
      {"on play while paused stays out",
       [](Harness& h) { h.view.state = psPause; },
       [](WindowModes& m) { m.ActTopMostOnPlay(); },
       {"CheckTop:2", "TopMost:0"}},
      {"on play in full screen stays out",
       [](Harness& h) {
         h.view.state = psPlay;
         h.view.fullScreen = true;
       },
       [](WindowModes& m) { m.ActTopMostOnPlay(); },
       {"CheckTop:2", "TopMost:0"}},
  });
}

// The band follows playback and full screen while the on-play mode is chosen, and only then.
TEST(WindowModes, TopMostOnPlayFollowsFullScreenChanges) {
  Harness h;
  h.view.state = psPlay;
  h.modes.ActTopMostOnPlay();
  h.view.fullScreen = true;
  h.modes.OnFullChangeing();
  Calls calls = h.view.take();
  EXPECT_EQ(calls.back(), "TopMost:0");
  h.view.fullScreen = false;
  h.modes.OnFullChangeing();
  calls = h.view.take();
  EXPECT_EQ(calls.back(), "TopMost:1");

  h.modes.ActTopMost();
  h.view.take();
  h.view.fullScreen = true;
  h.modes.OnFullChangeing();
  for (const auto& call : h.view.take()) EXPECT_NE(call.rfind("TopMost:", 0), 0u) << call;
}

TEST(WindowModes, ListModesMoveThePanelAndWriteRbPlayListMode) {
  const auto hiddenMode = [](Harness& h) {
    h.modes.SetListModeChecked(ListMode::Hidden);
    h.view.panelVisible = false;
    h.view.take();
  };
  const auto leftMode = [](Harness& h) {
    h.modes.SetListModeChecked(ListMode::Left);
    h.view.take();
  };
  const auto listModeIs = [](int mode) {
    return [mode](const Harness& h) {
      EXPECT_EQ(static_cast<int>(h.modes.CurrentListMode()), mode);
      EXPECT_EQ(h.config.rbPlayListMode, mode);
    };
  };
  RunCases({
      {"right list from right does not show again",
       noSetup,
       [](WindowModes& m) { m.ActFfsNormal(); },
       {"CheckList:0", "Dock:Right"},
       listModeIs(0)},
      {"right list from hidden shows the panel",
       hiddenMode,
       [](WindowModes& m) { m.ActFfsNormal(); },
       {"Panel:1", "CheckList:0", "Dock:Right"},
       listModeIs(0)},
      {"hide list",
       noSetup,
       [](WindowModes& m) { m.ActFfsMini(); },
       {"CheckList:1", "Panel:0"},
       listModeIs(1)},
      {"swap keeps the alignment",
       noSetup,
       [](WindowModes& m) { m.ActFfsR2L(); },
       {"Panel:1", "CheckList:2"},
       listModeIs(2)},
      {"swap when already left does nothing to the panel",
       leftMode,
       [](WindowModes& m) { m.ActFfsR2L(); },
       {"CheckList:2"},
       listModeIs(2)},
      {"left list",
       noSetup,
       [](WindowModes& m) { m.ActChangeTreeList(); },
       {"Panel:1", "CheckList:2", "Panel:1", "Dock:Left"},
       listModeIs(2)},
      {"list button in hidden mode shows it on the right",
       hiddenMode,
       [](WindowModes& m) { m.ActShowRightFrm(); },
       {"Panel:1", "CheckList:0", "Dock:Right"},
       listModeIs(0)},
      {"list button hides a visible panel and keeps the mode",
       noSetup,
       [](WindowModes& m) { m.ActShowRightFrm(); },
       {"Panel:0"},
       [](const Harness& h) {
         EXPECT_EQ(h.modes.CurrentListMode(), ListMode::Right);
         EXPECT_FALSE(h.view.panelVisible);
       }},
      {"list button shows a hidden panel in left mode",
       [&](Harness& h) {
         leftMode(h);
         h.view.panelVisible = false;
       },
       [](WindowModes& m) { m.ActShowRightFrm(); },
       {"Panel:1"}},
      {"list button widens a panel dragged shut",
       [](Harness& h) { h.view.panelWidth = 9; },
       [](WindowModes& m) { m.ActShowRightFrm(); },
       {"PanelWidth:200"}},
      {"a panel of exactly 10 pixels is hidden instead",
       [](Harness& h) { h.view.panelWidth = 10; },
       [](WindowModes& m) { m.ActShowRightFrm(); },
       {"Panel:0"}},
      {"a narrow hidden panel is shown, not widened",
       [](Harness& h) {
         h.view.panelWidth = 3;
         h.view.panelVisible = false;
       },
       [](WindowModes& m) { m.ActShowRightFrm(); },
       {"Panel:1"}},
      {"checking from the settings writes nothing",
       noSetup,
       [](WindowModes& m) { m.SetListModeChecked(ListMode::Left); },
       {"CheckList:2"},
       [](const Harness& h) { EXPECT_EQ(h.config.rbPlayListMode, 0); }},
  });
}

// While the panel runs its own show, commands that reach the window from there leave its
// visibility alone; the list button does nothing at all.
TEST(WindowModes, CommandsDuringThePanelsShowLeaveItAlone) {
  RunCases({
      {"hide list from inside the show",
       [](Harness& h) {
         h.modes.SetListModeChecked(ListMode::Hidden);
         h.view.panelVisible = false;
         h.view.onPanelShow = [&h] {
           EXPECT_TRUE(h.modes.LibraryPanelShowing());
           h.modes.ActFfsMini();
           h.modes.ActShowRightFrm();
         };
         h.view.take();
       },
       [](WindowModes& m) { m.ActFfsNormal(); },
       {"Panel:1", "CheckList:1", "CheckList:0", "Dock:Right"},
       [](const Harness& h) {
         EXPECT_TRUE(h.view.panelVisible);
         EXPECT_FALSE(h.modes.LibraryPanelShowing());
         EXPECT_EQ(h.config.rbPlayListMode, 0);
       }},
      {"left list from inside the show does not show again",
       [](Harness& h) {
         h.view.panelVisible = false;
         h.view.onPanelShow = [&h] { h.modes.ActChangeTreeList(); };
       },
       [](WindowModes& m) { m.ActShowRightFrm(); },
       {"Panel:1", "CheckList:2", "Dock:Left"}},
  });
}

TEST(WindowModes, MaximiseRestoreAndFirstShowReexecuteTheListMode) {
  RunCases({
      {"maximise in hidden mode",
       [](Harness& h) { h.modes.SetListModeChecked(ListMode::Hidden); },
       [](WindowModes& m) { m.ActMax(); },
       {"CheckList:1", "MaxButton:1", "CheckList:1", "Panel:0", "Maximise"}},
      {"restore in right mode",
       [](Harness& h) { h.view.maximised = true; },
       [](WindowModes& m) { m.ActMax(); },
       {"MaxButton:0", "CheckList:0", "Dock:Right", "Restore"}},
      {"a maximise command from elsewhere in left mode",
       noSetup,
       [](WindowModes& m) {
         m.SetListModeChecked(ListMode::Left);
         EXPECT_TRUE(m.OnSystemCommand(SystemCommand::Maximise));
       },
       {"CheckList:2", "MaxButton:1", "CheckList:2", "Maximise"}},
      {"first show in hidden mode hides, later shows do not re-execute",
       [](Harness& h) { h.modes.SetListModeChecked(ListMode::Hidden); },
       [](WindowModes& m) {
         m.FormShow();
         m.FormShow();
       },
       {"CheckList:1", "CheckList:1", "Panel:0"}},
      {"first show in right mode shows the panel each time",
       [](Harness& h) { h.view.panelVisible = false; },
       [](WindowModes& m) {
         m.FormShow();
         m.FormShow();
       },
       {"CheckList:0", "Dock:Right", "Panel:1", "Panel:1"}},
  });
}

TEST(WindowModes, PagesEnableTheOtherAndMarkTheShownOne) {
  RunCases({
      {"player page",
       noSetup,
       [](WindowModes& m) { m.ActPage(Page::Play); },
       {"Enabled:Play=0", "Enabled:Lib=1", "ShowPage:Play", "Bold:Play=1", "Bold:Lib=0"}},
      {"library page",
       [](Harness& h) { h.view.state = psPause; },
       [](WindowModes& m) { m.ActPage(Page::Lib); },
       {"Enabled:Play=1", "Enabled:Lib=0", "Bold:Play=0", "ShowPage:Lib", "Bold:Lib=1"}},
      {"library page while blank and playing loads it and pauses",
       [](Harness& h) {
         h.view.browserBlank = true;
         h.view.state = psPlay;
       },
       [](WindowModes& m) { m.ActPage(Page::Lib); },
       {"Enabled:Play=1", "Enabled:Lib=0", "Bold:Play=0", "ShowPage:Lib", "Bold:Lib=1",
        "StartLibraryLoading", "PlayerPause"}},
      {"player page while playing does not pause",
       [](Harness& h) { h.view.state = psPlay; },
       [](WindowModes& m) { m.ActPage(Page::Play); },
       {"Enabled:Play=0", "Enabled:Lib=1", "ShowPage:Play", "Bold:Play=1", "Bold:Lib=0"}},
  });
}

TEST(WindowModes, TrayHidesAndShowsTheWindow) {
  test::DebugLog debug;
  RunCases({
      {"hide pauses and hides panel and window",
       [](Harness& h) { h.view.state = psPlay; },
       [](WindowModes& m) { m.ActShowTray(); },
       {"PlayerPause", "Panel:0", "HideWindow", "TrayCaption:显示窗口"},
       [](const Harness& h) { EXPECT_FALSE(h.view.visible); }},
      {"show resumes a pause and tells the ad scheduler",
       [](Harness& h) {
         h.view.visible = false;
         h.view.panelVisible = false;
         h.view.state = psPause;
       },
       [](WindowModes& m) { m.ActShowTray(); },
       {"ShowWindow", "Panel:1", "RestoreAndActivate", "PlayerPlay", "TrayCaption:隐藏窗口",
        "NotifyAdAppActive"}},
      {"show in hidden mode keeps the panel hidden and loads a blank library",
       [](Harness& h) {
         h.modes.SetListModeChecked(ListMode::Hidden);
         h.view.visible = false;
         h.view.panelVisible = false;
         h.view.browserBlank = true;
         h.view.take();
       },
       [](WindowModes& m) { m.ActShowTray(); },
       {"ShowWindow", "RestoreAndActivate", "TrayCaption:隐藏窗口", "NotifyAdAppActive",
        "StartLibraryLoading"}},
      {"a blank library behind the player page is not loaded",
       [](Harness& h) {
         h.view.visible = false;
         h.view.browserBlank = true;
         h.view.page = Page::Play;
         h.view.state = psPlay;
       },
       [](WindowModes& m) { m.ActShowTray(); },
       {"ShowWindow", "Panel:1", "RestoreAndActivate", "TrayCaption:隐藏窗口",
        "NotifyAdAppActive"}},
      {"a failure while showing is swallowed",
       [](Harness& h) {
         h.view.visible = false;
         h.view.throwOnShowWindow = true;
       },
       [](WindowModes& m) { EXPECT_NO_THROW(m.ActShowTray()); },
       {}},
  });
  EXPECT_EQ(debug.lines(), (Calls{"AppActive", "AppActive", "AppActive"}));
}

TEST(WindowModes, MinimiseHidesToTrayOnlyWhenSet) {
  RunCases({
      {"to the taskbar", noSetup, [](WindowModes& m) { m.ActMin(); }, {"Minimise"}},
      {"to the tray pauses playback",
       [](Harness& h) {
         h.config.rbMini = 1;
         h.view.state = psPlay;
       },
       [](WindowModes& m) { m.ActMin(); },
       {"PlayerPause", "Panel:0", "HideWindow", "TrayCaption:显示窗口"}},
  });
}

TEST(WindowModes, CloseButtonAsksThenExitsOrHides) {
  const auto answer = [](bool exit, bool dontAsk) {
    return [=](Harness& h) { h.view.closeAnswer = CloseQueryChoice{exit, dontAsk}; };
  };
  const Calls toTray{"CloseQuery", "PlayerPause", "Panel:0", "HideWindow", "TrayCaption:显示窗口"};
  RunCases({
      {"cancel leaves everything",
       noSetup,
       [](WindowModes& m) { m.ActCloseOrTray(); },
       {"CloseQuery"},
       [](const Harness& h) {
         EXPECT_EQ(h.view.closeShown, (CloseQueryChoice{false, false}));
         EXPECT_EQ(h.config.rbClose, 0);
         EXPECT_FALSE(h.config.chkNextNotQuery);
         EXPECT_TRUE(h.view.visible);
       }},
      {"OK with exit ends the program and stores it",
       answer(true, false),
       [](WindowModes& m) { m.ActCloseOrTray(); },
       {"CloseQuery", "CloseWindow"},
       [](const Harness& h) {
         EXPECT_EQ(h.config.rbClose, 1);
         EXPECT_FALSE(h.config.chkNextNotQuery);
       }},
      {"OK with tray hides and stops asking", answer(false, true),
       [](WindowModes& m) { m.ActCloseOrTray(); }, toTray,
       [](const Harness& h) {
         EXPECT_EQ(h.config.rbClose, 0);
         EXPECT_TRUE(h.config.chkNextNotQuery);
       }},
      {"the first run pre-checks 'don't ask' and a stored exit pre-selects exit",
       [](Harness& h) {
         h.view.firstRun = true;
         h.config.rbClose = 1;
       },
       [](WindowModes& m) { m.ActCloseOrTray(); },
       {"CloseQuery"},
       [](const Harness& h) {
         EXPECT_EQ(h.view.closeShown, (CloseQueryChoice{true, true}));
       }},
      {"not asking exits at once",
       [](Harness& h) {
         h.config.chkNextNotQuery = true;
         h.config.rbClose = 1;
       },
       [](WindowModes& m) { m.ActCloseOrTray(); },
       {"CloseWindow"}},
      {"not asking hides at once",
       [](Harness& h) { h.config.chkNextNotQuery = true; },
       [](WindowModes& m) { m.ActCloseOrTray(); },
       {"PlayerPause", "Panel:0", "HideWindow", "TrayCaption:显示窗口"}},
      {"any stored value but 0 exits, as the query shows it",
       [](Harness& h) {
         h.config.chkNextNotQuery = true;
         h.config.rbClose = 2;
       },
       [](WindowModes& m) { m.ActCloseOrTray(); },
       {"CloseWindow"}},
  });
}

TEST(WindowModes, ScreenSaverIsHeldOffOnlyWhilePlaying) {
  const struct {
    player::TPlayState state;
    SystemCommand command;
    bool swallowed;
  } cases[] = {
      {psPlay, SystemCommand::ScreenSaver, true},   {psPlay, SystemCommand::MonitorPower, true},
      {psPause, SystemCommand::ScreenSaver, false}, {psStop, SystemCommand::MonitorPower, false},
      {psPlay, SystemCommand::Other, false},
  };
  for (const auto& c : cases) {
    Harness h;
    h.view.state = c.state;
    EXPECT_EQ(h.modes.OnSystemCommand(c.command), c.swallowed)
        << int(c.state) << " " << int(c.command);
    EXPECT_TRUE(h.view.calls.empty());
  }
}

// tmrTray shows the icon on its first tick and keeps retrying every second until that works.
TEST(WindowModes, TrayIconRetriesEverySecondUntilShown) {
  Harness h;
  h.view.trayFailures = 2;
  h.modes.StartTrayIcon();
  h.loop.advance(999);
  EXPECT_TRUE(h.view.take().empty());
  h.loop.advance(1);
  EXPECT_EQ(h.view.take(), (Calls{"ShowTrayIcon", "HideTrayIcon"}));
  h.loop.advance(2000);
  EXPECT_EQ(h.view.take(), (Calls{"ShowTrayIcon", "HideTrayIcon", "ShowTrayIcon"}));
  EXPECT_EQ(h.loop.activeTimers(), 0u);
  h.loop.advance(10000);
  EXPECT_TRUE(h.view.take().empty());
}

TEST(WindowModes, FullScreenMovesTheControlsOverAndBack) {
  test::DebugLog debug;
  const auto enter = [](WindowModes& m, FakeView& v) {
    m.ActFull();
    v.fullScreen = true;  // the player reports the change
    m.OnFullChangeing();
  };
  const auto leave = [](WindowModes& m, FakeView& v) {
    m.ActFull();
    v.fullScreen = false;
    m.OnFullChangeing();
  };
  const Calls entering{"SetFullScreen:1",      "FullCaption:退出全屏", "ShowFullForm",
                       "MovePlayerToFullForm", "MoveBarsToFullForm",   "Corners:0"};
  const Calls leaving{"SetFullScreen:0", "FullCaption:全屏播放", "MoveBarsBack",
                      "Corners:1",       "MovePlayerBack",       "CursorHidden:0"};
  {
    Harness h;
    enter(h.modes, h.view);
    Calls expected = entering;
    expected.push_back("AdFull:1");
    EXPECT_EQ(h.view.take(), expected);
    leave(h.modes, h.view);
    expected = leaving;
    expected.insert(expected.end(), {"FreeFullForm", "AdFull:0"});
    EXPECT_EQ(h.view.take(), expected);
  }
  {
    SCOPED_TRACE("with the ad page and the on-play band");
    Harness h;
    h.view.adPage = true;
    h.view.state = psPlay;
    h.modes.ActTopMostOnPlay();
    h.view.take();
    enter(h.modes, h.view);
    Calls expected = entering;
    expected.insert(expected.end(),
                    {"MoveAdPageToFullForm", "AdFull:1", "CheckTop:2", "TopMost:0"});
    EXPECT_EQ(h.view.take(), expected);
    leave(h.modes, h.view);
    expected = leaving;
    expected.insert(expected.end(),
                    {"MoveAdPageBack", "FreeFullForm", "AdFull:0", "CheckTop:2", "TopMost:1"});
    EXPECT_EQ(h.view.take(), expected);
  }
  {
    SCOPED_TRACE("leaving without the full-screen window, or while it is being shown");
    Harness h;
    h.modes.OnFullChangeing();
    h.view.fullForm = true;
    h.view.fullFormShowing = true;
    h.modes.OnFullChangeing();
    EXPECT_TRUE(h.view.take().empty());
  }
  {
    SCOPED_TRACE("nothing while the window is being destroyed");
    Harness h;
    h.view.fullScreen = true;
    h.modes.OnFullChangeing(/*destroying=*/true);
    EXPECT_TRUE(h.view.take().empty());
  }
  EXPECT_EQ(debug.lines(),
            (Calls{"Ad Fulling=True", "Ad Fulling=False", "Ad Fulling=True", "Ad Fulling=False"}));
}

TEST(WindowModes, SizingKeepsTheMinimumAndTheCurrentEdge) {
  const player::Point current{100, 50};
  const struct {
    const char* name;
    player::Rect proposed;
    player::Rect expected;
  } cases[] = {
      {"big enough stays", {30, 20, 1200, 700}, {30, 20, 1200, 700}},
      {"exactly the minimum stays", {30, 20, 1005, 648}, {30, 20, 1005, 648}},
      {"too narrow from the left edge", {300, 20, 800, 700}, {100, 20, 1005, 700}},
      {"too low from the top edge", {30, 400, 1200, 300}, {30, 50, 1200, 648}},
      {"too small both ways", {500, 500, 1004, 647}, {100, 50, 1005, 648}},
  };
  for (const auto& c : cases) EXPECT_EQ(ClampSizingRect(c.proposed, current), c.expected) << c.name;
}

TEST(WindowModes, WindowFitsVideoOnlyInThatModeWhilePlaying) {
  EXPECT_EQ(WindowSizeForMedia({1280, 720}, {1005, 648}, {785, 520}), (player::Size{1500, 848}));
  EXPECT_EQ(WindowSizeForMedia({320, 240}, {1200, 800}, {980, 672}), (player::Size{540, 368}));
  RunCases({
      {"video fits the window: nothing",
       [](Harness& h) { h.view.state = psPlay; },
       [](WindowModes& m) { m.FitWindowToMedia(); },
       {}},
      {"window fits the video",
       [](Harness& h) {
         h.config.cbbScale = 1;
         h.view.state = psPlay;
       },
       [](WindowModes& m) { m.FitWindowToMedia(); },
       {"Resize:860x488"}},
      {"not while paused",
       [](Harness& h) {
         h.config.cbbScale = 1;
         h.view.state = psPause;
       },
       [](WindowModes& m) { m.FitWindowToMedia(); },
       {}},
      {"not for sound without a picture",
       [](Harness& h) {
         h.config.cbbScale = 1;
         h.view.state = psPlay;
         h.view.media = {0, 0};
       },
       [](WindowModes& m) { m.FitWindowToMedia(); },
       {}},
  });
}

}  // namespace
}  // namespace nivra::app
