#include "player/links/aes.h"

#include <gtest/gtest.h>

#include <string>

#include "player/links/aes_encrypt.h"

namespace nivra::player {
namespace {

AesBlock blockFromHex(const std::string& hex) {
  AesBlock block{};
  for (std::size_t i = 0; i < 16; ++i)
    block[i] = static_cast<std::uint8_t>(std::stoi(hex.substr(2 * i, 2), nullptr, 16));
  return block;
}

// Each key byte as one 16-bit character with that code.
std::u16string keyText(const std::string& hex) {
  std::u16string key;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
    key += static_cast<char16_t>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return key;
}

struct Vector {
  int bits;
  int rounds;
  const char* key;
  const char* cipher;
};

// FIPS-197 Appendix C; the plaintext is the same for all three.
constexpr const char* kPlain = "00112233445566778899aabbccddeeff";
constexpr Vector kVectors[] = {
    {128, 10, "000102030405060708090a0b0c0d0e0f", "69c4e0d86a7b0430d8cdb78070b4c55a"},
    {192, 12, "000102030405060708090a0b0c0d0e0f1011121314151617",
     "dda97ca4864cdfe06eaf70a0ec0d7191"},
    {256, 14, "000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f",
     "8ea2b7ca516745bfeafc49904b496089"},
};

void PrintTo(const Vector& v, std::ostream* os) { *os << "AES-" << v.bits; }

class AesVectorTest : public testing::TestWithParam<Vector> {};

TEST_P(AesVectorTest, DecryptsAndEncryptsAppendixCVector) {
  const Vector& v = GetParam();
  TAes aes;
  aes.SetKeySize(v.bits);
  aes.SetKey(keyText(v.key));
  EXPECT_EQ(aes.Rounds(), v.rounds);
  EXPECT_EQ(aes.DecryptBlock(blockFromHex(v.cipher)), blockFromHex(kPlain));
  EXPECT_EQ(AesEncryptBlock(aes, blockFromHex(kPlain)), blockFromHex(v.cipher));
}

TEST_P(AesVectorTest, KeyUsesLowByteOfFirstKeyLengthCharacters) {
  const Vector& v = GetParam();
  std::u16string key = keyText(v.key);
  for (auto& c : key) c = static_cast<char16_t>(c | 0x4E00);  // high byte must not matter
  key += u"trailing characters beyond the key size";
  TAes aes;
  aes.SetKeySize(v.bits);
  aes.SetKey(key);
  EXPECT_EQ(aes.DecryptBlock(blockFromHex(v.cipher)), blockFromHex(kPlain));
}

INSTANTIATE_TEST_SUITE_P(Fips197, AesVectorTest, testing::ValuesIn(kVectors),
                         [](const auto& info) { return "Aes" + std::to_string(info.param.bits); });

TEST(AesTest, ShortKeyIsZeroFilled) {
  for (int bits : {128, 192, 256}) {
    TAes shortKey;
    shortKey.SetKeySize(bits);
    shortKey.SetKey(u"KQZTW20050917");
    TAes explicitZeros;
    explicitZeros.SetKeySize(bits);
    explicitZeros.SetKey(std::u16string(u"KQZTW20050917") + std::u16string(19, u'\0'));
    const AesBlock cipher = blockFromHex("00112233445566778899aabbccddeeff");
    EXPECT_EQ(shortKey.DecryptBlock(cipher), explicitZeros.DecryptBlock(cipher)) << bits;
    EXPECT_EQ(shortKey.RoundKeys(), explicitZeros.RoundKeys()) << bits;
  }
}

TEST(AesTest, UnknownKeySizesFallBackTo128) {
  TAes reference;
  reference.SetKeySize(128);
  reference.SetKey(keyText(kVectors[0].key));
  for (int bits : {100, 0, -1, 129, 512}) {
    TAes aes;
    aes.SetKeySize(bits);
    aes.SetKey(keyText(kVectors[0].key));
    EXPECT_EQ(aes.KeyWords(), 4) << bits;
    EXPECT_EQ(aes.Rounds(), 10) << bits;
    EXPECT_EQ(aes.DecryptBlock(blockFromHex(kVectors[0].cipher)), blockFromHex(kPlain)) << bits;
  }
}

TEST(AesTest, FreshObjectHasZero128BitKey) {
  // AES-128 of the zero block under the zero key.
  TAes aes;
  EXPECT_EQ(aes.DecryptBlock(blockFromHex("66e94bd4ef8a2c3b884cfa59ca342b2e")), AesBlock{});
}

TEST(AesTest, KeySizeChangeKeepsRoundKeysConsistent) {
  // Changing the size after the key must not leave round keys of the old size behind.
  TAes late;
  late.SetKey(keyText(kVectors[0].key));
  late.SetKeySize(256);
  TAes inOrder;
  inOrder.SetKeySize(256);
  inOrder.SetKey(keyText(kVectors[0].key));
  EXPECT_EQ(late.RoundKeys(), inOrder.RoundKeys());
}

}  // namespace
}  // namespace nivra::player
