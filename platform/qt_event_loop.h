#pragma once
// The program's EventLoop on Qt: timers are QTimers, posts are queued calls into the thread of
// the QCoreApplication. An exception that escapes a timer or posted call goes to the handler set
// with setExceptionHandler (the main window's error dialog), so it never ends the loop.

#include <QObject>
#include <functional>
#include <map>
#include <memory>

#include "platform/event_loop.h"

class QTimer;

namespace nivra::platform {

class QtEventLoop final : public EventLoop {
 public:
  QtEventLoop();
  ~QtEventLoop() override;

  TimerId startTimer(int ms, std::function<void()> fn) override;
  void killTimer(TimerId id) override;
  void post(std::function<void()> fn) override;
  Clock::time_point now() const override;
  std::uint64_t tickMs() const override;

  using ExceptionHandler = std::function<void(const std::string& message)>;
  void setExceptionHandler(ExceptionHandler handler);
  // Runs `fn`, passing an escaping exception's message to the handler.
  void guarded(const std::function<void()>& fn) const;

 private:
  std::unique_ptr<QObject> context_;
  std::map<TimerId, QTimer*> timers_;
  TimerId nextId_ = 1;
  std::shared_ptr<ExceptionHandler> handler_;
};

}  // namespace nivra::platform
