#include "net/ftp_reply.h"

#include "platform/text.h"

namespace nivra::net {
namespace {

bool isSpace(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::optional<int> byteValue(std::string_view item) {
  const auto n = nivra::text::parseInteger(item);
  if (!n || *n < 0 || *n > 255) return std::nullopt;
  return static_cast<int>(*n);
}

}  // namespace

std::string ReplyText(std::string_view received) {
  return std::string(received.substr(0, received.find('\0')));
}

bool ReplyBeginsWith(std::string_view reply, char code) {
  return !reply.empty() && reply[0] == code;
}

std::vector<std::string> SplitReplyItems(std::string_view s) {
  std::vector<std::string> items;
  std::size_t i = 0;
  const std::size_t n = s.size();
  auto skipSpace = [&] {
    while (i < n && isSpace(s[i])) ++i;
  };
  skipSpace();
  while (i < n) {
    std::string item;
    if (s[i] == '"') {
      ++i;
      while (i < n) {
        if (s[i] == '"') {
          if (i + 1 < n && s[i + 1] == '"') {
            item += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        item += s[i++];
      }
    } else {
      while (i < n && s[i] != ',' && !isSpace(s[i])) item += s[i++];
    }
    items.push_back(std::move(item));
    skipSpace();
    if (i < n && s[i] == ',') {
      ++i;
      skipSpace();
      if (i == n) items.emplace_back();  // a trailing comma ends with an empty item
    }
  }
  return items;
}

std::optional<std::uint16_t> ParsePassivePort(std::string_view reply) {
  const auto items = SplitReplyItems(reply);
  if (items.size() <= 2) return std::nullopt;
  std::string_view last = items.back();
  last = last.substr(0, last.find(')'));
  const auto low = byteValue(last);
  const auto high = byteValue(items[items.size() - 2]);
  if (!low || !high || (*high == 0 && *low == 0)) return std::nullopt;
  return static_cast<std::uint16_t>(*high * 256 + *low);
}

std::int64_t ParseSizeReply(std::string_view reply) {
  if (reply.substr(0, 3) == "550") return -2;
  if (!ReplyBeginsWith(reply, '2')) return -1;
  std::string_view rest = reply;
  if (const auto space = rest.find(' '); space != std::string_view::npos)
    rest.remove_prefix(space + 1);
  return nivra::text::parseInteger(nivra::text::trim(rest)).value_or(0);
}

std::optional<std::string> FormatCommand(std::string_view text) {
  if (text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos)
    return std::nullopt;
  if (text.size() + 3 > kFtpBufferSize) return std::nullopt;
  std::string line(text);
  line += "\r\n";
  return line;
}

}  // namespace nivra::net
