#include "net/socket_io.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>

#include <cerrno>
#include <cstring>

namespace nivra::net {

std::string systemErrorText(int error) {
  char buffer[256] = {};
  // The GNU variant returns the text, which may or may not live in `buffer`.
  return ::strerror_r(error, buffer, sizeof buffer);
}

bool setSocketTimeouts(int fd, std::chrono::milliseconds timeout) {
  timeval tv{};
  tv.tv_sec = static_cast<time_t>(timeout.count() / 1000);
  tv.tv_usec = static_cast<suseconds_t>((timeout.count() % 1000) * 1000);
  return ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv) == 0 &&
         ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv) == 0;
}

bool waitReadable(int fd, std::chrono::milliseconds timeout) {
  pollfd p{fd, POLLIN, 0};
  const int ms = timeout.count() < 0 ? -1 : static_cast<int>(timeout.count());
  for (;;) {
    const int n = ::poll(&p, 1, ms);
    if (n < 0 && errno == EINTR) continue;
    return n > 0;
  }
}

bool sendAll(int fd, const void* data, std::size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = ::send(fd, p, size, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace nivra::net
