#pragma once
// The user's settings, kept in "Setup.ini" of the per-user data folder. The program body owns
// the one object of the process: loaded before the mode is chosen, written back when the process
// ends, and handed to the windows that read or change it.

#include <cstdint>
#include <filesystem>

namespace nivra::common {

class TIniConfig {
 public:
  // cfBase
  bool chkAutoRun = true;
  std::int32_t rbMini = 0;
  std::int32_t rbClose = 0;
  bool chkNextNotQuery = false;
  // cfPlay
  std::int32_t cbbTop = 0;
  std::int32_t cbbScale = 0;
  std::int32_t cbbSound = 0;
  bool chkShutDown = false;
  std::int32_t udHistory = 25;
  // cfHotKey (low byte: virtual-key code; 0x2000 Shift, 0x4000 Ctrl, 0x8000 Alt)
  bool chkBossKey = true;
  std::int32_t hkBossKey = 49218;  // Ctrl+Alt+B
  bool chkBossKeyHideTray = true;
  bool chkBossKeyMute = true;
  std::int32_t hkOpenFile = 16463;    // Ctrl+O
  std::int32_t hkOpenUrl = 16469;     // Ctrl+U
  std::int32_t hkVolumeInc = 16422;   // Ctrl+Up
  std::int32_t hkVolumeDec = 16424;   // Ctrl+Down
  std::int32_t hkMute = 16461;        // Ctrl+M
  std::int32_t hkFullScreen = 16454;  // Ctrl+F
  // cfFace
  std::int32_t rbPlayListPos = 1;
  std::int32_t rbPlayListMode = 0;
  std::int32_t lstFace = 0;

  // Reads every field; a missing file or key, or a value that is not an integer, keeps the
  // field's current value (the default for a fresh object). Never throws.
  void Load(const std::filesystem::path& file);
  // Writes every field into the file, keeping its other sections (such as "Flag"); the file is
  // replaced atomically. Errors are swallowed; returns whether the file was written.
  bool Save(const std::filesystem::path& file) const;

  // "Setup.ini" in the per-user data folder.
  static std::filesystem::path DefaultPath();
};

}  // namespace nivra::common
