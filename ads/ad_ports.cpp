#include "ads/ad_ports.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <charconv>

#include "net/resolve_host.h"
#include "net/simple_udp_client.h"
#include "platform/process_launcher.h"
#include "platform/unique_fd.h"

namespace nivra::ads {

UdpAdServerLink::UdpAdServerLink(platform::EventLoop& loop, std::string host, std::uint16_t port)
    : client_(std::make_unique<net::TSimpleUdpClient>(loop)), host_(std::move(host)), port_(port) {
  client_->OnRead = [this](const std::uint8_t* data, int len, const std::string&, std::uint16_t) {
    if (OnReply) OnReply({data, static_cast<std::size_t>(len)});
  };
}

UdpAdServerLink::~UdpAdServerLink() = default;

void UdpAdServerLink::Send(std::span<const std::uint8_t> datagram) {
  std::string address;
  if (!net::ResolveHostIp(host_, address)) return;
  client_->Send(datagram.data(), static_cast<int>(datagram.size()), address, port_);
}

std::uint16_t UdpAdServerLink::LocalPort() const { return client_->LocalPort(); }

TcpConnectionCheck::TcpConnectionCheck(std::string url, std::chrono::milliseconds timeout)
    : timeout_(timeout) {
  std::string_view rest(url);
  if (const auto scheme = rest.find("://"); scheme != std::string_view::npos)
    rest.remove_prefix(scheme + 3);
  rest = rest.substr(0, rest.find_first_of("/?#"));
  if (const auto colon = rest.rfind(':'); colon != std::string_view::npos) {
    std::uint16_t port = 0;
    const auto digits = rest.substr(colon + 1);
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), port);
    if (ec == std::errc() && end == digits.data() + digits.size() && port != 0) port_ = port;
    rest = rest.substr(0, colon);
  }
  host_ = rest;
}

bool TcpConnectionCheck::Check() {
  std::string address;
  if (!net::ResolveHostIp(host_, address)) return false;
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(port_);
  if (::inet_pton(AF_INET, address.c_str(), &addr.sin_addr) != 1) return false;
  platform::UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
  if (!fd) return false;
  if (::connect(fd.get(), reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0) return true;
  if (errno != EINPROGRESS) return false;
  pollfd p{fd.get(), POLLOUT, 0};
  if (::poll(&p, 1, static_cast<int>(timeout_.count())) != 1) return false;
  int error = 0;
  socklen_t len = sizeof error;
  return ::getsockopt(fd.get(), SOL_SOCKET, SO_ERROR, &error, &len) == 0 && error == 0;
}

ProcessPopUpLauncher::ProcessPopUpLauncher(std::filesystem::path program)
    : program_(std::move(program)) {}

bool ProcessPopUpLauncher::Start(const std::vector<std::string>& args) {
  return platform::launchProcess(program_.string(), args);
}

}  // namespace nivra::ads
