#include "net/simple_udp_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "net/socket_io.h"
#include "platform/debug_output.h"
#include "platform/error.h"

namespace nivra::net {

// Shared by the client (loop thread), the watcher thread and the notices posted to the loop.
struct TSimpleUdpClient::Watch {
  TSimpleUdpClient* owner = nullptr;  // loop thread only; null once the client is gone
  int socket = -1;
  int wake = -1;  // eventfd: tells the watcher to end
  std::mutex mutex;
  std::condition_variable_any handled;
  bool noticePending = false;
  std::jthread thread;

  ~Watch() {
    if (wake >= 0) ::close(wake);
  }

  void noticeDone() {
    std::lock_guard lock(mutex);
    noticePending = false;
    handled.notify_all();
  }

  static void run(const std::shared_ptr<Watch>& self, platform::EventLoop& loop,
                  std::stop_token stop) {
    std::weak_ptr<Watch> weak = self;
    while (!stop.stop_requested()) {
      pollfd fds[2] = {{self->socket, POLLIN, 0}, {self->wake, POLLIN, 0}};
      if (::poll(fds, 2, -1) < 0) {
        if (errno == EINTR) continue;
        return;
      }
      if (fds[1].revents != 0) return;
      if ((fds[0].revents & POLLIN) == 0) {
        // A notice carrying an error is dropped; reading SO_ERROR clears it.
        int error = 0;
        socklen_t len = sizeof error;
        ::getsockopt(self->socket, SOL_SOCKET, SO_ERROR, &error, &len);
        continue;
      }
      std::unique_lock lock(self->mutex);
      self->noticePending = true;
      loop.post([weak] {
        auto watch = weak.lock();
        if (!watch) return;
        if (watch->owner) watch->owner->receive();
        watch->noticeDone();
      });
      self->handled.wait(lock, stop, [&] { return !self->noticePending; });
    }
  }
};

TSimpleUdpClient::TSimpleUdpClient(platform::EventLoop& loop) : loop_(loop) {
  socket_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (socket_ < 0) throw nivra::Error("创建SOCKET失败");
  startWatch();
}

void TSimpleUdpClient::startWatch() {
  auto watch = std::make_shared<Watch>();
  watch->owner = this;
  watch->socket = socket_;
  watch->wake = ::eventfd(0, EFD_CLOEXEC);
  try {
    if (watch->wake < 0) throw std::system_error(errno, std::generic_category());
    watch->thread = std::jthread(
        [watch, &loop = loop_](std::stop_token stop) { Watch::run(watch, loop, stop); });
  } catch (const std::system_error& e) {
    if (OnError) OnError(*this, systemErrorText(e.code().value()));
    return;
  }
  watch_ = std::move(watch);
}

TSimpleUdpClient::~TSimpleUdpClient() {
  if (watch_) {
    watch_->owner = nullptr;
    watch_->thread.request_stop();
    const std::uint64_t one = 1;
    [[maybe_unused]] auto n = ::write(watch_->wake, &one, sizeof one);
    watch_->thread.join();
  }
  ::close(socket_);
}

void TSimpleUdpClient::Send(const void* data, int len, const std::string& ip, std::uint16_t port) {
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(port);
  if (len < 0 || ::inet_pton(AF_INET, ip.c_str(), &to.sin_addr) != 1) return;
  ::sendto(socket_, data, static_cast<std::size_t>(len), MSG_NOSIGNAL,
           reinterpret_cast<const sockaddr*>(&to), sizeof to);
}

std::uint16_t TSimpleUdpClient::LocalPort() const {
  sockaddr_in local{};
  socklen_t len = sizeof local;
  if (::getsockname(socket_, reinterpret_cast<sockaddr*>(&local), &len) != 0) return 0;
  return ntohs(local.sin_port);
}

void TSimpleUdpClient::receive() {
  std::uint8_t buffer[kUdpReceiveBuffer];
  sockaddr_in from{};
  iovec io{buffer, sizeof buffer};
  msghdr msg{};
  msg.msg_name = &from;
  msg.msg_namelen = sizeof from;
  msg.msg_iov = &io;
  msg.msg_iovlen = 1;
  ssize_t n = ::recvmsg(socket_, &msg, MSG_DONTWAIT);
  if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
  // A longer datagram is cut by the system; it counts as "message too long" and is dropped.
  if (n >= 0 && (msg.msg_flags & MSG_TRUNC)) {
    errno = EMSGSIZE;
    n = -1;
  }
  if (n < 0) {
    const int error = errno;
    platform::debugOutput(std::to_string(error));
    if (OnError) OnError(*this, systemErrorText(error));
    return;
  }
  char ip[INET_ADDRSTRLEN] = {};
  ::inet_ntop(AF_INET, &from.sin_addr, ip, sizeof ip);
  if (OnRead) OnRead(buffer, static_cast<int>(n), ip, ntohs(from.sin_port));
}

}  // namespace nivra::net
