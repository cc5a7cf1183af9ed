#include "platform/date_time.h"

#include <cmath>
#include <ctime>

namespace nivra::platform {
namespace {

// 1899-12-30 is 25569 days before 1970-01-01.
constexpr double kEpochOffsetDays = 25569.0;

long localOffsetSeconds(std::time_t t) {
  std::tm local{};
  ::localtime_r(&t, &local);
  return local.tm_gmtoff;
}

}  // namespace

double toDateTime(WallClock::time_point t) {
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(t.time_since_epoch()).count();
  const std::time_t secs = static_cast<std::time_t>(std::floor(ms / 1000.0));
  const double localMs = static_cast<double>(ms) + localOffsetSeconds(secs) * 1000.0;
  return kEpochOffsetDays + localMs / 86400000.0;
}

WallClock::time_point fromDateTime(double dateTime) {
  const double localMs = (dateTime - kEpochOffsetDays) * 86400000.0;
  auto guess = static_cast<std::time_t>(std::floor(localMs / 1000.0));
  const double utcMs = localMs - localOffsetSeconds(guess) * 1000.0;
  return WallClock::time_point(std::chrono::milliseconds(static_cast<std::int64_t>(std::llround(utcMs))));
}

std::int32_t dayNumber(WallClock::time_point t) {
  return static_cast<std::int32_t>(std::floor(toDateTime(t)));
}

}  // namespace nivra::platform
