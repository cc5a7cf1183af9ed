#pragma once
// The ad settings kept in INI files and the registry: the counters "NVRSet.ini", the switch
// "pop.ini", the heartbeat interval "Heatbeat.ini", the stamps "popset.ini", the autorun mirror
// "runa.ini" and the day without heartbeats "nopopday". Errors are swallowed: a missing or
// unreadable value gives its default, a failed write leaves the old file.

#include <chrono>
#include <cstdint>
#include <filesystem>

namespace nivra::ads {

// Counters of the pop-up windows ("NVRSet.ini", section "save").
struct TADIni {
  double RightPopData = 0;  // date-time of the last right window
  double MiniPopData = 0;   // date-time of the last mini window
  std::int32_t TodayMiniCount = 0;
  std::int32_t TodayRightCount = 0;
  std::int32_t rigtsvc = 0;  // kept and written back unchanged

  // Reads the file when it exists (a missing key gives 0 for times and rigtsvc, 3 for the
  // counts); a missing file leaves every value as it is. True when the file was read.
  bool Load(const std::filesystem::path& file);
  // Writes all five values into the file, keeping its other content; false on failure.
  bool Save(const std::filesystem::path& file) const;

  bool operator==(const TADIni&) const = default;
};

// False only when "pop.ini" in `dataDir` says "ifpop" = 2 in section "set".
bool PopsAllowed(const std::filesystem::path& dataDir);
// "Heatbeat" of section "Heatbeat" in "Heatbeat.ini" of `moduleDir`; a missing file or key, or
// 0, gives 540 seconds.
std::int32_t HeartbeatInterval(const std::filesystem::path& moduleDir);
// Writes `now` into "popset.ini" of `dataDir`: "svcadad" when `service` is true, else "trayad".
void StampPopShown(const std::filesystem::path& dataDir, bool service,
                   std::chrono::system_clock::time_point now);
// Writes `now` into "popset.ini" of `dataDir`, section and key "trayonline".
void StampTrayOnline(const std::filesystem::path& dataDir,
                     std::chrono::system_clock::time_point now);
// "nopopday" of the local-machine key "SOFTWARE\Nivra"; 0 when missing or unreadable.
std::int32_t ReadNoPopDay();

// "nopopday" := today's day number, in the local-machine key "SOFTWARE\Nivra" when that key
// exists (it is never created here).
void WriteSetupDay(std::chrono::system_clock::time_point now = std::chrono::system_clock::now());
// The autorun flag as "1"/"0" in "runa.ini" (section "run", key "run") of the all-users folder.
void WriteRunFlag(bool flag);

}  // namespace nivra::ads
