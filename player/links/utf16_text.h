#pragma once
// Conversion between UTF-8 (the system's 8-bit text) and the 16-bit text that the private-link
// record uses. Both directions are total: malformed input never fails, it is replaced by U+FFFD.

#include <string>
#include <string_view>

namespace nivra::player {

// UTF-8 to UTF-16. Each byte that does not start a well-formed sequence (overlong forms,
// surrogate code points and values above U+10FFFF included) becomes one U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
// UTF-16 to UTF-8. A surrogate without its partner becomes U+FFFD; zero characters are kept.
std::string Utf16ToUtf8(std::u16string_view utf16);

}  // namespace nivra::player
