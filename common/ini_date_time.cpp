#include "common/ini_date_time.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace nivra::common {
namespace {

// 1899-12-30 counted from 1970-01-01.
constexpr std::int64_t kEpochOffsetDays = 25569;
constexpr std::int64_t kSecondsPerDay = 86400;

// Days since 1970-01-01 of a proleptic Gregorian date, and back (H. Hinnant's algorithms).
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void civilFromDays(std::int64_t z, std::int64_t& y, unsigned& m, unsigned& d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y = static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2);
}

bool readNumber(std::string_view& s, std::size_t digits, unsigned& out) {
  if (s.size() < digits) return false;
  auto [end, ec] = std::from_chars(s.data(), s.data() + digits, out);
  if (ec != std::errc() || end != s.data() + digits) return false;
  s.remove_prefix(digits);
  return true;
}

bool expect(std::string_view& s, char c) {
  if (s.empty() || s.front() != c) return false;
  s.remove_prefix(1);
  return true;
}

unsigned daysInMonth(std::int64_t y, unsigned m) {
  static constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return m == 2 && leap ? 29 : kDays[m - 1];
}

}  // namespace

std::string dateTimeToText(double dateTime) {
  // Outside 0001-01-01 … 9999-12-31 there is no date text to write.
  if (!std::isfinite(dateTime) || dateTime < -693593.0 || dateTime >= 2958466.0) dateTime = 0;
  auto total = static_cast<std::int64_t>(std::llround(dateTime * kSecondsPerDay));
  std::int64_t days = total / kSecondsPerDay, secs = total % kSecondsPerDay;
  if (secs < 0) secs += kSecondsPerDay, --days;
  std::int64_t y;
  unsigned m, d;
  civilFromDays(days - kEpochOffsetDays, y, m, d);
  char buf[48];
  std::snprintf(buf, sizeof buf, "%04lld-%02u-%02u %02lld:%02lld:%02lld", static_cast<long long>(y),
                m, d, static_cast<long long>(secs / 3600), static_cast<long long>(secs / 60 % 60),
                static_cast<long long>(secs % 60));
  return buf;
}

double textToDateTime(std::string_view s) {
  unsigned y, m, d, hh = 0, mm = 0, ss = 0;
  if (!readNumber(s, 4, y) || !expect(s, '-') || !readNumber(s, 2, m) || !expect(s, '-') ||
      !readNumber(s, 2, d))
    return 0;
  if (!s.empty() &&
      (!expect(s, ' ') || !readNumber(s, 2, hh) || !expect(s, ':') || !readNumber(s, 2, mm) ||
       !expect(s, ':') || !readNumber(s, 2, ss) || !s.empty()))
    return 0;
  if (y < 1 || m < 1 || m > 12 || d < 1 || d > daysInMonth(y, m) || hh > 23 || mm > 59 || ss > 59)
    return 0;
  const std::int64_t days = daysFromCivil(y, m, d) + kEpochOffsetDays;
  return static_cast<double>(days) + (hh * 3600.0 + mm * 60.0 + ss) / kSecondsPerDay;
}

}  // namespace nivra::common
