#include "player/flash/watch_time.h"

namespace nivra::player {

bool WatchTimeCounter::OnPositionNotice(std::uint64_t nowTick) {
  if (stamped_) return false;
  const auto now = static_cast<std::uint32_t>(nowTick);
  const std::uint32_t delta = now - lastTick_;
  lastTick_ = now;
  if (delta > 0 && delta < kWatchGapMs) watchedMs_ += delta;
  if (watchedMs_ < kWatchStampMs) return false;
  stamped_ = true;
  return true;
}

}  // namespace nivra::player
