#include "platform/window_channel.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/debug_output.h"
#include "platform/folders.h"
#include "platform/messages.h"
#include "platform/unique_fd.h"
#include "platform/window_frame.h"

namespace nivra::platform {
namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

constexpr auto kFrameDeadline = 5s;  // a peer must deliver its whole frame within this
constexpr std::size_t kMaxClients = 256;

bool fillAddress(const fs::path& path, sockaddr_un& addr) {
  std::memset(&addr, 0, sizeof addr);
  addr.sun_family = AF_UNIX;
  const std::string s = path.string();
  if (s.size() >= sizeof addr.sun_path) return false;
  std::memcpy(addr.sun_path, s.c_str(), s.size() + 1);
  return true;
}

void setTimeouts(int fd, std::chrono::milliseconds timeout) {
  timeval tv{};
  tv.tv_sec = static_cast<time_t>(timeout.count() / 1000);
  tv.tv_usec = static_cast<suseconds_t>((timeout.count() % 1000) * 1000);
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
  ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
}

bool peerIsThisUser(int fd) {
  ucred cred{};
  socklen_t len = sizeof cred;
  return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) == 0 && cred.uid == ::geteuid();
}

// Messages another process may send. Everything else either carries an address that only means
// something inside this process or is sent by the window to itself.
bool crossesProcesses(std::uint32_t message) {
  return message == WM_INSTANCE_ACTIVATE || message == WM_COPYDATA || message == WM_CLOSE ||
         message == WM_STOP_PLAYBACK;
}

UniqueFd connectTo(const fs::path& path, std::chrono::milliseconds timeout) {
  sockaddr_un addr;
  if (!fillAddress(path, addr)) return {};
  UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (!fd) return {};
  setTimeouts(fd.get(), timeout);
  if (::connect(fd.get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) return {};
  // Whoever listens gets our command line: only a process of this user may.
  if (!peerIsThisUser(fd.get())) {
    debugOutput("window channel: the listener belongs to another user");
    return {};
  }
  return fd;
}

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

std::optional<std::int64_t> exchange(const WindowHandle& window, const ChannelFrame& frame,
                                     std::chrono::milliseconds timeout) {
  const UniqueFd fd = connectTo(window.socket, timeout);
  if (!fd) return std::nullopt;
  std::optional<std::int64_t> result;
  if (writeAll(fd.get(), encodeFrame(frame))) {
    if (frame.post) {
      result = 0;
    } else {
      std::uint8_t reply[kReplySize];
      std::size_t got = 0;
      while (got < kReplySize) {
        ssize_t n = ::recv(fd.get(), reply + got, kReplySize - got, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
      }
      if (got == kReplySize) result = parseReply(reply);
    }
  }
  return result;
}

}  // namespace

fs::path windowSocketPath(std::string_view className) {
  return runtimeDir() / (std::string(className) + ".sock");
}

// Shared between the owner (loop thread), the channel thread and handlers posted to the loop.
struct WindowChannelServer::State {
  EventLoop* loop = nullptr;  // the target's loop; fixed for the server's life
  // Null once the server is gone. Handlers run with the lock held, so the destructor waits for
  // a running handler (or, on the loop thread inside one, takes it again).
  std::recursive_mutex targetMutex;
  MessageTarget* target = nullptr;
  fs::path socketPath;
  UniqueFd listenFd;
  UniqueFd wakeFd;
  std::atomic<bool> stopping{false};
  std::mutex mutex;                                   // guards `replies`
  std::vector<std::pair<int, std::int64_t>> replies;  // client fd, result
  std::thread thread;

  struct Client {
    UniqueFd fd;  // the map's key stays valid while the client is in the map
    std::vector<std::uint8_t> buffer;
    std::chrono::steady_clock::time_point deadline;
    bool awaitingReply = false;
  };

  void run(std::shared_ptr<State> self);
  void deliver(std::shared_ptr<State> self, int fd, ChannelFrame frame);
  void queueReply(int fd, std::int64_t result) {
    {
      std::lock_guard lock(mutex);
      replies.emplace_back(fd, result);
    }
    std::uint64_t one = 1;
    [[maybe_unused]] auto n = ::write(wakeFd.get(), &one, sizeof one);
  }
};

void WindowChannelServer::State::deliver(std::shared_ptr<State> self, int fd, ChannelFrame frame) {
  loop->post([self, fd, frame = std::move(frame)]() mutable {
    std::lock_guard lock(self->targetMutex);
    if (!self->target) return;  // the server is gone; the peer sees its connection close
    // Only the record's bytes cross processes; no other parameter is taken for an address.
    Message msg{frame.message, static_cast<std::intptr_t>(frame.wParam), 0};
    CopyDataRecord record;
    if (frame.message == WM_COPYDATA) {
      record.dwData = frame.dwData;
      record.cbData = static_cast<std::uint32_t>(frame.data.size());
      record.lpData = frame.data.data();
      msg.lParam = reinterpret_cast<std::intptr_t>(&record);
    }
    // The handler may end the server (the window closes); then no reply is queued.
    auto replyIfServing = [&](std::int64_t result) {
      if (!frame.post && self->target) self->queueReply(fd, result);
    };
    std::int64_t result = 0;
    try {
      result = self->target->handleMessage(msg);
    } catch (...) {
      replyIfServing(0);  // a handler that throws still answers
      throw;
    }
    replyIfServing(result);
  });
}

void WindowChannelServer::State::run(std::shared_ptr<State> self) {
  std::map<int, Client> clients;
  auto drop = [&](int fd) { clients.erase(fd); };
  while (!stopping) {
    std::vector<pollfd> fds;
    fds.push_back({wakeFd.get(), POLLIN, 0});
    if (clients.size() < kMaxClients) fds.push_back({listenFd.get(), POLLIN, 0});
    for (auto& [fd, c] : clients)
      if (!c.awaitingReply) fds.push_back({fd, POLLIN, 0});
    ::poll(fds.data(), fds.size(), 250);
    if (stopping) break;

    std::uint64_t counter;
    while (::read(wakeFd.get(), &counter, sizeof counter) > 0) {
    }
    std::vector<std::pair<int, std::int64_t>> ready;
    {
      std::lock_guard lock(mutex);
      ready.swap(replies);
    }
    for (auto [fd, result] : ready) {
      if (!clients.count(fd)) continue;
      writeAll(fd, encodeReply(result));
      drop(fd);
    }

    const auto now = std::chrono::steady_clock::now();
    for (const pollfd& p : fds) {
      if (p.fd == wakeFd.get() || !(p.revents & (POLLIN | POLLHUP | POLLERR))) continue;
      if (p.fd == listenFd.get()) {
        for (;;) {
          UniqueFd fd(::accept4(listenFd.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
          if (!fd) break;
          if (!peerIsThisUser(fd.get())) {
            debugOutput("window channel: refused a peer of another user");
            continue;
          }
          const int key = fd.get();
          clients[key] = Client{std::move(fd), {}, now + kFrameDeadline, false};
          if (clients.size() >= kMaxClients) break;
        }
        continue;
      }
      auto it = clients.find(p.fd);
      if (it == clients.end() || it->second.awaitingReply) continue;
      Client& c = it->second;
      std::uint8_t buf[4096];
      ssize_t n = ::recv(p.fd, buf, sizeof buf, 0);
      if (n <= 0) {
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
        drop(p.fd);  // closed before a whole frame: nothing to deliver
        continue;
      }
      c.buffer.insert(c.buffer.end(), buf, buf + n);
      FrameParse parsed = parseFrame(c.buffer);
      if (parsed.status == FrameStatus::Bad) {
        debugOutput("window channel: dropped a malformed frame");
        drop(p.fd);
      } else if (parsed.status == FrameStatus::Complete &&
                 !crossesProcesses(parsed.frame.message)) {
        debugOutput("window channel: refused message " + std::to_string(parsed.frame.message));
        drop(p.fd);
      } else if (parsed.status == FrameStatus::Complete) {
        bool post = parsed.frame.post;
        deliver(self, p.fd, std::move(parsed.frame));
        if (post)
          drop(p.fd);
        else
          c.awaitingReply = true;
      }
    }
    // Peers that stall mid-frame are dropped so they cannot hold a slot forever.
    for (auto it = clients.begin(); it != clients.end();) {
      if (!it->second.awaitingReply && now > it->second.deadline) {
        it = clients.erase(it);
      } else {
        ++it;
      }
    }
  }
}

WindowChannelServer::WindowChannelServer(std::string className, MessageTarget& target)
    : state_(std::make_shared<State>()) {
  state_->loop = &target.loop();
  state_->target = &target;
  state_->socketPath = windowSocketPath(className);
  sockaddr_un addr;
  if (!fillAddress(state_->socketPath, addr)) return;
  UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (!fd) return;
  ::unlink(state_->socketPath.c_str());
  if (::bind(fd.get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      ::chmod(state_->socketPath.c_str(), 0600) != 0 || ::listen(fd.get(), 128) != 0)
    return;
  state_->listenFd = std::move(fd);
  state_->wakeFd = UniqueFd(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC));
  state_->thread = std::thread([s = state_] { s->run(s); });
}

WindowChannelServer::~WindowChannelServer() {
  {
    std::lock_guard lock(state_->targetMutex);
    state_->target = nullptr;
  }
  if (!state_->listenFd) return;
  state_->stopping = true;
  std::uint64_t one = 1;
  [[maybe_unused]] auto n = ::write(state_->wakeFd.get(), &one, sizeof one);
  state_->thread.join();
  state_->listenFd.reset();
  state_->wakeFd.reset();
  ::unlink(state_->socketPath.c_str());
}

bool WindowChannelServer::listening() const { return state_->listenFd.valid(); }

std::optional<WindowHandle> findWindow(std::string_view className) {
  WindowHandle handle{windowSocketPath(className)};
  if (!connectTo(handle.socket, 2000ms)) return std::nullopt;
  return handle;
}

std::optional<std::int64_t> sendWindowMessage(const WindowHandle& window, const Message& msg,
                                              std::chrono::milliseconds timeout) {
  ChannelFrame frame;
  frame.message = msg.id;
  frame.wParam = msg.wParam;
  frame.lParam = msg.lParam;
  return exchange(window, frame, timeout);
}

std::optional<std::int64_t> sendCopyData(const WindowHandle& window, std::intptr_t wParam,
                                         const CopyDataRecord& record,
                                         std::chrono::milliseconds timeout) {
  if (record.cbData > kMaxCopyDataBytes || (record.cbData && !record.lpData)) return std::nullopt;
  ChannelFrame frame;
  frame.message = WM_COPYDATA;
  frame.wParam = wParam;
  frame.dwData = record.dwData;
  frame.data.assign(static_cast<const char*>(record.lpData), record.cbData);
  return exchange(window, frame, timeout);
}

bool postWindowMessage(const WindowHandle& window, const Message& msg) {
  ChannelFrame frame;
  frame.post = true;
  frame.message = msg.id;
  frame.wParam = msg.wParam;
  frame.lParam = msg.lParam;
  return exchange(window, frame, 2000ms).has_value();
}

}  // namespace nivra::platform
