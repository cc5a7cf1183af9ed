#include "app/shutdown_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <atomic>
#include <cerrno>

#include "platform/debug_output.h"

namespace nivra::app {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
std::atomic<int> gWriteEnd{-1};

void onSignal(int signo) {
  const int savedErrno = errno;
  const int fd = gWriteEnd.load();
  const char c = static_cast<char>(signo);
  if (fd >= 0) [[maybe_unused]]
    auto n = ::write(fd, &c, 1);  // a full pipe already has a wake-up
  errno = savedErrno;
}

}  // namespace

struct ShutdownSignals::Saved {
  struct sigaction actions[std::size(kSignals)];
};

ShutdownSignals::ShutdownSignals(std::function<void()> callback)
    : saved_(std::make_unique<Saved>()) {
  if (::pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0) {
    platform::debugOutput("shutdown signals: no pipe; signals keep their default action");
    return;
  }
  notifier_ = std::make_unique<QSocketNotifier>(pipe_[0], QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, [fd = pipe_[0], callback] {
    char buf[16];
    while (::read(fd, buf, sizeof buf) > 0) {
    }
    callback();
  });
  gWriteEnd = pipe_[1];
  struct sigaction action {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (std::size_t i = 0; i < std::size(kSignals); ++i)
    ::sigaction(kSignals[i], &action, &saved_->actions[i]);
}

ShutdownSignals::~ShutdownSignals() {
  if (pipe_[0] < 0) return;
  for (std::size_t i = 0; i < std::size(kSignals); ++i)
    ::sigaction(kSignals[i], &saved_->actions[i], nullptr);
  gWriteEnd = -1;
  notifier_.reset();
  ::close(pipe_[0]);
  ::close(pipe_[1]);
}

}  // namespace nivra::app
