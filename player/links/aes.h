#pragma once
// Module UnitAES: TAes, the AES block cipher of FIPS-197 in the decryption direction, keyed from
// 16-bit text. The block mode and the text framing belong to the private links (url_link.h).

#include <array>
#include <cstdint>
#include <string_view>

namespace nivra::player {

using AesBlock = std::array<std::uint8_t, 16>;
using AesWord = std::array<std::uint8_t, 4>;

// One decryption job: SetKeySize, SetKey, then any number of DecryptBlock calls. A fresh object
// has a 128-bit all-zero key. Holds no resources; copying is cheap and allowed.
class TAes final {
 public:
  static constexpr int kMaxKeyBytes = 32;
  static constexpr int kMaxRoundKeyWords = 60;

  TAes();

  // 192 → 6 key words and 12 rounds; 256 → 8 and 14; any other value (128 included) → 4 and 10.
  // Comes before SetKey; the round keys are re-expanded so they always match the round count.
  void SetKeySize(int bits);
  // Clears the key, copies the low 8 bits of the first min(key words × 4, length) characters
  // into it (the rest stays zero) and expands the round keys.
  void SetKey(std::u16string_view key);
  // The FIPS-197 inverse cipher of one block with the current round keys. Input byte i is state
  // row i mod 4, column i div 4; the output is read back the same way.
  AesBlock DecryptBlock(const AesBlock& input) const;

  int KeyWords() const { return keyWords_; }
  int Rounds() const { return rounds_; }
  // The expanded key; words 0 .. (Rounds() + 1) × 4 − 1 are in use, word w is column w mod 4 of
  // round w div 4.
  const std::array<AesWord, kMaxRoundKeyWords>& RoundKeys() const { return roundKeys_; }

 private:
  void ExpandKey();

  std::uint8_t blockColumns_ = 4;
  std::uint8_t keyWords_ = 4;
  std::uint8_t rounds_ = 10;
  std::array<std::uint8_t, kMaxKeyBytes> key_{};
  std::array<AesWord, kMaxRoundKeyWords> roundKeys_{};
  // The same schedule for FIPS-197's equivalent inverse cipher (5.3.5): columns packed row 0 in
  // the low byte, rounds 1 .. Rounds() − 1 passed through InvMixColumns.
  std::array<std::uint32_t, kMaxRoundKeyWords> inverseRoundKeys_{};
};

namespace aes_detail {
// The FIPS-197 S-box (also used by the key expansion) and multiplication by x in GF(2^8).
const std::array<std::uint8_t, 256>& SBox();
constexpr std::uint8_t xtime(std::uint8_t b) {
  return static_cast<std::uint8_t>((b << 1) ^ ((b & 0x80) ? 0x1B : 0x00));
}
}  // namespace aes_detail

}  // namespace nivra::player
