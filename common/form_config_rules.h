#pragma once
// What the settings dialog decides, without a window: how the settings fill its controls, how
// its controls go back into the settings, and what OK does. TFormConfig only copies between
// these values and its widgets.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "common/ini_config.h"

namespace nivra::common {

// The state of every control of the dialog, named after the control. Radio buttons are kept one
// flag each, as the widgets hold them; combo and list boxes hold an item index (-1: none).
struct ConfigControls {
  // tsBase
  bool chkAutoRun = false;
  bool chkNextNotQuery = false;
  bool rbMiniTray = false, rbMiniTask = false;
  bool rbCloseExit = false, rbCloseTray = false;
  // tsPlay
  int cbbTop = 0, cbbScale = 0, cbbSound = 0;
  bool chkShutDown = false;
  int udHistory = 0;  // the spin position
  // tsHotkey (key codes of the settings)
  bool chkBossKey = false;
  std::int32_t hkBossKey = 0;
  bool chkBossKeyHideTray = false;
  bool chkBossKeyMute = false;
  std::int32_t hkOpenFile = 0, hkOpenUrl = 0, hkVolumeInc = 0, hkVolumeDec = 0, hkMute = 0,
               hkFullScreen = 0;
  // tsFace
  bool rbPlayListNormal = false, rbPlayListMini = false, rbPlayListR2L = false;
  bool rbPlayListRight = false, rbPlayListLeft = false;
  int lstFace = 0;

  bool operator==(const ConfigControls&) const = default;
};

// The spin control's range for the history size.
inline constexpr int kHistoryMin = 0;
inline constexpr int kHistoryMax = 100;

// True when the autorun entry's data equals the data the program writes for itself (`ownData`:
// the quoted program path, a space and "/A"), ignoring case.
bool AutorunEntryIsOurs(std::string_view entry, std::string_view ownData);

// The controls as the dialog opens: the check box of autorun is checked when the entry is ours
// or the setting is on; the first button of each radio pair when its field is not 0.
ConfigControls ControlsFromConfig(const TIniConfig& config, bool autorunEntryIsOurs);

// Writes the controls into the settings (every field the dialog edits).
void ConfigFromControls(const ConfigControls& controls, TIniConfig& config);

// A hot-key control shows codes of the arrow keys as extended keys.
bool IsExtendedKey(std::int32_t keyCode);

// What the program around the dialog supplies. Every member may be empty (then that step is
// skipped).
struct ConfigHost {
  // The autorun entry's data; empty when there is none.
  std::function<std::string()> readAutorun;
  // The data of the program's own autorun entry, compared with the entry above.
  std::string autorunData;
  // Writes or removes the autorun entry and mirrors the flag into the ad settings file.
  std::function<void(bool on)> setAutorun;
  // Applies the settings to the main window once they are saved.
  std::function<void(const TIniConfig& config)> onApply;
};

// The controls for `config`, asking the host for the autorun entry.
ConfigControls OpenConfigControls(const TIniConfig& config, const ConfigHost& host);

// OK: the autorun entry follows its check box, the settings take the controls, the file is
// written (errors swallowed) and the host applies them, in that order.
void ConfirmConfig(const ConfigControls& controls, TIniConfig& config,
                   const std::filesystem::path& file, const ConfigHost& host);

}  // namespace nivra::common
