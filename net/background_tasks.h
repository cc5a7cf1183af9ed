#pragma once
// The process-wide registry of worker threads. Creators start work and forget it; the registry
// keeps every std::jthread, reaps finished ones, and at program end asks all of them to stop
// (stop token) and joins them, so no worker outlives the objects it uses. Work hands anything
// that touches windows to the GUI thread with EventLoop::post.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <list>
#include <mutex>
#include <stop_token>
#include <thread>

namespace nivra::net {

class BackgroundTasks {
 public:
  using Work = std::function<void(std::stop_token)>;

  BackgroundTasks() = default;
  // stopAndJoin().
  ~BackgroundTasks();
  BackgroundTasks(const BackgroundTasks&) = delete;
  BackgroundTasks& operator=(const BackgroundTasks&) = delete;

  // The program's registry. The program calls stopAndJoin() on it before main returns.
  static BackgroundTasks& instance();

  // Runs `work` on a new worker; an exception escaping it is swallowed. False (and `work` never
  // runs) once stopAndJoin has begun. Any thread.
  bool start(Work work);
  // Requests stop of every worker and waits for all to end; later start() calls are refused.
  // Never from a worker of this registry.
  void stopAndJoin();
  // Waits until no worker runs; false when `timeout` passed first.
  bool waitIdle(std::chrono::milliseconds timeout);
  // Workers that have not finished yet.
  std::size_t running() const;

  // Sleeps for `duration` unless a stop is requested first; true when the whole time passed.
  static bool sleepFor(std::stop_token stop, std::chrono::milliseconds duration);

 private:
  struct Worker {
    std::jthread thread;
    bool done = false;
  };
  void reapFinishedLocked(std::list<Worker>& reaped);

  mutable std::mutex mutex_;
  std::condition_variable idle_;
  std::list<Worker> workers_;
  std::size_t running_ = 0;
  bool stopping_ = false;
};

}  // namespace nivra::net
