#include "player/links/url_link.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "platform/error.h"
#include "platform/text.h"
#include "player/links/aes.h"
#include "player/links/utf16_text.h"

namespace nivra::player {
namespace {

constexpr std::size_t kDigitsPerBlock = 32;
constexpr std::size_t kFirstBlockChars = 7;
constexpr std::size_t kBlockChars = 8;

// Index = Kind; index 0 is the empty text, so an empty kind field gives kind 0.
constexpr std::array<std::string_view, 6> kKindNames = {"",      "file",  "play",
                                                        "video", "nvswf", "jslist"};

int hexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// Up to 32 digits into one block: an odd last digit is ignored, bytes not filled are zero.
std::optional<AesBlock> blockFromHex(std::u16string_view digits) {
  AesBlock block{};
  for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
    const int high = hexValue(digits[i]);
    const int low = hexValue(digits[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    block[i / 2] = static_cast<std::uint8_t>(high * 16 + low);
  }
  return block;
}

// Writes the block's bytes from `from` on as little-endian 16-bit characters at `out`.
char16_t* putChars(char16_t* out, const AesBlock& block, std::size_t from) {
  for (std::size_t i = from; i + 1 < block.size(); i += 2)
    *out++ = static_cast<char16_t>(block[i] | (block[i + 1] << 8));
  return out;
}

// The field rule: the text before the first "|", removed together with the "|"; without a "|"
// the whole rest, which then stays for every later field.
std::string_view nextField(std::string_view& rest) {
  const auto bar = rest.find('|');
  if (bar == std::string_view::npos) return rest;
  const std::string_view field = rest.substr(0, bar);
  rest.remove_prefix(bar + 1);
  return field;
}

std::uint8_t kindFromName(std::string_view name) {
  for (std::size_t i = 0; i < kKindNames.size(); ++i)
    if (text::equalsNoCase(name, kKindNames[i])) return static_cast<std::uint8_t>(i);
  return kLinkNone;
}

// A decimal 64-bit integer with an optional sign; 0 when the text is not one.
std::int64_t sizeFromText(std::string_view s) {
  if (s.size() > 1 && s[0] == '+' && s[1] != '-') s.remove_prefix(1);
  std::int64_t value = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, 10);
  if (ec != std::errc() || end != s.data() + s.size()) return 0;
  return value;
}

}  // namespace

std::optional<std::u16string> DecryptLinkText(std::u16string_view payload, std::u16string_view key,
                                              int keyBits) {
  TAes aes;
  aes.SetKeySize(keyBits);
  aes.SetKey(key);

  const std::size_t blocks =
      payload.empty() ? 1 : (payload.size() + kDigitsPerBlock - 1) / kDigitsPerBlock;
  std::u16string out(kFirstBlockChars + (blocks - 1) * kBlockChars, u'\0');
  char16_t* end = out.data();
  std::size_t length = 0;
  for (std::size_t b = 0; b < blocks; ++b) {
    const auto cipher = blockFromHex(payload.substr(b * kDigitsPerBlock, kDigitsPerBlock));
    if (!cipher) return std::nullopt;
    const AesBlock plain = aes.DecryptBlock(*cipher);
    if (b == 0) length = static_cast<std::size_t>(plain[0]) * 256 + plain[1];
    end = putChars(end, plain, b == 0 ? 2 : 0);
  }
  if (out.size() > length) out.resize(length);
  return out;
}

TEd2kFileLink::TEd2kFileLink(std::string_view linkText) {
  if (linkText.empty()) throw Error("地址错误！");
  const std::u16string text = Utf8ToUtf16(linkText);
  std::u16string_view payload = text;
  payload.remove_prefix(std::min(payload.size(), kLinkPrefix.size()));
  if (!payload.empty() && payload.back() == u'/') payload.remove_suffix(1);

  // A payload that is not hexadecimal is no record at all, whatever text it holds.
  const auto plain = DecryptLinkText(payload, kLinkKey, kLinkKeyBits);
  if (!plain) return;
  const std::string record = Utf16ToUtf8(*plain);
  std::string_view rest = record;
  Kind = kindFromName(nextField(rest));
  if (Kind == kLinkNone) return;
  Name = nextField(rest);
  Size = sizeFromText(nextField(rest));
  Address = nextField(rest);
}

bool TEd2kLinkManager::IsLink(std::string_view text) {
  return text::startsWithNoCase(text, kLinkPrefix);
}

std::optional<TEd2kFileLink> TEd2kLinkManager::Decode(std::string_view text) {
  if (!IsLink(text)) return std::nullopt;
  try {
    return TEd2kFileLink(text);
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

std::uint8_t GetLinkKind(std::string_view text) {
  const auto link = TEd2kLinkManager::Decode(text);
  return link ? link->Kind : kLinkNone;
}

std::string GetLinkName(std::string_view text) {
  const auto link = TEd2kLinkManager::Decode(text);
  if (!link || link->Kind == kLinkNone || link->Kind == kLinkPlay) return {};
  return link->Name;
}

std::string GetLinkAddress(std::string_view text) {
  const auto link = TEd2kLinkManager::Decode(text);
  if (!link || link->Kind == kLinkNone) return {};
  return link->Address;
}

}  // namespace nivra::player
