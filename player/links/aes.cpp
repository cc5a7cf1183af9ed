#include "player/links/aes.h"

#include <algorithm>
#include <bit>

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

// Multiplicative inverse followed by the affine transformation (FIPS-197 5.1.1). Inverses come
// from powers of the generator 3: inverse(3^k) = 3^(255 - k).
constexpr std::array<std::uint8_t, 256> makeSBox() {
  std::array<std::uint8_t, 256> power{};
  std::array<std::uint8_t, 256> log{};
  std::uint8_t p = 1;
  for (int k = 0; k < 255; ++k) {
    power[k] = p;
    log[p] = static_cast<std::uint8_t>(k);
    p = static_cast<std::uint8_t>(p ^ xtime(p));  // p × 3
  }
  std::array<std::uint8_t, 256> box{};
  for (int x = 0; x < 256; ++x) {
    const std::uint8_t inverse = x == 0 ? 0 : power[(255 - log[x]) % 255];
    box[x] = static_cast<std::uint8_t>(inverse ^ rotl8(inverse, 1) ^ rotl8(inverse, 2) ^
                                       rotl8(inverse, 3) ^ rotl8(inverse, 4) ^ 0x63);
  }
  return box;
}

constexpr std::array<std::uint8_t, 256> kSBox = makeSBox();
static_assert(kSBox[0x00] == 0x63 && kSBox[0x01] == 0x7C && kSBox[0x53] == 0xED &&
              kSBox[0xFF] == 0x16);

constexpr std::array<std::uint8_t, 256> makeInvSBox() {
  std::array<std::uint8_t, 256> box{};
  for (int x = 0; x < 256; ++x) box[kSBox[x]] = static_cast<std::uint8_t>(x);
  return box;
}

// InvSubBytes and InvMixColumns of one state byte in row 0: the column word
// (14·s, 9·s, 13·s, 11·s) for s = InvSBox[x], row 0 in the low byte. A byte in row r gives the
// same word rotated left by 8·r bits.
constexpr std::array<std::uint32_t, 256> makeInvMixTable(const std::array<std::uint8_t, 256>& inv) {
  std::array<std::uint32_t, 256> table{};
  for (int x = 0; x < 256; ++x) {
    const std::uint8_t s = inv[x];
    table[x] = std::uint32_t{gfMul(s, 14)} | std::uint32_t{gfMul(s, 9)} << 8 |
               std::uint32_t{gfMul(s, 13)} << 16 | std::uint32_t{gfMul(s, 11)} << 24;
  }
  return table;
}

}  // namespace

const std::array<std::uint8_t, 256>& SBox() { return kSBox; }

}  // namespace aes_detail

namespace {

constexpr auto kInvSBox = aes_detail::makeInvSBox();
constexpr auto kInvMix = aes_detail::makeInvMixTable(kInvSBox);

std::uint8_t byteOf(std::uint32_t word, int row) {
  return static_cast<std::uint8_t>(word >> (8 * row));
}

std::uint32_t packColumn(const AesWord& w) {
  return std::uint32_t{w[0]} | std::uint32_t{w[1]} << 8 | std::uint32_t{w[2]} << 16 |
         std::uint32_t{w[3]} << 24;
}

// InvMixColumns of a packed column: undo InvSubBytes with the S-box, then look up the table.
std::uint32_t invMixColumn(std::uint32_t column) {
  const auto& sbox = aes_detail::SBox();
  std::uint32_t mixed = 0;
  for (int r = 0; r < 4; ++r) mixed ^= std::rotl(kInvMix[sbox[byteOf(column, r)]], 8 * r);
  return mixed;
}

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
  inverseRoundKeys_ = {};
  for (int i = 0; i < total; ++i) {
    const bool inner = i >= blockColumns_ && i < total - blockColumns_;
    inverseRoundKeys_[i] =
        inner ? invMixColumn(packColumn(roundKeys_[i])) : packColumn(roundKeys_[i]);
  }
}

// The equivalent inverse cipher: each inner round is InvShiftRows (row r of column c comes from
// column c − r), InvSubBytes and InvMixColumns in one table look-up per byte, then AddRoundKey
// with the transformed key; the last round has no InvMixColumns.
AesBlock TAes::DecryptBlock(const AesBlock& input) const {
  std::array<std::uint32_t, 4> state;
  for (int c = 0; c < 4; ++c)
    state[c] = packColumn({input[4 * c], input[4 * c + 1], input[4 * c + 2], input[4 * c + 3]}) ^
               inverseRoundKeys_[rounds_ * 4 + c];
  for (int round = rounds_ - 1; round >= 1; --round) {
    const std::uint32_t* key = &inverseRoundKeys_[round * 4];
    const auto column = [&](int c) {
      return kInvMix[byteOf(state[c], 0)] ^ std::rotl(kInvMix[byteOf(state[(c + 3) & 3], 1)], 8) ^
             std::rotl(kInvMix[byteOf(state[(c + 2) & 3], 2)], 16) ^
             std::rotl(kInvMix[byteOf(state[(c + 1) & 3], 3)], 24) ^ key[c];
    };
    state = {column(0), column(1), column(2), column(3)};
  }
  AesBlock output;
  for (int c = 0; c < 4; ++c) {
    const std::uint32_t key = inverseRoundKeys_[c];
    for (int r = 0; r < 4; ++r)
      output[4 * c + r] =
          static_cast<std::uint8_t>(kInvSBox[byteOf(state[(c + 4 - r) % 4], r)] ^ byteOf(key, r));
  }
  return output;
}

}  // namespace nivra::player
