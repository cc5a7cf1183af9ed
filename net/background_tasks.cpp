#include "net/background_tasks.h"

namespace nivra::net {

BackgroundTasks::~BackgroundTasks() { stopAndJoin(); }

BackgroundTasks& BackgroundTasks::instance() {
  static BackgroundTasks tasks;
  return tasks;
}

void BackgroundTasks::reapFinishedLocked(std::list<Worker>& reaped) {
  for (auto it = workers_.begin(); it != workers_.end();) {
    auto next = std::next(it);
    if (it->done) reaped.splice(reaped.end(), workers_, it);
    it = next;
  }
}

bool BackgroundTasks::start(Work work) {
  std::list<Worker> reaped;  // joined outside the lock, when this function returns
  std::lock_guard lock(mutex_);
  if (stopping_) return false;
  reapFinishedLocked(reaped);
  auto entry = workers_.emplace(workers_.end());
  ++running_;
  entry->thread = std::jthread([this, entry, work = std::move(work)](std::stop_token stop) {
    try {
      work(stop);
    } catch (...) {
    }
    std::lock_guard done(mutex_);
    entry->done = true;
    --running_;
    idle_.notify_all();
  });
  return true;
}

void BackgroundTasks::stopAndJoin() {
  std::list<Worker> all;
  {
    std::unique_lock lock(mutex_);
    stopping_ = true;
    for (auto& w : workers_) w.thread.request_stop();
    idle_.wait(lock, [this] { return running_ == 0; });
    all.swap(workers_);
  }
  // Every worker has left its function; destroying the threads joins them.
}

bool BackgroundTasks::waitIdle(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  return idle_.wait_for(lock, timeout, [this] { return running_ == 0; });
}

std::size_t BackgroundTasks::running() const {
  std::lock_guard lock(mutex_);
  return running_;
}

bool BackgroundTasks::sleepFor(std::stop_token stop, std::chrono::milliseconds duration) {
  std::mutex m;
  std::condition_variable_any cv;
  std::unique_lock lock(m);
  cv.wait_for(lock, stop, duration, [] { return false; });
  return !stop.stop_requested();
}

}  // namespace nivra::net
