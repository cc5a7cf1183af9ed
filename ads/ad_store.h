#pragma once
// The scheduler's stored state in the all-users data folder: the mini record "NVRM.dat" (534
// bytes), the right record "NVRR.dat" (530 bytes) and the counters "NVRSet.ini". Every file is
// replaced atomically, so a crash during a save leaves the old file or the new one, whole.

#include <filesystem>

#include "ads/ad_ini.h"
#include "ads/ad_records.h"

namespace nivra::ads {

struct AdStoredState {
  MiniRecord mini;
  RightRecord right;
  TADIni counters;

  bool operator==(const AdStoredState&) const = default;
};

// Reads what exists: a record file shorter than its record is skipped; a missing "NVRSet.ini"
// leaves the counters as they are. Stops at the first unreadable file. Temporary files left by
// a save that was killed before it finished are removed first.
void LoadAdState(const std::filesystem::path& dataDir, AdStoredState& state);
// Writes the records over the start of their files (bytes after the record are kept, as an
// in-place overwrite would keep them), then the counters. Failures are swallowed; a failed
// write leaves the old file.
void SaveAdState(const std::filesystem::path& dataDir, const AdStoredState& state);

inline constexpr const char* kMiniFile = "NVRM.dat";
inline constexpr const char* kRightFile = "NVRR.dat";
inline constexpr const char* kCountersFile = "NVRSet.ini";

}  // namespace nivra::ads
