#pragma once
// The peer side of UDP tests: a socket bound to a free port on 127.0.0.1.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdint>

namespace nivra::test {

// Binds `fd` (a UDP socket) to a free port on 127.0.0.1; the port, or 0 when binding fails.
inline std::uint16_t BindToLoopback(int fd) {
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) return 0;
  socklen_t len = sizeof addr;
  if (::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) return 0;
  return ntohs(addr.sin_port);
}

}  // namespace nivra::test
