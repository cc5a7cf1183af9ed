#pragma once
// The small writers of the ad settings that one-job modes of the program call. Errors are
// swallowed.

#include <chrono>

namespace nivra::ads {

// "nopopday" := today's day number, in the local-machine key "SOFTWARE\Nivra" when that key
// exists (it is never created here).
void WriteSetupDay(std::chrono::system_clock::time_point now = std::chrono::system_clock::now());
// The autorun flag as "1"/"0" in "runa.ini" (section "run", key "run") of the all-users folder.
void WriteRunFlag(bool flag);

}  // namespace nivra::ads
