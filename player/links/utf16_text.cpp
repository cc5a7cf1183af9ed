#include "player/links/utf16_text.h"

#include <cstdint>

namespace nivra::player {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Decodes one sequence at `s[i]`; returns the code point and advances `i`. A malformed sequence
// consumes one byte and yields U+FFFD.
char32_t decodeOne(std::string_view s, std::size_t& i) {
  const auto lead = static_cast<unsigned char>(s[i]);
  if (lead < 0x80) {
    ++i;
    return lead;
  }
  // Sequence length, payload bits of the lead byte and the smallest value of that length.
  struct Form {
    unsigned char mask, pattern;
    std::size_t length;
    char32_t minimum;
  };
  static constexpr Form kForms[] = {
      {0xE0, 0xC0, 2, 0x80}, {0xF0, 0xE0, 3, 0x800}, {0xF8, 0xF0, 4, 0x10000}};
  const Form* form = nullptr;
  for (const auto& f : kForms)
    if ((lead & f.mask) == f.pattern) form = &f;
  if (form == nullptr) {
    ++i;
    return kReplacement;
  }
  const std::size_t length = form->length;
  const char32_t minimum = form->minimum;
  char32_t cp = lead & static_cast<unsigned char>(~form->mask);
  if (i + length > s.size()) {
    ++i;
    return kReplacement;
  }
  for (std::size_t k = 1; k < length; ++k) {
    const auto c = static_cast<unsigned char>(s[i + k]);
    if (!isContinuation(c)) {
      ++i;
      return kReplacement;
    }
    cp = (cp << 6) | (c & 0x3F);
  }
  if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++i;
    return kReplacement;
  }
  i += length;
  return cp;
}

// Writes `cp` as UTF-8 at `out` and returns the end.
char* putUtf8(char* out, char32_t cp) {
  if (cp < 0x80) {
    *out++ = static_cast<char>(cp);
  } else if (cp < 0x800) {
    *out++ = static_cast<char>(0xC0 | (cp >> 6));
    *out++ = static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    *out++ = static_cast<char>(0xE0 | (cp >> 12));
    *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    *out++ = static_cast<char>(0xF0 | (cp >> 18));
    *out++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (cp & 0x3F));
  }
  return out;
}

bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

// Both directions size the result for the worst case (one 16-bit unit per byte; three bytes per
// unit) and cut it to what was written.
std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out(utf8.size(), u'\0');
  char16_t* end = out.data();
  std::size_t i = 0;
  while (i < utf8.size()) {
    if (static_cast<unsigned char>(utf8[i]) < 0x80) {  // the common case: links are mostly ASCII
      *end++ = static_cast<char16_t>(utf8[i++]);
      continue;
    }
    const char32_t cp = decodeOne(utf8, i);
    if (cp < 0x10000) {
      *end++ = static_cast<char16_t>(cp);
    } else {
      *end++ = static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
      *end++ = static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    }
  }
  out.resize(static_cast<std::size_t>(end - out.data()));
  return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  std::string out(utf16.size() * 3, '\0');
  char* end = out.data();
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    const char16_t c = utf16[i];
    if (isHighSurrogate(c) && i + 1 < utf16.size() && isLowSurrogate(utf16[i + 1])) {
      end = putUtf8(end, 0x10000 + ((char32_t(c) - 0xD800) << 10) + (utf16[i + 1] - 0xDC00));
      ++i;
    } else if (isHighSurrogate(c) || isLowSurrogate(c)) {
      end = putUtf8(end, kReplacement);
    } else {
      end = putUtf8(end, c);
    }
  }
  out.resize(static_cast<std::size_t>(end - out.data()));
  return out;
}

}  // namespace nivra::player
