#pragma once
// Module UrlLinkClass: private links, texts "Nivra://" + hexadecimal AES ciphertext [+ "/"],
// decoded into TEd2kFileLink records, and the query functions the hosts use.
//
// Ciphertext: 16-byte blocks, each decrypted on its own (no chaining). Plaintext: the record
// length L in 16-bit characters (2 bytes, most significant first), then the record text as
// little-endian 16-bit characters; the rest of the last block is ignored. Record text: kind name,
// Name, Size, Address, separated by "|".

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace nivra::player {

// The link prefix (compared without regard to case), the key text and its key size.
inline constexpr std::string_view kLinkPrefix = "Nivra://";
inline constexpr std::u16string_view kLinkKey = u"KQZTW20050917";
inline constexpr int kLinkKeyBits = 128;

// Kind values of a decoded link; 0 also stands for an undecodable link.
inline constexpr std::uint8_t kLinkNone = 0;
inline constexpr std::uint8_t kLinkFile = 1;
inline constexpr std::uint8_t kLinkPlay = 2;
inline constexpr std::uint8_t kLinkVideo = 3;   // Address: a web-video page
inline constexpr std::uint8_t kLinkNvswf = 4;   // Address: the segment list for the Flash movie
inline constexpr std::uint8_t kLinkJsList = 5;  // Address: the list document the window fetches

// A decoded private link. Name, Size and Address are set only for kinds 1..5.
class TEd2kFileLink final {
 public:
  TEd2kFileLink() = default;
  // Decodes a link text (prefix not checked). Throws nivra::Error "地址错误！" for an empty text;
  // an undecodable payload gives Kind 0 with empty fields.
  explicit TEd2kFileLink(std::string_view linkText);

  std::uint8_t Kind = kLinkNone;
  std::string Name;
  std::int64_t Size = 0;
  std::string Address;
};

class TEd2kLinkManager final {
 public:
  TEd2kLinkManager() = delete;
  // The first 8 characters equal "Nivra://" ignoring case.
  static bool IsLink(std::string_view text);
  // The record of a link text (possibly Kind 0); nullopt when the text is not a link or its
  // construction raised.
  static std::optional<TEd2kFileLink> Decode(std::string_view text);
};

// The text decryption of a payload H (16-bit text): blocks of up to 32 hexadecimal digits (an odd
// last digit ignored, missing bytes zero), the length prefix, the record characters cut to L.
// nullopt when a digit pair is not hexadecimal.
std::optional<std::u16string> DecryptLinkText(std::u16string_view payload, std::u16string_view key,
                                              int keyBits);

// Kind of a link text; 0 when the text is not a decodable link.
std::uint8_t GetLinkKind(std::string_view text);
// Name for kinds 1, 3, 4 and 5; empty for kind 2, kind 0 and texts that are not links.
std::string GetLinkName(std::string_view text);
// Address; empty when the text is not a link or the record has kind 0.
std::string GetLinkAddress(std::string_view text);

}  // namespace nivra::player
