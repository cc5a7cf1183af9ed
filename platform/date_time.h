#pragma once
// Date-times as the stored files of the system keep them: days since 1899-12-30 in local time,
// the fraction being the time of day.

#include <chrono>
#include <cstdint>

namespace nivra::platform {

using WallClock = std::chrono::system_clock;

double toDateTime(WallClock::time_point t);
WallClock::time_point fromDateTime(double dateTime);
// The whole days of toDateTime (today's day number).
std::int32_t dayNumber(WallClock::time_point t);

}  // namespace nivra::platform
