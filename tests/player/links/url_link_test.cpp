#include "player/links/url_link.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "platform/error.h"
#include "player/links/aes_encrypt.h"
#include "player/links/url_link_encoder.h"
#include "tests/support/param_name.h"

namespace nivra::player {
namespace {

struct Expected {
  std::uint8_t kind;
  std::string name;
  std::int64_t size;
  std::string address;
};

void expectRecord(const std::optional<TEd2kFileLink>& link, const Expected& e) {
  ASSERT_TRUE(link.has_value());
  EXPECT_EQ(link->Kind, e.kind);
  EXPECT_EQ(link->Name, e.name);
  EXPECT_EQ(link->Size, e.size);
  EXPECT_EQ(link->Address, e.address);
}

const std::string kLongAddress = [] {
  std::string a = "http://127.0.0.1:8080/视频/";
  while (a.size() < 300) a += "segment-";
  return a;
}();

struct RecordCase {
  std::string record;
  Expected expected;
};

const RecordCase kRecords[] = {
    {"file|n|12|u|extra", {kLinkFile, "n", 12, "u"}},
    {"play|名字|0|http://127.0.0.1/p", {kLinkPlay, "名字", 0, "http://127.0.0.1/p"}},
    {"video|abc", {kLinkVideo, "abc", 0, "abc"}},
    {"nvswf|中文名称|-7|http://127.0.0.1/段/list.txt",
     {kLinkNvswf, "中文名称", -7, "http://127.0.0.1/段/list.txt"}},
    {"jslist|电视剧列表|123|list_42.js", {kLinkJsList, "电视剧列表", 123, "list_42.js"}},
    {"video|长地址|0|" + kLongAddress, {kLinkVideo, "长地址", 0, kLongAddress}},
    {"VIDEO|x|1|y", {kLinkVideo, "x", 1, "y"}},
    {"JsList|x|1|y", {kLinkJsList, "x", 1, "y"}},
    {"video|a", {kLinkVideo, "a", 0, "a"}},  // exactly fills the first block
    {"file|n|9223372036854775807|u", {kLinkFile, "n", INT64_MAX, "u"}},
    {"file|n|-9223372036854775808|u", {kLinkFile, "n", INT64_MIN, "u"}},
    {"file|n|9223372036854775808|u", {kLinkFile, "n", 0, "u"}},
    {"file|n|+12|u", {kLinkFile, "n", 12, "u"}},
    {"file|n|12abc|u", {kLinkFile, "n", 0, "u"}},
    {"file|n| 12|u", {kLinkFile, "n", 0, "u"}},
    // "|" ends the address: later fields are ignored.
    {"video|片名|0|http://127.0.0.1/a?x=1|2", {kLinkVideo, "片名", 0, "http://127.0.0.1/a?x=1"}},
    // Empty fields, and a field without "|" that repeats.
    {"file||||", {kLinkFile, "", 0, ""}},
    {"video|", {kLinkVideo, "", 0, ""}},
    {"nvswf|n|5", {kLinkNvswf, "n", 5, "5"}},
    // Kinds outside the table leave every field empty.
    {"movie|n|1|u", {kLinkNone, "", 0, ""}},
    {"|n|1|u", {kLinkNone, "", 0, ""}},
    {"", {kLinkNone, "", 0, ""}},
    {" video|n|1|u", {kLinkNone, "", 0, ""}},
};

void PrintTo(const RecordCase& c, std::ostream* os) { *os << '"' << c.record.substr(0, 40) << '"'; }

LinkEncoding encoding(std::string prefix, bool lower, bool slash) {
  LinkEncoding e;
  e.prefix = std::move(prefix);
  e.lowerCaseDigits = lower;
  e.trailingSlash = slash;
  return e;
}

const LinkEncoding kEncodings[] = {
    encoding("Nivra://", false, false),
    encoding("nivra://", true, false),
    encoding("NIVRA://", false, true),
    encoding("nIvRa://", true, true),
};

}  // namespace

void PrintTo(const LinkEncoding& e, std::ostream* os) {
  *os << e.prefix << (e.lowerCaseDigits ? " lower" : " upper") << (e.trailingSlash ? " /" : "");
}

namespace {

class LinkRoundTripTest : public testing::TestWithParam<std::tuple<RecordCase, LinkEncoding>> {};

TEST_P(LinkRoundTripTest, DecodesWhatTheEncoderWrote) {
  const auto& [c, enc] = GetParam();
  const std::string link = EncodeLink(c.record, enc);
  SCOPED_TRACE(c.record + " -> " + link);
  expectRecord(TEd2kLinkManager::Decode(link), c.expected);
}

INSTANTIATE_TEST_SUITE_P(AllKinds, LinkRoundTripTest,
                         testing::Combine(testing::ValuesIn(kRecords),
                                          testing::ValuesIn(kEncodings)),
                         [](const auto& info) {
                           const RecordCase& c = std::get<0>(info.param);
                           const LinkEncoding& enc = std::get<1>(info.param);
                           return std::to_string(info.index) + "_" +
                                  nivra::test::CaseName(c.record.substr(0, 24)) + "_" +
                                  nivra::test::CaseName(enc.prefix) +
                                  (enc.lowerCaseDigits ? "_lower" : "_upper") +
                                  (enc.trailingSlash ? "_slash" : "");
                         });

TEST(LinkFramingTest, DecodesHandFramedCiphertext) {
  // Length 9 most significant byte first, then "video|abc" as little-endian 16-bit characters,
  // zero-filled to two blocks, each encrypted on its own with the key formed from the key text.
  const std::u16string record = u"video|abc";
  std::vector<std::uint8_t> plain = {0x00, 0x09};
  for (char16_t ch : record) plain.insert(plain.end(), {static_cast<std::uint8_t>(ch), 0x00});
  plain.resize(32, 0);
  TAes aes;
  aes.SetKey(u"KQZTW20050917");
  std::string link = "Nivra://";
  for (int b = 0; b < 2; ++b) {
    AesBlock block;
    std::copy_n(plain.begin() + 16 * b, 16, block.begin());
    for (std::uint8_t byte : AesEncryptBlock(aes, block)) {
      static const char* digits = "0123456789abcdef";
      link += digits[byte >> 4];
      link += digits[byte & 15];
    }
  }
  expectRecord(TEd2kLinkManager::Decode(link), {kLinkVideo, "abc", 0, "abc"});
  EXPECT_EQ(link.substr(8), EncryptLinkText(record, 9, kLinkKey, 128, true));
}

TEST(LinkLengthPrefixTest, LongerPrefixKeepsEveryDecryptedCharacter) {
  // 9 characters fill two blocks (7 + 8): the 6 zero characters of the padding stay.
  LinkEncoding e;
  e.lengthPrefix = 100;
  const std::string padded("abc\0\0\0\0\0\0", 9);
  expectRecord(TEd2kLinkManager::Decode(EncodeLink("video|abc", e)),
               {kLinkVideo, padded, 0, padded});
  e.lengthPrefix = 0xFFFF;
  const auto link = TEd2kLinkManager::Decode(EncodeLink("video|t|0|" + kLongAddress, e));
  ASSERT_TRUE(link);
  EXPECT_EQ(link->Address.substr(0, kLongAddress.size()), kLongAddress);
}

TEST(LinkLengthPrefixTest, ShorterPrefixCutsTheRecord) {
  LinkEncoding e;
  e.lengthPrefix = 5;  // "video": one field without "|", repeated for every later field
  expectRecord(TEd2kLinkManager::Decode(EncodeLink("video|abc|1|u", e)),
               {kLinkVideo, "video", 0, "video"});
  e.lengthPrefix = 11;
  expectRecord(TEd2kLinkManager::Decode(EncodeLink("video|abc|1|u", e)),
               {kLinkVideo, "abc", 1, "1"});
  e.lengthPrefix = 0;
  expectRecord(TEd2kLinkManager::Decode(EncodeLink("video|abc|1|u", e)), {kLinkNone, "", 0, ""});
}

TEST(LinkPayloadTest, OddDigitAtTheEndIsIgnored) {
  const std::string link = EncodeLink("jslist|列表|3|list.js");
  const Expected expected{kLinkJsList, "列表", 3, "list.js"};
  // One extra digit makes a block of zero bytes after the record: cut away by the length.
  expectRecord(TEd2kLinkManager::Decode(link + "7"), expected);
  expectRecord(TEd2kLinkManager::Decode(link + "7/"), expected);
  // A 31-digit last block reads like the same block whose last byte is zero.
  const std::string shortened = link.substr(0, link.size() - 1);
  const std::string zeroed = link.substr(0, link.size() - 2) + "00";
  const auto a = TEd2kLinkManager::Decode(shortened);
  const auto b = TEd2kLinkManager::Decode(zeroed);
  ASSERT_TRUE(a && b);
  EXPECT_EQ(std::tie(a->Kind, a->Name, a->Size, a->Address),
            std::tie(b->Kind, b->Name, b->Size, b->Address));
}

TEST(LinkPayloadTest, UndecodablePayloadGivesKindZeroWithEmptyFields) {
  std::string badSecondBlock = EncodeLink("video|名|0|http://127.0.0.1/v");
  badSecondBlock[8 + 40] = 'g';
  const std::string cases[] = {
      "Nivra://video|abc|0|http://127.0.0.1/x",  // plain record text is not a payload
      "Nivra://zz",
      "Nivra://中文",
      "Nivra://0011 2233",
      "Nivra://+1",
      badSecondBlock,
      // Encrypted with another key.
      "Nivra://" + EncryptLinkText(u"video|abc|0|u", 13, u"another key", 128),
  };
  for (const auto& text : cases) {
    SCOPED_TRACE(text);
    expectRecord(TEd2kLinkManager::Decode(text), {kLinkNone, "", 0, ""});
  }
}

TEST(LinkManagerTest, IsLinkComparesThePrefixWithoutCase) {
  const std::pair<std::string, bool> cases[] = {
      {"Nivra://", true},
      {"nivra://00", true},
      {"NIVRA://00/", true},
      {"nIVRA://x", true},
      {"", false},
      {"Nivra:/", false},
      {" Nivra://00", false},
      {"Nivra:\\\\00", false},
      {"http://127.0.0.1/", false},
      {"Nivra//:00", false},
  };
  for (const auto& [text, isLink] : cases) {
    EXPECT_EQ(TEd2kLinkManager::IsLink(text), isLink) << text;
    EXPECT_EQ(TEd2kLinkManager::Decode(text).has_value(), isLink) << text;
  }
}

TEST(LinkManagerTest, EmptyTextRaisesAddressError) {
  try {
    TEd2kFileLink link{""};
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "地址错误！");
  }
  EXPECT_FALSE(TEd2kLinkManager::Decode(""));
}

TEST(LinkManagerTest, EmptyPayloadStillDecryptsOneBlock) {
  expectRecord(TEd2kLinkManager::Decode("Nivra://"), {kLinkNone, "", 0, ""});
  expectRecord(TEd2kLinkManager::Decode("Nivra:///"), {kLinkNone, "", 0, ""});
}

TEST(LinkQueryTest, QueryFunctionsFollowTheKind) {
  struct Case {
    std::string text;
    std::uint8_t kind;
    std::string name;
    std::string address;
  };
  const Case cases[] = {
      {EncodeLink("file|文件|1|u1"), kLinkFile, "文件", "u1"},
      {EncodeLink("play|播放|1|u2"), kLinkPlay, "", "u2"},  // kind 2 has no name for the hosts
      {EncodeLink("video|视频|1|u3"), kLinkVideo, "视频", "u3"},
      {EncodeLink("nvswf|分段|1|u4"), kLinkNvswf, "分段", "u4"},
      {EncodeLink("jslist|列表|1|u5"), kLinkJsList, "列表", "u5"},
      {EncodeLink("other|n|1|u"), kLinkNone, "", ""},
      {"Nivra://nothex", kLinkNone, "", ""},
      {"http://127.0.0.1/page.htm", kLinkNone, "", ""},
      {"", kLinkNone, "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(GetLinkKind(c.text), c.kind);
    EXPECT_EQ(GetLinkName(c.text), c.name);
    EXPECT_EQ(GetLinkAddress(c.text), c.address);
  }
}

TEST(LinkEncoderTest, RefusesRecordsLongerThanTheLengthPrefix) {
  EXPECT_NO_THROW(EncodeLink("video|" + std::string(0xFFFF - 6, 'a')));
  EXPECT_THROW(EncodeLink("video|" + std::string(0xFFFF - 5, 'a')), Error);
}

}  // namespace
}  // namespace nivra::player
