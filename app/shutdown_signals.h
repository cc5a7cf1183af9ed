#pragma once
// SIGTERM, SIGINT and SIGHUP (logout, shutdown, Ctrl+C, a closed terminal) end the program the
// normal way: the handler only writes the signal number into a pipe, and the loop's notifier on
// that pipe calls back on the GUI thread, where the main window is closed as by its close
// command. One instance at a time; the previous handlers come back when it is destroyed.

#include <functional>
#include <memory>

class QSocketNotifier;

namespace nivra::app {

class ShutdownSignals {
 public:
  // `onSignal` runs on the loop's thread once per signal that arrives while the loop runs.
  explicit ShutdownSignals(std::function<void()> onSignal);
  ~ShutdownSignals();
  ShutdownSignals(const ShutdownSignals&) = delete;
  ShutdownSignals& operator=(const ShutdownSignals&) = delete;

 private:
  struct Saved;
  std::unique_ptr<Saved> saved_;
  int pipe_[2] = {-1, -1};
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace nivra::app
