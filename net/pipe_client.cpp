#include "net/pipe_client.h"

#include <sys/socket.h>
#include <sys/un.h>

#include <cerrno>
#include <cstring>

#include "net/pipe_protocol.h"
#include "net/socket_io.h"
#include "platform/error.h"
#include "platform/unique_fd.h"

namespace nivra::net {
namespace {

using Clock = std::chrono::steady_clock;

platform::UniqueFd connectPipe(const std::filesystem::path& path,
                               std::chrono::milliseconds busyWait) {
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  const std::string name = path.string();
  if (name.size() >= sizeof addr.sun_path) throw nivra::Error("命名管道不存在");
  std::memcpy(addr.sun_path, name.c_str(), name.size() + 1);
  platform::UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  // The send time-out also bounds a connect that waits for a full backlog (a busy service).
  if (!fd || !setSocketTimeouts(fd.get(), busyWait)) throw nivra::Error("命名管道不存在");
  if (::connect(fd.get(), reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
    if (errno == EAGAIN || errno == EWOULDBLOCK) throw nivra::Error("命名管道Mang");
    throw nivra::Error("命名管道不存在");
  }
  return fd;
}

}  // namespace

TPipeClient::TPipeClient(std::string_view id, std::chrono::milliseconds timeLimit)
    : path_(pipeSocketPath(id)), timeLimit_(timeLimit) {}

std::string TPipeClient::Transact(const void* data, std::uint32_t len) {
  platform::UniqueFd fd = connectPipe(path_, timeLimit_);
  const std::string request =
      EncodePipeMessage(std::string_view(static_cast<const char*>(data), len));
  if (!sendAll(fd.get(), request.data(), request.size())) return {};

  int pending = 0;
  socklen_t size = sizeof pending;
  if (::getsockopt(fd.get(), SOL_SOCKET, SO_ERROR, &pending, &size) != 0 || pending != 0)
    throw nivra::Error("读取数据错误");

  const auto deadline = Clock::now() + timeLimit_;
  const int socket = fd.get();
  return ReadPipeReply([&](char* buffer, std::size_t max) -> long {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0 || !waitReadable(socket, left)) return -1;
    ssize_t n;
    do {
      n = ::recv(socket, buffer, max, 0);
    } while (n < 0 && errno == EINTR);
    return static_cast<long>(n);
  });
}

bool TPipeClient::SendRequest(const void* data, std::uint32_t len) {
  try {
    Transact(data, len);
    return true;
  } catch (const nivra::Error&) {
    return false;
  }
}

void NotifyServiceClose() {
  const std::string payload = RequestPayload(kCloseNoticeCode);
  TPipeClient(kServicePipeId)
      .SendRequest(payload.data(), static_cast<std::uint32_t>(payload.size()));
}

bool ProbeService() {
  const std::string payload = RequestPayload(kProbeCode);
  return TPipeClient(kServicePipeId)
      .SendRequest(payload.data(), static_cast<std::uint32_t>(payload.size()));
}

}  // namespace nivra::net
