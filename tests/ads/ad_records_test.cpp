// Records and datagrams: every field at its fixed offset, little-endian, exact sizes; replies of
// the wrong type or length give nothing.

#include "ads/ad_records.h"

#include <gtest/gtest.h>

#include <vector>

namespace nivra::ads {
namespace {

std::uint64_t readLe(const std::uint8_t* p, std::size_t n) {
  std::uint64_t v = 0;
  for (std::size_t i = 0; i < n; ++i) v |= std::uint64_t{p[i]} << (8 * i);
  return v;
}

TEST(AdRecords, MiniRecordFieldsAtTheirOffsets) {
  MiniRecord r;
  r.Id = 0x11223344;
  r.Width = 640;
  r.Height = -2;
  r.Url = UrlFromText("http://a/b");
  r.Url[500] = 0x7F;  // bytes after the text's end are kept too
  r.MaxPerDay = 0xA1B2;
  r.CountRefund = 5;
  r.MiniGap = 600;
  r.CrossGap = 60;
  r.TrayDelay = 0xFFFF;
  const auto b = EncodeMiniRecord(r);
  ASSERT_EQ(b.size(), 534u);
  const struct {
    std::size_t offset, size;
    std::uint64_t value;
  } fields[] = {{0, 4, 0x11223344}, {4, 4, 640},   {8, 4, 0xFFFFFFFE}, {524, 2, 0xA1B2},
                {526, 2, 5},        {528, 2, 600}, {530, 2, 60},       {532, 2, 0xFFFF}};
  for (const auto& f : fields) EXPECT_EQ(readLe(&b[f.offset], f.size), f.value) << f.offset;
  EXPECT_EQ(std::string(b.begin() + 12, b.begin() + 22), "http://a/b");
  EXPECT_EQ(b[22], 0);
  EXPECT_EQ(b[12 + 500], 0x7F);
  EXPECT_EQ(DecodeMiniRecord(b), r);
}

TEST(AdRecords, RightRecordFieldsAtTheirOffsets) {
  RightRecord r;
  r.Id = 0x80000001;
  r.Width = 250;
  r.Height = 180;
  r.Url = UrlFromText("http://right");
  r.ShowTime = 15000;
  r.StartDelay = 0x1234;
  const auto b = EncodeRightRecord(r);
  ASSERT_EQ(b.size(), 530u);
  EXPECT_EQ(readLe(&b[0], 4), 0x80000001u);
  EXPECT_EQ(readLe(&b[4], 4), 250u);
  EXPECT_EQ(readLe(&b[8], 4), 180u);
  EXPECT_EQ(readLe(&b[524], 4), 15000u);
  EXPECT_EQ(readLe(&b[528], 2), 0x1234u);
  EXPECT_EQ(DecodeRightRecord(b), r);
  EXPECT_FALSE(DecodeRightRecord(std::span(b).first(529)));
}

TEST(AdRecords, UrlTextEndsAtNulOrAfter512Bytes) {
  EXPECT_EQ(UrlText(UrlFromText("abc")), "abc");
  const std::string full(600, 'x');
  EXPECT_EQ(UrlText(UrlFromText(full)), std::string(512, 'x'));
}

TEST(AdRecords, HeartbeatIsTwelveBytes) {
  const auto b = EncodeHeartbeat(7, 0xDEADBEEF);
  const std::vector<std::uint8_t> expected = {0x01, 0x05, 0x01, 0x00, 0x07, 0x00,
                                              0x00, 0x00, 0xEF, 0xBE, 0xAD, 0xDE};
  EXPECT_EQ(std::vector<std::uint8_t>(b.begin(), b.end()), expected);
}

TEST(AdRecords, RepliesOnlyOfTheirTypeAndExactLength) {
  MiniRecord mini;
  mini.Id = 3;
  RightRecord right;
  right.Id = 4;
  auto miniReply = EncodeMiniReply(mini);
  auto rightReply = EncodeRightReply(right);
  ASSERT_EQ(miniReply.size(), 538u);
  ASSERT_EQ(rightReply.size(), 534u);
  miniReply[2] = 0xAA;  // the second header word is not read
  EXPECT_EQ(std::get<MiniRecord>(DecodeReply(miniReply)), mini);
  EXPECT_EQ(std::get<RightRecord>(DecodeReply(rightReply)), right);

  std::vector<std::uint8_t> longer(miniReply.begin(), miniReply.end());
  longer.push_back(0);
  auto swapped = miniReply;
  swapped[0] = 0x82;  // right type with the mini length
  auto unknown = rightReply;
  unknown[0] = 0x83;
  const std::vector<std::vector<std::uint8_t>> ignored = {
      {},
      {0x81, 0x05},
      std::vector<std::uint8_t>(miniReply.begin(), miniReply.end() - 1),
      longer,
      std::vector<std::uint8_t>(swapped.begin(), swapped.end()),
      std::vector<std::uint8_t>(unknown.begin(), unknown.end()),
      std::vector<std::uint8_t>(rightReply.begin(), rightReply.end() - 1),
  };
  for (const auto& d : ignored)
    EXPECT_TRUE(std::holds_alternative<std::monostate>(DecodeReply(d))) << d.size();
}

}  // namespace
}  // namespace nivra::ads
