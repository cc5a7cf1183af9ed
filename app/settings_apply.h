#pragma once
// Applying the settings to the main window, as a procedure over the window's commands so that
// it can be checked without a window. The main window implements SettingsTarget.

#include <cstdint>

#include "common/ini_config.h"

namespace nivra::app {

// The settings object lives beside the dialogs that edit it, in common/.
using common::TIniConfig;

// The six actions whose shortcuts come from the settings.
enum class ShortcutAction { OpenFile, PlayUrl, VolumeInc, VolumeDec, Mute, Full };
inline constexpr ShortcutAction kShortcutActions[] = {
    ShortcutAction::OpenFile,  ShortcutAction::PlayUrl, ShortcutAction::VolumeInc,
    ShortcutAction::VolumeDec, ShortcutAction::Mute,    ShortcutAction::Full};

class SettingsTarget {
 public:
  virtual ~SettingsTarget() = default;
  // Top-most commands: Act_NoTopMost, Act_TopMost, Act_TopMostOnPlay.
  virtual void actNoTopMost() = 0;
  virtual void actTopMost() = 0;
  virtual void actTopMostOnPlay() = 0;
  // List modes: check the action, set ListMode; execute the action where the rule says.
  virtual void setListModeChecked(
      int listMode) = 0;  // 0 Act_ffsNormal, 1 Act_ffsMini, 2 Act_ChangeTreeList
  virtual void actFfsNormal() = 0;
  virtual void actFfsMini() = 0;
  virtual void actChangeTreeList() = 0;
  virtual bool isShowing() const = 0;
  virtual bool libraryPanelShowing() const = 0;  // the panel is in the middle of being shown
  // Scale: resize so that the player area has the media's size (only while playing).
  virtual bool playerPlaying() const = 0;
  virtual void fitWindowToMedia() = 0;
  // Channel commands: Act_VolumeStereo, Act_VolumeLeft, Act_VolumeRight.
  virtual void actVolumeStereo() = 0;
  virtual void actVolumeLeft() = 0;
  virtual void actVolumeRight() = 0;
  // Gives the key to the global hot-key object and registers it.
  virtual void registerBossKey(std::int32_t keyCode) = 0;
  // Shortcut of an action, as a key code of the settings (0 when it has none).
  virtual std::int32_t shortcut(ShortcutAction action) const = 0;
  virtual void setShortcut(ShortcutAction action, std::int32_t keyCode) = 0;
};

// The settings field that holds an action's shortcut.
std::int32_t TIniConfig::*ShortcutField(ShortcutAction action);

// Runs the six steps in order: top-most mode, list mode, scale, channel, boss key, shortcuts.
// A shortcut field of 0 takes the action's current shortcut.
void ApplySettings(TIniConfig& config, SettingsTarget& window);

}  // namespace nivra::app
