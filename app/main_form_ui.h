#pragma once
// The widget tree of the main window, built from the skinned controls: the title bar with the
// page buttons and the window buttons, the library page, the player page with the picture, the
// seek bar and the control bar, and the panel the library panel docks into. LayoutFrame places
// what the layouts cannot (the centred button group, the tab strip, the scrolling label).

#include <QLabel>
#include <QStackedWidget>

#include "app/commands.h"
#include "platform/event_loop.h"
#include "ui/png_button.h"
#include "ui/png_image.h"
#include "ui/png_panel.h"
#include "ui/png_track_bar.h"
#include "ui/roll_label.h"

namespace nivra::app {

struct MainFormUi {
  // Title bar.
  QWidget* PnlTop = nullptr;
  QLabel* lblCaption = nullptr;
  ui::TPNGTransPanel* pnlTabBtns = nullptr;
  ui::TPNGCaptionButton* btnPageLib = nullptr;
  ui::TPNGCaptionButton* btnPagePlay = nullptr;
  ui::TPNGTransPanel* pnlTopBtns = nullptr;
  ui::TPNGButton* btnMenu = nullptr;
  ui::TPNGButton* btnMin = nullptr;
  ui::TPNGButton* btnMax = nullptr;
  ui::TPNGButton* btnClose = nullptr;
  // Pages.
  QStackedWidget* pageCtl1 = nullptr;
  QWidget* tbLib = nullptr;
  QWidget* tbPlay = nullptr;
  // Player page: pnlPlayOwn holds the picture area pnlPlayAd (the player's panel pnlPlay and the
  // seek bar's panel pnlProgress) and the docked library panel.
  QWidget* pnlPlayOwn = nullptr;
  // The dock of the library panel (its width) and the place the panel fills.
  QWidget* pnlRightDock = nullptr;
  QWidget* pnlRightForm = nullptr;
  QWidget* pnlPlayAd = nullptr;
  QWidget* pnlPlay = nullptr;
  QWidget* pnlProgress = nullptr;
  ui::TPNGPlayTrackBar* tbPlayPos = nullptr;
  // Control bar.
  QWidget* pnlBottom = nullptr;
  ui::TPNGImage* imgBottomLeft = nullptr;
  ui::TPNGImage* imgBottomCenter = nullptr;
  ui::TPNGImage* imgBottomRight = nullptr;
  ui::TPNGTransPanel* pnlBtnBottom = nullptr;
  ui::TPNGButton* btnStop = nullptr;
  ui::TPNGButton* btnPrev = nullptr;
  ui::TPNGButton* btnPlay = nullptr;
  ui::TPNGButton* btnNext = nullptr;
  ui::TPNGStateButton* btnMute = nullptr;
  ui::TPNGPlayTrackBar* tbVolume = nullptr;
  ui::TRollLabel* RollLabel1 = nullptr;
  QLabel* lblPlayPos = nullptr;
  QLabel* lblSpeed = nullptr;
  ui::TPNGButton* btnFull = nullptr;
  ui::TPNGButton* btnOpen = nullptr;
};

// Builds the tree into `form` (a borderless top-level widget) with the commands' actions on the
// buttons.
MainFormUi BuildMainFormUi(QWidget* form, const CommandSet& commands, platform::EventLoop& loop);

// Places the centred and anchored parts after a resize of the form or of the control bar.
void LayoutFrame(const MainFormUi& ui);

}  // namespace nivra::app
