// The site table and server types, the reading of segment-list addresses and their expansion.

#include <gtest/gtest.h>

#include "player/flash/segment_list.h"
#include "player/flash/web_sites.h"

namespace nivra::player {
namespace {

TEST(WebSites, EachSiteIsFoundByItsDomainAnywhereInTheAddressInAnyCase) {
  const std::pair<const char*, std::uint8_t> cases[] = {
      {"http://v.youku.com/v_show/id_1.html", 1},
      {"HTTP://WWW.TUDOU.COM/programs/view/x/", 2},
      {"http://video.sina.com.cn/v/b/1.html", 3},
      {"http://v.ku6.com/show/a.html", 4},
      {"http://www.jidong.com/play/7", 5},
      {"http://tianxian.com/v/8", 6},
      {"http://www.56.com/u/v_9.html", 7},
      {"http://www.letv.com/ptv/vplay/1.html", 8},
      {"http://127.0.0.1:8000/pages/letv.com/show.html", 8},  // a path naming the domain counts
      {"http://example.org/watch?v=1", 0},
      {"", 0},
  };
  for (const auto& [url, type] : cases) EXPECT_EQ(ServerTypeOfPage(url), type) << url;
}

TEST(WebSites, TheEarlierRowWinsWhenTwoDomainsOccur) {
  EXPECT_EQ(ServerTypeOfPage("http://www.letv.com/redirect?to=youku.com"), 1);
  EXPECT_EQ(ServerTypeOfPage("http://56.com/ku6.com/x"), 4);
}

TEST(WebSites, NamesForEveryServerType) {
  const char* names[] = {"", "Youku", "Tudou", "Sina", "Ku6", "Jidong", "Tianxian", "56", "Letv",
                         "NVRMp4", "NVRFlv", ""};
  for (std::uint8_t t = 0; t <= 11; ++t) EXPECT_EQ(ServerTypeName(t), names[t]) << int(t);
  ASSERT_EQ(WebVideoSites().size(), 8u);
  for (const auto& site : WebVideoSites()) EXPECT_EQ(ServerTypeOfPage(site.Domain), site.ServerType);
}

TEST(SegmentLink, PrefixChoosesTheTypeAndKeepsTheExtensionAsWritten) {
  struct Case {
    const char* address;
    std::uint8_t type;
    const char* ext;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"http://h/X_\\300000,700000", 9, "", {"http://h/X_\\300000,700000"}},
      {"flv\\http://h/X_\\1,2", 10, "flv", {"http://h/X_\\1,2"}},
      {"F4V\\http://h/Y_\\1,2", 10, "F4V", {"http://h/Y_\\1,2"}},
      {"FLV\\a\r\nb\nc\rd", 10, "FLV", {"a", "b", "c", "d"}},
      {"mp4\\http://h/Z", 9, "", {"mp4\\http://h/Z"}},
      {"flv", 9, "", {"flv"}},
      {"", 9, "", {}},
  };
  for (const auto& c : cases) {
    const SegmentLink link = ParseSegmentLink(c.address);
    EXPECT_EQ(link.ServerType, c.type) << c.address;
    EXPECT_EQ(link.SegmentExt, c.ext) << c.address;
    EXPECT_EQ(link.Lines, c.lines) << c.address;
  }
}

struct ExpansionCase {
  const char* name;
  std::vector<std::string> list;
  std::uint8_t type;
  const char* ext;
  bool rebuilt;
  std::vector<std::string> expected;
  int duration;  // expected Duration; -1 = untouched
};

class SegmentExpansion : public ::testing::TestWithParam<ExpansionCase> {};

TEST_P(SegmentExpansion, BuildsNumberedSegmentUrls) {
  const auto& c = GetParam();
  std::vector<std::string> list = c.list;
  int duration = -1;
  EXPECT_EQ(ExpandSegmentList(list, c.type, c.ext, duration), c.rebuilt);
  EXPECT_EQ(list, c.expected);
  EXPECT_EQ(duration, c.duration);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SegmentExpansion,
    ::testing::Values(
        ExpansionCase{"Example", {"X_\\300000,700000"}, 9, "", true,
                      {"X_1.mp4?l=300000", "X_2.mp4?l=300000", "X_3.mp4?l=100000"}, 700000},
        ExpansionCase{"ExactMultiple", {"X_\\300000,600000"}, 9, "", true,
                      {"X_1.mp4?l=300000", "X_2.mp4?l=300000"}, 600000},
        ExpansionCase{"TotalZero", {"X_\\300000,0"}, 9, "", true, {"X_1.mp4?l=0"}, 0},
        ExpansionCase{"FlvInCapitals", {"http://h/s_\\5,12"}, 10, "FLV", true,
                      {"http://h/s_1.FLV?l=5", "http://h/s_2.FLV?l=5", "http://h/s_3.FLV?l=2"}, 12},
        ExpansionCase{"SpacesSeparateItems", {"B\\ 10 , 15 "}, 10, "f4v", true,
                      {"B1.f4v?l=10", "B2.f4v?l=5"}, 15},
        ExpansionCase{"NotANumberCountsAsZero", {"B\\abc,10"}, 9, "", true, {"B1.mp4?l=10"}, 10},
        ExpansionCase{"SegmentLengthZero", {"B\\0,700000"}, 9, "", true, {"B1.mp4?l=700000"}, 700000},
        ExpansionCase{"SegmentLengthNegative", {"B\\-5,20"}, 9, "", true, {"B1.mp4?l=20"}, 20},
        ExpansionCase{"TooManySegments", {"B\\1,10001"}, 9, "", false, {"B\\1,10001"}, 10001},
        ExpansionCase{"NoBackslash", {"http://h/a.mp4", "http://h/b.mp4"}, 9, "", false,
                      {"http://h/a.mp4", "http://h/b.mp4"}, -1},
        ExpansionCase{"OneItem", {"B\\300000"}, 9, "", false, {"B\\300000"}, -1},
        ExpansionCase{"ThreeItems", {"B\\1,2,3"}, 9, "", false, {"B\\1,2,3"}, -1},
        ExpansionCase{"SecondLineIsAnItemToo", {"B\\300000", "700000"}, 9, "", true,
                      {"B1.mp4?l=300000", "B2.mp4?l=300000", "B3.mp4?l=100000"}, 700000}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SegmentExpansionLimit, TheLimitAllowsExactlyTenThousandSegments) {
  std::vector<std::string> list{"B\\1000,10000000"};
  int duration = 0;
  ASSERT_TRUE(ExpandSegmentList(list, 9, "", duration));
  ASSERT_EQ(list.size(), static_cast<std::size_t>(kMaxSegments));
  EXPECT_EQ(list.back(), "B10000.mp4?l=1000");
}

TEST(ListLines, TrimmedNonEmptyLinesOfAResolverText) {
  EXPECT_EQ(NonEmptyTrimmedLines("  \r\n http://a/1 \r\n\r\n\thttp://a/2\n  \n"),
            (std::vector<std::string>{"http://a/1", "http://a/2"}));
  EXPECT_TRUE(NonEmptyTrimmedLines(" \r\n\t ").empty());
}

}  // namespace
}  // namespace nivra::player
