#pragma once
// Every command of the main window in one table: its action name, caption, shortcut (fixed or
// from the settings), radio group and check mark. Buttons, the three pop-up menus and the keys
// only trigger these actions; the window supplies one handler that runs a command by its id.

#include <QAction>
#include <array>
#include <functional>
#include <optional>

#include "app/settings_apply.h"

class QMenu;
class QWidget;

namespace nivra::app {

enum class Command {
  Play,
  Stop,
  Prev,
  Next,
  OpenFile,
  PlayURL,
  Full,
  Mute,
  VolumeInc,
  VolumeDec,
  VolumeStereo,
  VolumeLeft,
  VolumeRight,
  Min,
  Max,
  CloseOrTray,
  Close,
  ShowTray,
  NoTopMost,
  TopMost,
  TopMostOnPlay,
  ffsNormal,
  ffsMini,
  ChangeTreeList,
  ffsR2L,
  ShowRightFrm,
  PagePlay,
  PageLib,
  ShowConfigFrm,
  ShutDown,
  BossKey,
  About,
  CheckUpdate,
  HomePage,
  HomeBBS,
  Count
};

// Radio groups: exactly one action of a group is checked.
enum class CommandGroup { None, TopMost, ListMode, Channel };

struct CommandEntry {
  Command id;
  const char* name;     // "Act_Play"
  const char* caption;  // as the user sees it
  CommandGroup group = CommandGroup::None;
  bool checkable = false;
  const char* shortcut = nullptr;                        // a fixed shortcut ("Alt+F4")
  std::optional<ShortcutAction> setting = std::nullopt;  // the shortcut comes from the settings
};

const CommandEntry& EntryOf(Command id);

class CommandSet {
 public:
  // Makes the actions as children of `owner` (shortcuts work anywhere in the application) and
  // connects each to `run`.
  CommandSet(QWidget* owner, std::function<void(Command)> run);

  QAction* operator[](Command id) const { return actions_[static_cast<std::size_t>(id)]; }
  QAction* Shortcut(ShortcutAction action) const;

  // The main menu (menu button, right click on the title bar), the player's menu and the tray
  // icon's menu.
  QMenu* pmMain() const { return pmMain_; }
  QMenu* pmRight() const { return pmRight_; }
  QMenu* pmTrayIcon() const { return pmTrayIcon_; }

 private:
  std::array<QAction*, static_cast<std::size_t>(Command::Count)> actions_{};
  QMenu* pmMain_;
  QMenu* pmRight_;
  QMenu* pmTrayIcon_;
};

}  // namespace nivra::app
