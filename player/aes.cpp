#include "player/aes.h"

#include <algorithm>

namespace nivra::player {
namespace aes_detail {
namespace {

constexpr std::uint8_t gfMul(std::uint8_t a, std::uint8_t b) {
  std::uint8_t product = 0;
  while (b != 0) {
    if (b & 1) product ^= a;
    a = xtime(a);
    b >>= 1;
  }
  return product;
}

constexpr std::uint8_t rotl8(std::uint8_t b, int n) {
  return static_cast<std::uint8_t>((b << n) | (b >> (8 - n)));
}

// Multiplicative inverse followed by the affine transformation (FIPS-197 5.1.1).
constexpr std::array<std::uint8_t, 256> makeSBox() {
  std::array<std::uint8_t, 256> box{};
  for (int x = 0; x < 256; ++x) {
    std::uint8_t inverse = 0;
    for (int y = 1; y < 256 && x != 0; ++y) {
      if (gfMul(static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y)) == 1) {
        inverse = static_cast<std::uint8_t>(y);
        break;
      }
    }
    box[x] = static_cast<std::uint8_t>(inverse ^ rotl8(inverse, 1) ^ rotl8(inverse, 2) ^
                                       rotl8(inverse, 3) ^ rotl8(inverse, 4) ^ 0x63);
  }
  return box;
}

constexpr std::array<std::uint8_t, 256> kSBox = makeSBox();
static_assert(kSBox[0x00] == 0x63 && kSBox[0x53] == 0xED && kSBox[0xFF] == 0x16);

constexpr std::array<std::uint8_t, 256> makeInvSBox() {
  std::array<std::uint8_t, 256> box{};
  for (int x = 0; x < 256; ++x) box[kSBox[x]] = static_cast<std::uint8_t>(x);
  return box;
}

constexpr std::array<std::uint8_t, 256> makeMulTable(std::uint8_t factor) {
  std::array<std::uint8_t, 256> table{};
  for (int x = 0; x < 256; ++x) table[x] = gfMul(static_cast<std::uint8_t>(x), factor);
  return table;
}

}  // namespace

const std::array<std::uint8_t, 256>& SBox() { return kSBox; }

}  // namespace aes_detail

namespace {

constexpr auto kInvSBox = aes_detail::makeInvSBox();
constexpr auto kMul9 = aes_detail::makeMulTable(9);
constexpr auto kMul11 = aes_detail::makeMulTable(11);
constexpr auto kMul13 = aes_detail::makeMulTable(13);
constexpr auto kMul14 = aes_detail::makeMulTable(14);

}  // namespace

TAes::TAes() { ExpandKey(); }

void TAes::SetKeySize(int bits) {
  switch (bits) {
    case 192:
      keyWords_ = 6;
      rounds_ = 12;
      break;
    case 256:
      keyWords_ = 8;
      rounds_ = 14;
      break;
    default:
      keyWords_ = 4;
      rounds_ = 10;
      break;
  }
  ExpandKey();
}

void TAes::SetKey(std::u16string_view key) {
  key_.fill(0);
  const std::size_t count = std::min<std::size_t>(keyWords_ * 4u, key.size());
  for (std::size_t i = 0; i < count; ++i) key_[i] = static_cast<std::uint8_t>(key[i] & 0xFF);
  ExpandKey();
}

// FIPS-197 5.2, with the extra SubWord for 8-word keys at positions ≡ 4 (mod 8).
void TAes::ExpandKey() {
  const auto& sbox = aes_detail::SBox();
  roundKeys_ = {};
  for (int i = 0; i < keyWords_; ++i)
    for (int b = 0; b < 4; ++b) roundKeys_[i][b] = key_[4 * i + b];
  std::uint8_t rcon = 0x01;
  const int total = blockColumns_ * (rounds_ + 1);
  for (int i = keyWords_; i < total; ++i) {
    AesWord temp = roundKeys_[i - 1];
    if (i % keyWords_ == 0) {
      temp = {static_cast<std::uint8_t>(sbox[temp[1]] ^ rcon), sbox[temp[2]], sbox[temp[3]],
              sbox[temp[0]]};
      rcon = aes_detail::xtime(rcon);
    } else if (keyWords_ > 6 && i % keyWords_ == 4) {
      for (auto& b : temp) b = sbox[b];
    }
    for (int b = 0; b < 4; ++b)
      roundKeys_[i][b] = static_cast<std::uint8_t>(roundKeys_[i - keyWords_][b] ^ temp[b]);
  }
}

void TAes::AddRoundKey(int round) {
  for (int c = 0; c < 4; ++c) {
    const AesWord& word = roundKeys_[round * blockColumns_ + c];
    for (int r = 0; r < 4; ++r) state_[r * 4 + c] ^= word[r];
  }
}

// Row r moves r columns to the right.
void TAes::InvShiftRows() {
  for (int r = 1; r < 4; ++r) {
    std::uint8_t* row = &state_[r * 4];
    std::rotate(row, row + 4 - r, row + 4);
  }
}

void TAes::InvSubBytes() {
  for (auto& b : state_) b = kInvSBox[b];
}

void TAes::InvMixColumns() {
  for (int c = 0; c < 4; ++c) {
    const std::uint8_t a0 = state_[c], a1 = state_[4 + c], a2 = state_[8 + c],
                       a3 = state_[12 + c];
    state_[c] = kMul14[a0] ^ kMul11[a1] ^ kMul13[a2] ^ kMul9[a3];
    state_[4 + c] = kMul9[a0] ^ kMul14[a1] ^ kMul11[a2] ^ kMul13[a3];
    state_[8 + c] = kMul13[a0] ^ kMul9[a1] ^ kMul14[a2] ^ kMul11[a3];
    state_[12 + c] = kMul11[a0] ^ kMul13[a1] ^ kMul9[a2] ^ kMul14[a3];
  }
}

AesBlock TAes::DecryptBlock(const AesBlock& input) {
  for (int i = 0; i < 16; ++i) state_[(i % 4) * 4 + i / 4] = input[i];
  AddRoundKey(rounds_);
  for (int round = rounds_ - 1; round >= 1; --round) {
    InvShiftRows();
    InvSubBytes();
    AddRoundKey(round);
    InvMixColumns();
  }
  InvShiftRows();
  InvSubBytes();
  AddRoundKey(0);
  AesBlock output;
  for (int i = 0; i < 16; ++i) output[i] = state_[(i % 4) * 4 + i / 4];
  return output;
}

}  // namespace nivra::player
