#pragma once
// Producing private links, for tests and catalogue authors (nivra_player_encoder; the product
// only decodes). The inverse of url_link.h: same framing, same key formed from text.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "player/links/url_link.h"

namespace nivra::player {

struct LinkEncoding {
  std::string prefix = std::string(kLinkPrefix);  // any letter case decodes
  bool lowerCaseDigits = false;
  bool trailingSlash = false;
  // The length prefix written into the first block; by default the record's length in 16-bit
  // characters. Tests set it larger or smaller than the record.
  std::optional<std::uint16_t> lengthPrefix;
};

// The hexadecimal ciphertext of a 16-bit record text under `length`: 2 length bytes, the
// characters little-endian, zero-filled to whole blocks, each block encrypted on its own.
std::string EncryptLinkText(std::u16string_view record, std::uint16_t length,
                            std::u16string_view key, int keyBits, bool lowerCaseDigits = false);

// The link for a record text (UTF-8, fields joined by "|"). Throws nivra::Error when the record
// is longer than the length prefix can say (65535 16-bit characters).
std::string EncodeLink(std::string_view record, const LinkEncoding& encoding = {});

}  // namespace nivra::player
