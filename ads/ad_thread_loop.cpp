#include "ads/ad_thread_loop.h"

#include <algorithm>
#include <chrono>

namespace nivra::ads {

ThreadEventLoop::ThreadEventLoop() : thread_([this](std::stop_token stop) { run(stop); }) {}

ThreadEventLoop::~ThreadEventLoop() {
  thread_.request_stop();
  wake_.notify_all();
  thread_.join();
}

platform::EventLoop::TimerId ThreadEventLoop::startTimer(int ms, std::function<void()> fn) {
  std::lock_guard lock(mutex_);
  const int interval = std::max(ms, 1);
  const TimerId id = nextId_++;
  timers_[id] = Timer{interval, tickMs() + static_cast<std::uint64_t>(interval), std::move(fn)};
  wake_.notify_all();
  return id;
}

void ThreadEventLoop::killTimer(TimerId id) {
  std::lock_guard lock(mutex_);
  timers_.erase(id);
}

void ThreadEventLoop::post(std::function<void()> fn) {
  std::lock_guard lock(mutex_);
  posted_.push_back(std::move(fn));
  wake_.notify_all();
}

platform::EventLoop::Clock::time_point ThreadEventLoop::now() const { return Clock::now(); }

std::uint64_t ThreadEventLoop::tickMs() const {
  using namespace std::chrono;
  return static_cast<std::uint64_t>(
      duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void ThreadEventLoop::run(std::stop_token stop) {
  std::unique_lock lock(mutex_);
  while (!stop.stop_requested()) {
    if (!posted_.empty()) {
      auto batch = std::move(posted_);
      posted_.clear();
      lock.unlock();
      for (auto& fn : batch) fn();
      lock.lock();
      continue;
    }
    auto next = std::min_element(timers_.begin(), timers_.end(), [](const auto& a, const auto& b) {
      return a.second.due < b.second.due;
    });
    if (next == timers_.end()) {
      wake_.wait(lock, stop, [&] { return !posted_.empty() || !timers_.empty(); });
      continue;
    }
    const std::uint64_t tick = tickMs();
    if (next->second.due > tick) {
      wake_.wait_for(lock, stop, std::chrono::milliseconds(next->second.due - tick),
                     [&] { return !posted_.empty(); });
      continue;
    }
    next->second.due = tick + static_cast<std::uint64_t>(next->second.interval);
    auto fn = next->second.fn;  // a copy: the callback may kill its own timer
    lock.unlock();
    fn();
    lock.lock();
  }
}

}  // namespace nivra::ads
