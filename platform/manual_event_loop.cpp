#include "platform/manual_event_loop.h"

#include <algorithm>

namespace nivra::platform {

ManualEventLoop::ManualEventLoop(Clock::time_point start) : wallStart_(start) {}

EventLoop::TimerId ManualEventLoop::startTimer(int ms, std::function<void()> fn) {
  TimerId id = nextId_++;
  int interval = std::max(ms, 1);
  timers_[id] = Timer{interval, tick_ + static_cast<std::uint64_t>(interval), std::move(fn)};
  return id;
}

void ManualEventLoop::killTimer(TimerId id) { timers_.erase(id); }

void ManualEventLoop::post(std::function<void()> fn) {
  std::lock_guard lock(postMutex_);
  posted_.push_back(std::move(fn));
}

EventLoop::Clock::time_point ManualEventLoop::now() const {
  return wallStart_ + std::chrono::milliseconds(tick_);
}

std::uint64_t ManualEventLoop::tickMs() const { return tick_; }

std::size_t ManualEventLoop::runPending() {
  std::size_t ran = 0;
  for (;;) {
    std::vector<std::function<void()>> batch;
    {
      std::lock_guard lock(postMutex_);
      batch.swap(posted_);
    }
    if (batch.empty()) return ran;
    for (auto& fn : batch) {
      fn();
      ++ran;
    }
  }
}

void ManualEventLoop::advance(std::int64_t ms) {
  const std::uint64_t end = tick_ + static_cast<std::uint64_t>(std::max<std::int64_t>(ms, 0));
  runPending();
  for (;;) {
    auto next = std::min_element(timers_.begin(), timers_.end(), [](const auto& a, const auto& b) {
      return a.second.due < b.second.due || (a.second.due == b.second.due && a.first < b.first);
    });
    if (next == timers_.end() || next->second.due > end) break;
    tick_ = next->second.due;
    next->second.due += static_cast<std::uint64_t>(next->second.interval);
    auto fn = next->second.fn;  // a copy: the callback may kill its own timer
    fn();
    runPending();
  }
  tick_ = end;
}

void ManualEventLoop::setNow(Clock::time_point t) {
  wallStart_ = t - std::chrono::milliseconds(tick_);
}

std::size_t ManualEventLoop::activeTimers() const { return timers_.size(); }

}  // namespace nivra::platform
