#include "player/links/url_link_encoder.h"

#include <algorithm>
#include <vector>

#include "platform/error.h"
#include "player/links/aes_encrypt.h"
#include "player/links/utf16_text.h"

namespace nivra::player {
namespace {

constexpr std::size_t kMaxRecordChars = 0xFFFF;

void appendHex(std::string& out, const AesBlock& block, bool lower) {
  const char* digits = lower ? "0123456789abcdef" : "0123456789ABCDEF";
  for (std::uint8_t b : block) {
    out += digits[b >> 4];
    out += digits[b & 0x0F];
  }
}

}  // namespace

std::string EncryptLinkText(std::u16string_view record, std::uint16_t length,
                            std::u16string_view key, int keyBits, bool lowerCaseDigits) {
  std::vector<std::uint8_t> plain;
  plain.reserve(2 + record.size() * 2 + 16);
  plain.push_back(static_cast<std::uint8_t>(length >> 8));
  plain.push_back(static_cast<std::uint8_t>(length & 0xFF));
  for (char16_t c : record) {
    plain.push_back(static_cast<std::uint8_t>(c & 0xFF));
    plain.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  plain.resize((plain.size() + 15) / 16 * 16, 0);

  TAes aes;
  aes.SetKeySize(keyBits);
  aes.SetKey(key);
  std::string hex;
  hex.reserve(plain.size() * 2);
  for (std::size_t offset = 0; offset < plain.size(); offset += 16) {
    AesBlock block;
    std::copy_n(plain.begin() + static_cast<std::ptrdiff_t>(offset), 16, block.begin());
    appendHex(hex, AesEncryptBlock(aes, block), lowerCaseDigits);
  }
  return hex;
}

std::string EncodeLink(std::string_view record, const LinkEncoding& encoding) {
  const std::u16string text = Utf8ToUtf16(record);
  if (text.size() > kMaxRecordChars)
    throw Error("record too long: " + std::to_string(text.size()) +
                " 16-bit characters, at most 65535");
  const auto length = encoding.lengthPrefix.value_or(static_cast<std::uint16_t>(text.size()));
  std::string link = encoding.prefix;
  link += EncryptLinkText(text, length, kLinkKey, kLinkKeyBits, encoding.lowerCaseDigits);
  if (encoding.trailingSlash) link += '/';
  return link;
}

}  // namespace nivra::player
