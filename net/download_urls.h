#pragma once
// The address forms of the downloader: "ftp://[user[:password]@]host[:port]/path" and
// "http://host[:port]/path". Both parsers are deliberately literal: they cut the text by the
// positions of "@", ":" and "/" and never reject anything, so odd texts give odd (empty) hosts
// that simply fail to connect.

#include <cstdint>
#include <string>
#include <string_view>

namespace nivra::net {

struct FtpAddress {
  std::string user;
  std::string password;
  std::string host;      // a name or dotted address; resolved before connecting
  std::string portText;  // as written; FtpPortNumber converts it
  std::string path;      // always begins with "/"
};

struct HttpAddress {
  std::string host;
  std::string path;  // keeps its leading "/"
  std::uint16_t port = 80;
};

inline constexpr std::string_view kAnonymousUser = "anonymous";
inline constexpr std::string_view kAnonymousPassword = "Quex@";

FtpAddress ParseFtpUrl(std::string_view url);
// The port text as a number; 21 for empty, non-numeric or out-of-range text.
std::uint16_t FtpPortNumber(std::string_view portText);
HttpAddress ParseHttpUrl(std::string_view url);

}  // namespace nivra::net
