// The demo ad server's replies, as its Python encoder writes them, read by the program's own
// decoder: every field lands where the scheduler reads it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "ads/ad_records.h"
#include "tests/support/temp_dir.h"

namespace nivra::ads {
namespace {

std::vector<std::uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

TEST(DemoAdServer, RepliesDecodeFieldForField) {
  test::TempDir dir;
  // Values that differ in every byte position and use the top bits, so swapped, narrowed or
  // shifted fields show.
  const auto ads = dir.write("ads.json", R"({
    "mini": {"id": 4000000001, "width": 421, "height": 262, "url": "{display}/m.html",
             "maxPerDay": 65535, "countRefund": 258, "miniGap": 772, "crossGap": 1286,
             "trayDelay": 1800},
    "right": [{"id": 3000000002, "width": 301, "height": 181, "url": "{display}/r.html",
               "showTime": 2000000003, "startDelay": 65534}]})");
  const std::string command = "/usr/bin/python3 '" NIVRA_DEMO_ADS "' --dump '" +
                              dir.path().string() + "' --display http://127.0.0.1:9/ '" +
                              ads.string() + "'";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;

  const auto mini = bytesOf(test::readFile(dir / "mini.reply"));
  ASSERT_EQ(mini.size(), kMiniReplySize);
  const auto decodedMini = DecodeReply(mini);
  ASSERT_TRUE(std::holds_alternative<MiniRecord>(decodedMini));
  const auto& m = std::get<MiniRecord>(decodedMini);
  EXPECT_EQ(m.Id, 4000000001u);
  EXPECT_EQ(m.Width, 421);
  EXPECT_EQ(m.Height, 262);
  EXPECT_EQ(UrlText(m.Url), "http://127.0.0.1:9/m.html");
  EXPECT_EQ(m.MaxPerDay, 65535);
  EXPECT_EQ(m.CountRefund, 258);
  EXPECT_EQ(m.MiniGap, 772);
  EXPECT_EQ(m.CrossGap, 1286);
  EXPECT_EQ(m.TrayDelay, 1800);
  // The program's own encoder writes the same datagram, byte for byte.
  EXPECT_TRUE(std::ranges::equal(EncodeMiniReply(m), mini));

  const auto right = bytesOf(test::readFile(dir / "right.reply"));
  ASSERT_EQ(right.size(), kRightReplySize);
  const auto decodedRight = DecodeReply(right);
  ASSERT_TRUE(std::holds_alternative<RightRecord>(decodedRight));
  const auto& r = std::get<RightRecord>(decodedRight);
  EXPECT_EQ(r.Id, 3000000002u);
  EXPECT_EQ(r.Width, 301);
  EXPECT_EQ(r.Height, 181);
  EXPECT_EQ(UrlText(r.Url), "http://127.0.0.1:9/r.html");
  EXPECT_EQ(r.ShowTime, 2000000003);
  EXPECT_EQ(r.StartDelay, 65534);
  EXPECT_TRUE(std::ranges::equal(EncodeRightReply(r), right));
}

}  // namespace
}  // namespace nivra::ads
