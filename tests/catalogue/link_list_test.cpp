// The "NewDataSet" link lists of the scrolling text.

#include "catalogue/link_list.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace nivra::catalogue {
namespace {

struct LinkListCase {
  const char* label;
  std::string xml;
  std::string lines;
};

void PrintTo(const LinkListCase& c, std::ostream* os) { *os << c.label; }

class LinkListTest : public ::testing::TestWithParam<LinkListCase> {};

TEST_P(LinkListTest, ReadsTitleAndUrlLines) {
  nivra::test::TempDir dir;
  auto file = dir.write("right.xml", GetParam().xml);
  EXPECT_EQ(ReadLinkList(file), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, LinkListTest,
    ::testing::Values(
        LinkListCase{"two links",
                     "<?xml version=\"1.0\" encoding=\"utf-8\"?><NewDataSet>"
                     "<ds><title>新片</title><url>http://a/1</url></ds>"
                     "<ds><url>http://b/2</url><title>Second</title></ds></NewDataSet>",
                     "新片=http://a/1\r\nSecond=http://b/2\r\n"},
        LinkListCase{"blank parts skipped and trimmed",
                     "<NewDataSet><ds><title>  </title><url>http://x</url></ds>"
                     "<ds><title>t</title></ds><ds><title> A </title><url>\n u \n</url></ds>"
                     "</NewDataSet>",
                     "A=u\r\n"},
        LinkListCase{"other elements ignored",
                     "<NewDataSet><other><title>o</title><url>u</url></other>"
                     "<ds><title>a<b>b</b><![CDATA[c]]></title><url>u</url><x/></ds></NewDataSet>",
                     "abc=u\r\n"},
        LinkListCase{"wrong root", "<Data><ds><title>t</title><url>u</url></ds></Data>", ""},
        LinkListCase{"parse error", "<NewDataSet><ds><title>t</title><url>u</url></ds><ds><title>",
                     ""},
        LinkListCase{"not XML", "\x01\x02 binary", ""}),
    [](const auto& info) {
      std::string name = info.param.label;
      for (char& c : name)
        if (c == ' ') c = '_';
      return name;
    });

TEST(LinkList, MissingFileGivesNothing) {
  nivra::test::TempDir dir;
  EXPECT_EQ(ReadLinkList(dir / "none.xml"), "");
}

}  // namespace
}  // namespace nivra::catalogue
