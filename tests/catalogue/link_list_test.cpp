// The "NewDataSet" link lists of the scrolling text.

#include "catalogue/link_list.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

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

// The ready step of a list download: what is on disk before, what the caller gets, what is left.
struct InstallCase {
  const char* label;
  std::optional<std::string> shown, downloaded;  // "left.xml", "ADleft.xml"; nullopt: absent
  bool shownIsFolder = false;                    // "left.xml" is a folder that cannot go
  std::optional<std::vector<std::string>> entries;
  bool downloadedLeft = false;
};

void PrintTo(const InstallCase& c, std::ostream* os) { *os << c.label; }

class InstallLinkListTest : public ::testing::TestWithParam<InstallCase> {};

const std::string kOld = "<NewDataSet><ds><title>old</title><url>http://o</url></ds></NewDataSet>";
const std::string kNew =
    "<NewDataSet><ds><title>n1</title><url>http://n/1</url></ds>"
    "<ds><title>n2</title><url>http://n/2</url></ds></NewDataSet>";

TEST_P(InstallLinkListTest, ReplacesTheShownListWithTheDownloadedOne) {
  const InstallCase& c = GetParam();
  nivra::test::TempDir dir;
  if (c.shown) dir.write("left.xml", *c.shown);
  if (c.shownIsFolder) dir.write("left.xml/keep", "x");
  if (c.downloaded) dir.write("ADleft.xml", *c.downloaded);

  EXPECT_EQ(InstallLinkList(dir.path(), "left.xml"), c.entries);
  EXPECT_EQ(std::filesystem::exists(dir / "ADleft.xml"), c.downloadedLeft);
  if (c.downloaded && !c.downloadedLeft) {
    EXPECT_EQ(nivra::test::readFile(dir / "left.xml"), *c.downloaded);
  }
}

using Lines = std::vector<std::string>;
INSTANTIATE_TEST_SUITE_P(
    Steps, InstallLinkListTest,
    ::testing::Values(InstallCase{"no download keeps the shown list", kOld, std::nullopt, false,
                                  Lines{"old=http://o"}, false},
                      InstallCase{"download replaces the shown list", kOld, kNew, false,
                                  Lines{"n1=http://n/1", "n2=http://n/2"}, false},
                      InstallCase{"first download", std::nullopt, kNew, false,
                                  Lines{"n1=http://n/1", "n2=http://n/2"}, false},
                      InstallCase{"broken download gives no entries", kOld, "<NewDataSet><ds>",
                                  false, Lines{}, false},
                      InstallCase{"nothing at all", std::nullopt, std::nullopt, false, Lines{},
                                  false},
                      InstallCase{"failed replacement keeps the entries shown", std::nullopt, kNew,
                                  true, std::nullopt, true}),
    [](const auto& info) {
      std::string name = info.param.label;
      for (char& c : name)
        if (c == ' ') c = '_';
      return name;
    });

}  // namespace
}  // namespace nivra::catalogue
