#include "player/player_arithmetic.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "platform/text.h"

namespace nivra::player {

int ClampVolume(int volume) { return std::clamp(volume, 0, 100); }

int GraphVolumeLevel(int volume, bool mute, bool logarithmic) {
  if (mute) return -10000;
  volume = ClampVolume(volume);
  if (!logarithmic) return volume * 100 - 10000;
  // nearbyint rounds halves to even in the default rounding mode.
  return static_cast<int>(std::nearbyint(std::log(volume * 100.0 + 1.0) * 1085.73)) - 10000;
}

std::optional<Rect> FlashMovieBounds(Size control, Size host, Size media) {
  const std::int64_t w = media.width, h = media.height;
  // The width is a divisor too: a picture of width 0 would divide by zero.
  if (h < 1 || w < 1) return std::nullopt;
  const std::int64_t W = host.width, H = host.height;
  // control.width / control.height > w / h, without dividing by a zero control height.
  const bool wider = std::int64_t{control.width} * h > w * control.height;
  Rect r;
  if (wider) {
    r.height = static_cast<int>(H);
    r.width = static_cast<int>(H * w / h);
    r.top = 0;
    r.left = static_cast<int>(W / 2 - (H * w) / (2 * h));
  } else {
    r.width = static_cast<int>(W);
    r.height = static_cast<int>(W * h / w);
    r.left = 0;
    r.top = static_cast<int>(H / 2 - (W * h) / (2 * w));
  }
  return r;
}

std::uint32_t ResolverDurationMs(double seconds) {
  const double ms = std::nearbyint(seconds * 1000.0);
  // 2^63 is exact as a double; every finite value below it converts to int64 without overflow.
  constexpr double kInt64Limit = 9223372036854775808.0;
  if (!std::isfinite(ms) || ms >= kInt64Limit || ms < -kInt64Limit) return 0;
  return static_cast<std::uint32_t>(static_cast<std::int64_t>(ms));
}

std::string_view FirstCharacters(std::string_view utf8, std::size_t count) {
  std::size_t characters = 0;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const bool continuation = (static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80;
    if (continuation) continue;
    if (characters == count) return utf8.substr(0, i);
    ++characters;
  }
  return utf8;
}

bool IsMediaUri(std::string_view source) {
  auto isAlpha = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
  auto isSchemeChar = [&](char c) {
    return isAlpha(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
  };
  const auto colon = source.find(':');
  if (colon == std::string_view::npos || colon < 2 || !isAlpha(source[0])) return false;
  for (std::size_t i = 1; i < colon; ++i)
    if (!isSchemeChar(source[i])) return false;
  const std::string_view rest = source.substr(colon + 1);
  if (rest.starts_with("//")) return true;
  return text::equalsNoCase(source.substr(0, colon), "file") && rest.starts_with("/");
}

Rect LogoPlacement(Size control, Size logo) {
  return Rect{std::abs(control.width - logo.width) / 2, std::abs(control.height - logo.height) / 2,
              logo.width, logo.height};
}

}  // namespace nivra::player
