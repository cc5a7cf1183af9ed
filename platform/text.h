#pragma once
// Small text helpers shared by every layer. Texts are UTF-8; case rules fold ASCII only, as the
// profile-string and switch comparisons of the system do.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nivra::text {

std::string toLower(std::string_view s);
std::string toUpper(std::string_view s);
bool equalsNoCase(std::string_view a, std::string_view b);
bool startsWithNoCase(std::string_view s, std::string_view prefix);
// Removes characters with codes 0..32 at both ends (the "trim" of the system).
std::string_view trim(std::string_view s);
// Replaces every occurrence of `what` (compared without regard to case) by nothing.
std::string eraseAllNoCase(std::string_view s, std::string_view what);
// A decimal integer with optional sign, or hexadecimal with "$" / "0x"; nullopt otherwise.
std::optional<std::int64_t> parseInteger(std::string_view s);
// An integer that fits 32 bits, else nullopt.
std::optional<std::int32_t> parseInt32(std::string_view s);
// The part of `path` after its last "/", "\" or ":" (all of it when there is none).
std::string_view fileNameOf(std::string_view path);
// The lines of `s` without their "\n" (and a "\r" before it); a last line without "\n" counts.
std::vector<std::string_view> splitLines(std::string_view s);
// Cuts `s` to at most `maxBytes` bytes without splitting a UTF-8 character.
std::string_view cutUtf8(std::string_view s, std::size_t maxBytes);

}  // namespace nivra::text
