#pragma once
// An EventLoop with virtual time for tests: nothing happens until the test advances time or
// runs the posted work, so a 15-second count-down is checked in microseconds.

#include <map>
#include <mutex>
#include <vector>

#include "platform/event_loop.h"

namespace nivra::platform {

class ManualEventLoop final : public EventLoop {
 public:
  explicit ManualEventLoop(Clock::time_point start = Clock::time_point{} + std::chrono::hours(24 * 365 * 56));

  TimerId startTimer(int ms, std::function<void()> fn) override;
  void killTimer(TimerId id) override;
  void post(std::function<void()> fn) override;
  Clock::time_point now() const override;
  std::uint64_t tickMs() const override;

  // Runs posted work (also work posted while running) until none is left. Returns how many ran.
  std::size_t runPending();
  // Moves virtual time forward by `ms`, firing every timer that falls due in order, and running
  // posted work after each firing.
  void advance(std::int64_t ms);
  // Sets the wall clock without firing timers (for date-dependent logic).
  void setNow(Clock::time_point t);
  std::size_t activeTimers() const;

 private:
  struct Timer {
    int interval;
    std::uint64_t due;
    std::function<void()> fn;
  };
  mutable std::mutex postMutex_;
  std::vector<std::function<void()>> posted_;
  std::map<TimerId, Timer> timers_;
  TimerId nextId_ = 1;
  std::uint64_t tick_ = 0;
  Clock::time_point wallStart_;
};

}  // namespace nivra::platform
