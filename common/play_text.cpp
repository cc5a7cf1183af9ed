#include "common/play_text.h"

#include <cstdio>

#include "platform/text.h"

namespace nivra::common {

std::int64_t RoundToSeconds(std::int64_t ms) {
  if (ms < 0) return -RoundToSeconds(-ms);
  std::int64_t seconds = ms / 1000;
  const std::int64_t rest = ms % 1000;
  if (rest > 500 || (rest == 500 && seconds % 2 == 1)) ++seconds;
  return seconds;
}

std::string FormatPlayTime(std::int64_t ms) {
  const std::int64_t seconds = RoundToSeconds(ms);
  char text[48];
  std::snprintf(text, sizeof text, "%.2lld:%.2lld", static_cast<long long>(seconds / 60),
                static_cast<long long>(seconds % 60));
  return text;
}

std::string StripOwnExtension(std::string_view title) {
  const auto dot = title.find_last_of("./\\:");
  if (dot == std::string_view::npos || title[dot] != '.') return std::string(title);
  return text::eraseAllNoCase(title, title.substr(dot));
}

std::optional<std::string> SpeedLabelText(std::int64_t bytesPerSecond, std::string_view shown) {
  if (bytesPerSecond < 0) return std::nullopt;
  if (bytesPerSecond == 0 && (shown == kSpeedStopped || shown == kSpeedConnecting))
    return std::nullopt;
  if (bytesPerSecond >= 1024) return std::to_string(bytesPerSecond / 1024) + "KB/s";
  // Hundredths of a KB, halves to even, printed without trailing zeros.
  const std::int64_t scaled = bytesPerSecond * 100;
  std::int64_t hundredths = scaled / 1024;
  const std::int64_t rest = scaled % 1024;
  if (rest > 512 || (rest == 512 && hundredths % 2 == 1)) ++hundredths;
  std::string text = std::to_string(hundredths / 100);
  if (const std::int64_t fraction = hundredths % 100; fraction != 0) {
    text += fraction % 10 == 0 ? "." + std::to_string(fraction / 10)
                               : (fraction < 10 ? ".0" : ".") + std::to_string(fraction);
  }
  return text + "KB/s";
}

}  // namespace nivra::common
