#pragma once
// Texts a player's window shows, shared by the main window and the control: the time label's
// "mm:ss", the speed label's "KB/s", an item's title without its extension.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace nivra::common {

inline constexpr std::string_view kSpeedStopped = "停止";
inline constexpr std::string_view kSpeedConnecting = "正在连接";

// Whole seconds of a millisecond count, rounded to the nearest with halves to even.
std::int64_t RoundToSeconds(std::int64_t ms);
// "mm:ss" with no hour field (62:05 for 1 h 2 min 5 s).
std::string FormatPlayTime(std::int64_t ms);
// The speed label's next text for a download speed in bytes per second, or nothing when the
// label keeps what it shows (`shown`): "1KB/s" for 1536, "0.5KB/s" for 512.
std::optional<std::string> SpeedLabelText(std::int64_t bytesPerSecond, std::string_view shown);
// The title with every occurrence of its own extension (from the last dot, any case) removed.
std::string StripOwnExtension(std::string_view title);

}  // namespace nivra::common
