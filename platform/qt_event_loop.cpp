#include "platform/qt_event_loop.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QTimer>
#include <chrono>
#include <exception>

namespace nivra::platform {

QtEventLoop::QtEventLoop()
    : context_(std::make_unique<QObject>()), handler_(std::make_shared<ExceptionHandler>()) {}

QtEventLoop::~QtEventLoop() = default;  // timers are children of context_

void QtEventLoop::setExceptionHandler(ExceptionHandler handler) { *handler_ = std::move(handler); }

namespace {

void runGuarded(const std::function<void()>& fn, const QtEventLoop::ExceptionHandler& handler) {
  try {
    fn();
  } catch (const std::exception& e) {
    if (handler) handler(e.what());
  } catch (...) {
    if (handler) handler("unknown error");
  }
}

}  // namespace

void QtEventLoop::guarded(const std::function<void()>& fn) const { runGuarded(fn, *handler_); }

EventLoop::TimerId QtEventLoop::startTimer(int ms, std::function<void()> fn) {
  TimerId id = nextId_++;
  auto* timer = new QTimer(context_.get());
  timer->setInterval(ms);
  QObject::connect(timer, &QTimer::timeout, timer, [this, fn = std::move(fn)] { guarded(fn); });
  timers_[id] = timer;
  timer->start();
  return id;
}

void QtEventLoop::killTimer(TimerId id) {
  auto it = timers_.find(id);
  if (it == timers_.end()) return;
  it->second->stop();
  it->second->deleteLater();  // the timer may be inside its own timeout signal
  timers_.erase(it);
}

void QtEventLoop::post(std::function<void()> fn) {
  // Queued into the application object's thread; safe from any thread. The handler is shared so
  // a post that runs after this loop is gone still has a valid one.
  QMetaObject::invokeMethod(
      QCoreApplication::instance(),
      [handler = handler_, fn = std::move(fn)] { runGuarded(fn, *handler); },
      Qt::QueuedConnection);
}

EventLoop::Clock::time_point QtEventLoop::now() const { return Clock::now(); }

std::uint64_t QtEventLoop::tickMs() const {
  return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                        std::chrono::steady_clock::now().time_since_epoch())
                                        .count());
}

}  // namespace nivra::platform
