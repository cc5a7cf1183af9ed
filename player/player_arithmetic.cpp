#include "player/player_arithmetic.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

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

Rect LogoPlacement(Size control, Size logo) {
  return Rect{std::abs(control.width - logo.width) / 2, std::abs(control.height - logo.height) / 2,
              logo.width, logo.height};
}

}  // namespace nivra::player
