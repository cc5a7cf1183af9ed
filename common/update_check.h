#pragma once
// The weekly update check and the updater start, shared by the program and the control library.

#include <filesystem>
#include <string>
#include <vector>

#include "platform/date_time.h"

namespace nivra::common {

// The weekly check over the update mark (section "Flag", key "Data" of the settings file
// `setupIni`): due when the mark is seven or more days before today's date. A due check writes
// today into the mark, so it answers true at most once a week. A missing or unreadable mark reads
// as yesterday: not due, and nothing is written.
bool IsUpdateDue(const std::filesystem::path& setupIni,
                 platform::WallClock::time_point now = platform::WallClock::now());

// Starts the updater ("Update" in the module folder) with `arguments`, detached; whether it
// started is not checked.
void StartUpdater(const std::vector<std::string>& arguments);

}  // namespace nivra::common
