#include "net/ftp_client.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <mutex>
#include <optional>
#include <vector>

#include "net/download_urls.h"
#include "net/ftp_reply.h"
#include "net/ftp_reply_drain.h"
#include "net/resolve_host.h"
#include "net/socket_io.h"
#include "platform/debug_output.h"

namespace nivra::net {
namespace {

using nivra::platform::debugOutput;
using std::chrono::milliseconds;

// Sockets a stop request may shut down from another thread. A descriptor leaves the set before
// it is closed, so the stopping thread never touches a reused number.
class CancelableSockets {
 public:
  void add(int fd) {
    std::lock_guard lock(mutex_);
    if (cancelled_) ::shutdown(fd, SHUT_RDWR);
    fds_.push_back(fd);
  }
  void close(platform::UniqueFd& fd) {
    {
      std::lock_guard lock(mutex_);
      std::erase(fds_, fd.get());
    }
    fd.reset();
  }
  void cancel() {
    std::lock_guard lock(mutex_);
    cancelled_ = true;
    for (int fd : fds_) ::shutdown(fd, SHUT_RDWR);
  }

 private:
  std::mutex mutex_;
  std::vector<int> fds_;
  bool cancelled_ = false;
};

bool appendBlock(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// Sends REST (when resuming) and RETR. Neither reply is examined: REST's first block is
// awaited (at most 0.5 s) so that RETR follows it, and the replies are then drained by the
// returned read, which the transfer advances while the data arrives.
std::optional<FtpReplyDrain> requestFile(int control, std::string_view path,
                                         std::int64_t restartAt) {
  if (restartAt > 0) {
    if (!SendCommand(control, "REST " + std::to_string(restartAt))) return std::nullopt;
    FtpReplyDrain rest(control);
    if (waitReadable(control, kFtpDrainWait)) rest.readBlock();
  }
  if (!SendCommand(control, "RETR " + std::string(path))) return std::nullopt;
  return FtpReplyDrain(control);
}

struct ReceiveResult {
  std::int64_t local;
  bool writeFailed;
};

// Appends what the data connection brings until `limit` bytes are held (limit < 0: until the
// connection ends), a receive fails, or 5 s pass without data. The control connection is
// drained meanwhile; what it has sent by the end is taken, and the read ends with the data.
ReceiveResult receiveInto(int data, int file, std::int64_t local, std::int64_t limit,
                          FtpReplyDrain& drain) {
  using Clock = FtpReplyDrain::Clock;
  std::vector<char> buffer(kFtpDataBlock);
  bool writeFailed = false;
  auto dataDeadline = Clock::now() + milliseconds(kFtpSocketTimeoutMs);
  while (limit < 0 || local < limit) {
    const auto now = Clock::now();
    if (now >= dataDeadline) break;
    drain.expire(now);
    pollfd fds[2] = {{data, POLLIN, 0}, {drain.active() ? drain.socket() : -1, POLLIN, 0}};
    auto wait = std::chrono::ceil<milliseconds>(dataDeadline - now);
    if (drain.active()) wait = std::min(wait, drain.waitLeft(now));
    const int ready = ::poll(fds, 2, static_cast<int>(wait.count()));
    if (ready < 0 && errno != EINTR) break;
    if (ready <= 0) continue;
    if (fds[1].revents != 0) drain.readBlock();
    if (fds[0].revents == 0) continue;
    const ssize_t n = ::recv(data, buffer.data(), buffer.size(), MSG_DONTWAIT);
    if (n < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) continue;
    if (n <= 0) break;
    local += n;
    dataDeadline = Clock::now() + milliseconds(kFtpSocketTimeoutMs);
    if (!appendBlock(file, buffer.data(), static_cast<std::size_t>(n))) {
      writeFailed = true;
      break;
    }
  }
  drain.finishNow();
  return {local, writeFailed};
}

}  // namespace

bool SendCommand(int socket, std::string_view text) {
  const auto line = FormatCommand(text);
  return line && sendAll(socket, line->data(), line->size());
}

std::string ReadReply(int socket) {
  char buffer[kFtpBufferSize] = {};
  ssize_t n;
  do {
    n = ::recv(socket, buffer, sizeof buffer, 0);
  } while (n < 0 && errno == EINTR);
  if (n <= 0) return {};
  return ReplyText(std::string_view(buffer, static_cast<std::size_t>(n)));
}

std::string ReadReplyDrained(int socket) {
  FtpReplyDrain drain(socket);
  return DrainReply(drain);
}

platform::UniqueFd FtpConnect(const std::string& hostAddress, std::uint16_t port) {
  platform::UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (!fd) {
    debugOutput(systemErrorText(errno));
    return {};
  }
  setSocketTimeouts(fd.get(), milliseconds(kFtpSocketTimeoutMs));
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(port);
  if (::inet_pton(AF_INET, hostAddress.c_str(), &addr.sin_addr) != 1) {
    debugOutput(systemErrorText(EADDRNOTAVAIL));
    return {};
  }
  if (::connect(fd.get(), reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
    debugOutput(systemErrorText(errno));
    return {};
  }
  return fd;
}

bool FtpLogin(int control, std::string_view user, std::string_view password) {
  if (!SendCommand(control, "user " + std::string(user))) return false;
  if (!ReplyBeginsWith(ReadReply(control), '3')) return false;
  if (!SendCommand(control, "pass " + std::string(password))) return false;
  return ReplyBeginsWith(ReadReply(control), '2');
}

bool FtpSetBinaryType(int control) {
  return SendCommand(control, "TYPE I") && ReplyBeginsWith(ReadReply(control), '2');
}

platform::UniqueFd FtpOpenPassive(int control, const std::string& hostAddress) {
  if (!SendCommand(control, "pasv")) return {};
  const std::string reply = ReadReply(control);
  if (!ReplyBeginsWith(reply, '2')) return {};
  const auto port = ParsePassivePort(reply);
  if (!port) return {};
  return FtpConnect(hostAddress, *port);
}

std::int64_t FtpQuerySize(int control, std::string_view path) {
  std::int64_t size = -1;
  if (SendCommand(control, "SIZE " + std::string(path))) size = ParseSizeReply(ReadReply(control));
  debugOutput(std::to_string(size));
  return size;
}

bool FtpTransfer(int control, int data, std::string_view path,
                 const std::filesystem::path& localFile) {
  platform::UniqueFd file(::open(localFile.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
  if (!file) return false;
  debugOutput("down 1");
  struct stat st {};
  if (::fstat(file.get(), &st) != 0) return false;
  const std::int64_t local = st.st_size;

  const std::int64_t remote = FtpQuerySize(control, path);
  if (remote > 0) {
    if (local >= remote) return true;
    if (::lseek(file.get(), 0, SEEK_END) < 0) return false;
    auto drain = requestFile(control, path, local);
    if (!drain) return false;
    const auto got = receiveInto(data, file.get(), local, remote, *drain);
    return !got.writeFailed && got.local == remote;
  }
  if (remote == -2) {
    // The server keeps the size to itself: read until the data connection ends.
    if (::lseek(file.get(), 0, SEEK_END) < 0) return false;
    auto drain = requestFile(control, path, local);
    if (!drain) return false;
    return !receiveInto(data, file.get(), local, -1, *drain).writeFailed;
  }
  return false;
}

bool FtpDownload(std::string_view url, const std::filesystem::path& localFile,
                 std::stop_token stop) {
  const FtpAddress address = ParseFtpUrl(url);
  std::string host;
  ResolveHostIp(address.host, host);
  const std::uint16_t port = FtpPortNumber(address.portText);

  CancelableSockets sockets;
  std::stop_callback onStop(stop, [&sockets] { sockets.cancel(); });

  platform::UniqueFd control = FtpConnect(host, port);
  if (control) sockets.add(control.get());
  // Binary type right after the login: most servers start in ASCII, which refuses SIZE and
  // rewrites line ends on RETR.
  const bool loggedIn = control && ReplyBeginsWith(ReadReply(control.get()), '2') &&
                        FtpLogin(control.get(), address.user, address.password) &&
                        FtpSetBinaryType(control.get());
  if (!loggedIn) {
    sockets.close(control);
    debugOutput("login error");
    return false;
  }

  platform::UniqueFd data = FtpOpenPassive(control.get(), host);
  if (!data) {
    debugOutput("tran error");
    sockets.close(control);
    return false;
  }
  sockets.add(data.get());

  bool ok = false;
  try {
    ok = FtpTransfer(control.get(), data.get(), address.path, localFile);
  } catch (...) {
    ok = false;
  }
  sockets.close(control);
  sockets.close(data);
  return ok && !stop.stop_requested();
}

}  // namespace nivra::net
