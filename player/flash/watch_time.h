#pragma once
// Watch-time accounting of the Flash path: the intervals between position notices that are
// shorter than two seconds add up, and when they reach ten minutes the activity stamp is due,
// once for the whole life of the counter. Longer gaps (pauses) do not count.

#include <cstdint>

namespace nivra::player {

inline constexpr std::uint32_t kWatchGapMs = 2000;
inline constexpr std::uint32_t kWatchStampMs = 600000;

class WatchTimeCounter {
 public:
  // A position notice at the millisecond tick `nowTick` (32-bit arithmetic, so the tick count
  // may wrap). True exactly once: at the notice that brings the watched time to ten minutes.
  bool OnPositionNotice(std::uint64_t nowTick);

  std::uint32_t WatchedMs() const { return watchedMs_; }
  bool WatchStamped() const { return stamped_; }

 private:
  std::uint32_t watchedMs_ = 0;
  std::uint32_t lastTick_ = 0;
  bool stamped_ = false;
};

}  // namespace nivra::player
