#pragma once
// The event loop every window, timer and message handler runs on. The program uses the Qt
// implementation; tests use ManualEventLoop with virtual time.

#include <chrono>
#include <cstdint>
#include <functional>

namespace nivra::platform {

class EventLoop {
 public:
  using TimerId = std::uint64_t;
  using Clock = std::chrono::system_clock;

  virtual ~EventLoop() = default;

  // Starts a repeating timer that calls `fn` on the loop's thread every `ms` milliseconds until
  // killTimer. Returns a non-zero id. Loop thread only.
  virtual TimerId startTimer(int ms, std::function<void()> fn) = 0;
  // Stops a timer; unknown or already stopped ids are ignored. Loop thread only; may be called
  // from inside the timer's own callback.
  virtual void killTimer(TimerId id) = 0;
  // Queues `fn` to run on the loop's thread. Thread-safe; posts run in the order they were made.
  virtual void post(std::function<void()> fn) = 0;
  // Wall-clock time (local dates are derived from it).
  virtual Clock::time_point now() const = 0;
  // Milliseconds of a monotonic clock, for intervals.
  virtual std::uint64_t tickMs() const = 0;
};

}  // namespace nivra::platform
