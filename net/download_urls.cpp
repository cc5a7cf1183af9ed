#include "net/download_urls.h"

#include <optional>

#include "platform/text.h"

namespace nivra::net {
namespace {

// 1-based position of `c` in `s`, 0 when absent (the positions the parsers reason with).
std::size_t position(std::string_view s, char c) {
  const auto p = s.find(c);
  return p == std::string_view::npos ? 0 : p + 1;
}

std::optional<std::uint16_t> portNumber(std::string_view text) {
  const auto n = nivra::text::parseInteger(text);
  if (!n || *n < 1 || *n > 65535) return std::nullopt;
  return static_cast<std::uint16_t>(*n);
}

}  // namespace

FtpAddress ParseFtpUrl(std::string_view url) {
  FtpAddress out;
  std::string t(url);
  if (nivra::text::toLower(url).find("ftp://") != std::string::npos) t.erase(0, 6);

  if (const std::size_t a = position(t, '@'); a != 0) {
    const std::string userPart = t.substr(0, a - 1);
    t.erase(0, a);
    if (const std::size_t colon = position(userPart, ':'); colon != 0) {
      out.user = userPart.substr(0, colon - 1);
      out.password = userPart.substr(colon);
    }
  } else {
    out.user = kAnonymousUser;
    out.password = kAnonymousPassword;
  }

  std::size_t b = position(t, ':');
  const std::size_t c = position(t, '/');
  if (b == 0) b = c;
  out.host = b == 0 ? std::string() : t.substr(0, b - 1);
  if (b != 0)
    out.portText = c > b ? t.substr(b, c - b - 1) : std::string();
  else
    out.portText = "21";
  out.path = "/" + t.substr(c);  // c == 0: the whole rest
  return out;
}

std::uint16_t FtpPortNumber(std::string_view portText) { return portNumber(portText).value_or(21); }

HttpAddress ParseHttpUrl(std::string_view url) {
  HttpAddress out;
  std::string t(url);
  if (nivra::text::toLower(url).find("http://") != std::string::npos) t.erase(0, 7);

  const std::size_t c = position(t, '/');
  out.host = c == 0 ? std::string() : t.substr(0, c - 1);
  out.path = c == 0 ? t : t.substr(c - 1);
  if (const std::size_t colon = position(out.host, ':'); colon != 0) {
    out.port = portNumber(std::string_view(out.host).substr(colon)).value_or(80);
    out.host.erase(colon - 1);
  }
  return out;
}

}  // namespace nivra::net
