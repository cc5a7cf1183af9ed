#pragma once
// The widget tree of the settings dialog: four page buttons over the page control pgc1 and the
// controls of its pages, named as the settings call them. Built into any parent so that the
// dialog frame can host it.

#include <QString>
#include <array>

class QComboBox;
class QListWidget;
class QSpinBox;
class QWidget;

namespace nivra::ui {
class TPNGCaptionButton;
class TPNGCheckBox;
class TPNGPageControl;
class TPNGRadioButton;
class TPNGTabSheet;
}  // namespace nivra::ui

namespace nivra::common {

class THotKeyEdit;

struct ConfigWidgets {
  // btnBase, btnPlay, btnHotkey, btnFace and their pages tsBase, tsPlay, tsHotkey, tsFace.
  std::array<ui::TPNGCaptionButton*, 4> pageButtons{};
  std::array<ui::TPNGTabSheet*, 4> pages{};
  ui::TPNGPageControl* pgc1 = nullptr;
  // tsBase
  ui::TPNGCheckBox* chkAutoRun = nullptr;
  ui::TPNGCheckBox* chkNextNotQuery = nullptr;
  ui::TPNGRadioButton *rbMiniTray = nullptr, *rbMiniTask = nullptr;
  ui::TPNGRadioButton *rbCloseExit = nullptr, *rbCloseTray = nullptr;
  // tsPlay
  QComboBox *cbbTop = nullptr, *cbbScale = nullptr, *cbbSound = nullptr;
  ui::TPNGCheckBox* chkShutDown = nullptr;
  QSpinBox* udHistory = nullptr;  // the spin control of edtHistoryNum
  // tsHotkey
  ui::TPNGCheckBox* chkBossKey = nullptr;
  THotKeyEdit* hkBossKey = nullptr;
  ui::TPNGCheckBox* chkBossKeyHideTray = nullptr;
  ui::TPNGCheckBox* chkBossKeyMute = nullptr;
  THotKeyEdit *hkOpenFile = nullptr, *hkOpenUrl = nullptr, *hkVolumeInc = nullptr,
              *hkVolumeDec = nullptr, *hkMute = nullptr, *hkFullScreen = nullptr;
  // tsFace
  ui::TPNGRadioButton *rbPlayListNormal = nullptr, *rbPlayListMini = nullptr,
                      *rbPlayListR2L = nullptr;
  ui::TPNGRadioButton *rbPlayListRight = nullptr, *rbPlayListLeft = nullptr;
  QListWidget* lstFace = nullptr;
};

// The page buttons and pgc1 in `parent`, the buttons' row from (x, y); pgc1 fills the width
// below them down to `bottom`. Hidden controls are created but not shown.
ConfigWidgets BuildConfigPages(QWidget* parent, int x, int y, int bottom);

}  // namespace nivra::common
