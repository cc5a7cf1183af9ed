#include "net/resolve_host.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>

#include <memory>

namespace nivra::net {

bool ResolveHostIp(std::string_view host, std::string& address) {
  // The name buffer of the lookup holds 255 bytes and a terminating zero; longer names and
  // embedded zeros are refused instead of being cut.
  if (host.empty() || host.size() > 255 || host.find('\0') != std::string_view::npos) return false;
  const std::string name(host);
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (::getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) return false;
  std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> guard(found, &::freeaddrinfo);
  const auto* in = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
  const auto* b = reinterpret_cast<const unsigned char*>(&in->sin_addr.s_addr);
  address = std::to_string(b[0]) + "." + std::to_string(b[1]) + "." + std::to_string(b[2]) + "." +
            std::to_string(b[3]);
  return true;
}

}  // namespace nivra::net
