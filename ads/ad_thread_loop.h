#pragma once
// An EventLoop on a thread of its own, for the ad scheduler's passes: timers and posted work run
// on that thread until the loop is destroyed, which ends the thread and joins it.

#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/event_loop.h"

namespace nivra::ads {

class ThreadEventLoop final : public platform::EventLoop {
 public:
  ThreadEventLoop();
  // Stops the thread after the callback under way and joins it; pending work is dropped.
  ~ThreadEventLoop() override;
  ThreadEventLoop(const ThreadEventLoop&) = delete;
  ThreadEventLoop& operator=(const ThreadEventLoop&) = delete;

  // Thread-safe here (the contract asks only for the loop thread).
  TimerId startTimer(int ms, std::function<void()> fn) override;
  void killTimer(TimerId id) override;
  void post(std::function<void()> fn) override;
  Clock::time_point now() const override;
  std::uint64_t tickMs() const override;

 private:
  struct Timer {
    int interval;
    std::uint64_t due;
    std::function<void()> fn;
  };
  void run(std::stop_token stop);

  std::mutex mutex_;
  std::condition_variable_any wake_;
  std::map<TimerId, Timer> timers_;
  std::vector<std::function<void()>> posted_;
  TimerId nextId_ = 1;
  std::jthread thread_;  // last: started after the fields above exist
};

}  // namespace nivra::ads
