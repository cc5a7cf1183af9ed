#pragma once
// The scheduled shutdown without its windows: the check of the dialog's fields, the waiter that
// watches the target time on the event loop, and the count-down of the hint window.

#include <chrono>
#include <functional>
#include <string>

#include "platform/event_loop.h"

namespace nivra::app {

class PowerManager;

using WallTime = platform::EventLoop::Clock::time_point;

// The dialog's fields as the user left them.
struct ShutDownFields {
  std::string year, month, day, time;  // time: "hh:mm"
};

// The fields as they are shown when the dialog opens: the local date and time of `now`.
ShutDownFields ShutDownFieldsFor(WallTime now);
// The target the fields name (local time, seconds 0). Throws nivra::Error "请检查你的日期是否正确!"
// for an invalid date or time, and the "关机时间设置不对…" text when `now` is later than it.
WallTime ShutDownTarget(const ShutDownFields& fields, WallTime now);
// "YYYY-MM-DD hh:mm" in local time.
std::string FormatShutDownTime(WallTime t);
// The hint window's label for `seconds` left.
std::string ShutDownHintText(int seconds);

// TShutDownThread: checks every 5 seconds (and once at once) whether the target has passed and
// then calls `shutdownStep` once and stops. A new Schedule replaces the earlier wait; Stop and
// destruction end it without a call. Loop thread only.
class TShutDownThread {
 public:
  static constexpr int kCheckIntervalMs = 5000;

  TShutDownThread(platform::EventLoop& loop, std::function<void()> shutdownStep);
  ~TShutDownThread();
  TShutDownThread(const TShutDownThread&) = delete;
  TShutDownThread& operator=(const TShutDownThread&) = delete;

  void Schedule(WallTime target);
  void Stop();
  bool Waiting() const { return timer_ != 0; }

 private:
  void check();

  platform::EventLoop& loop_;
  std::function<void()> step_;
  WallTime target_{};
  platform::EventLoop::TimerId timer_ = 0;
};

// The hint window's count-down: shows 30, then every second one less; at 0 it finishes with
// `true` (power off). Cancel finishes with `false`; Now finishes with `true` at once. Finishes
// at most once.
class ShutDownCountDown {
 public:
  static constexpr int kSeconds = 30;

  ShutDownCountDown(platform::EventLoop& loop, std::function<void(const std::string&)> showText,
                    std::function<void(bool powerOff)> finished);
  ~ShutDownCountDown();
  ShutDownCountDown(const ShutDownCountDown&) = delete;
  ShutDownCountDown& operator=(const ShutDownCountDown&) = delete;

  void Start();
  void Now() { finish(true); }
  void Cancel() { finish(false); }

 private:
  void finish(bool powerOff);

  platform::EventLoop& loop_;
  std::function<void(const std::string&)> show_;
  std::function<void(bool)> finished_;
  platform::EventLoop::TimerId timer_ = 0;
  int counter_ = kSeconds;
  bool done_ = false;
};

// The shutdown step after the count-down: powers off when allowed, then ends the application
// through `endApplication`, whether or not the power-off was accepted.
void RunShutDown(PowerManager& power, const std::function<void()>& endApplication);

}  // namespace nivra::app
