#pragma once
// Reading the FTP server's replies. Replies are judged by their first character (or the first
// three for "550"); multi-line replies are never assembled. Pure functions over the received
// text, so they can be fed anything.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nivra::net {

// Size of one reply read, and of the command buffer (a command plus CR LF and a zero must fit).
inline constexpr std::size_t kFtpBufferSize = 1024;

// The text of one receive: the bytes up to the first zero byte.
std::string ReplyText(std::string_view received);
// True when the reply's first character is `code` (an empty reply never matches).
bool ReplyBeginsWith(std::string_view reply, char code);
// Splits a reply into items at commas and runs of white space; double-quoted items stay whole.
std::vector<std::string> SplitReplyItems(std::string_view reply);
// The data port of a passive-mode reply: the last item (cut before its first ")") is the low
// byte, the one before it the high byte. nullopt with two items or fewer, or when either byte
// is not a number from 0 to 255, or the port would be 0. The address items are ignored.
std::optional<std::uint16_t> ParsePassivePort(std::string_view reply);
// The answer to SIZE: -2 for "550…", -1 for any other reply not beginning with "2", else the
// number after the first space (0 when it is not a number).
std::int64_t ParseSizeReply(std::string_view reply);
// The command as sent: text plus CR LF. nullopt when it would not fit the command buffer with a
// terminating zero, or holds CR, LF or a zero byte (a path must never smuggle in a command).
std::optional<std::string> FormatCommand(std::string_view text);

}  // namespace nivra::net
