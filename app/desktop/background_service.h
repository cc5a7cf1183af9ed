#pragma once
// CheckBackgroundService: makes sure the background service runs, asking for elevated rights at
// most once per run. Driven by the library-loading timer; the outside world comes in through
// hooks so the decision can be tested on its own.

#include <functional>
#include <string>

namespace nivra::app {

struct BackgroundServiceHooks {
  std::function<bool()> probe;              // the service answers the presence probe
  std::function<bool()> elevated;           // the process runs with administrator rights
  std::function<void()> runServiceControl;  // the "/ShellSvc" work, in this process
  std::function<void()> startElevated;      // this program again, elevated, with "/ShellSvc"
};

// The hooks of the running program: the pipe client's probe, the systemd service control and
// pkexec of `programPath`.
BackgroundServiceHooks SystemBackgroundServiceHooks(const std::string& programPath);

class BackgroundServiceCheck {
 public:
  explicit BackgroundServiceCheck(BackgroundServiceHooks hooks) : hooks_(std::move(hooks)) {}

  // One check. `argument1` is the program's first argument (empty when none): after "/A" or
  // "/SETUPRUN" the elevation request waits for the second check.
  void CheckBackgroundService(const std::string& argument1);
  int counter() const { return counter_; }

 private:
  BackgroundServiceHooks hooks_;
  int counter_ = 0;  // 0 at start, at most 2
};

}  // namespace nivra::app
