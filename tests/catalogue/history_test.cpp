// The play history across "His1.dat" and "His2.dat".

#include "catalogue/history.h"

#include <gtest/gtest.h>

#include "catalogue/tree_copy.h"
#include "common/ini_date_time.h"
#include "platform/date_time.h"
#include "tests/support/temp_dir.h"

namespace nivra::catalogue {
namespace {

std::string slot(int i, const std::string& name, const std::string& url, const std::string& date) {
  return "[History" + std::to_string(i) + "]\nsName=" + name + "\nsUrl=" + url +
         "\nsAVLevel=\ndDate=" + date + "\n\n";
}

std::vector<std::string> names(const CatalogueTree& tree) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < tree.topCount(); ++i) out.push_back(tree.top(i)->text());
  return out;
}

class HistoryTest : public ::testing::Test {
 protected:
  void play(const std::string& url) {
    AddUrlToTree(url, tree, nullptr, now);
    history.SaveHistory(tree);
    history.LoadHistory(tree);
    now += std::chrono::minutes(1);
  }

  nivra::test::TempDir dir;
  THistory history{dir.path(), 25};
  CatalogueTree tree;
  std::chrono::system_clock::time_point now =
      std::chrono::sys_days{std::chrono::year{2024} / 3 / 1} + std::chrono::hours(12);
};

TEST_F(HistoryTest, TwentySixthItemDropsTheOldest) {
  history.LoadHistory(tree);
  for (int i = 1; i <= 26; ++i) play("Nivra://item" + std::to_string(i));
  ASSERT_EQ(tree.topCount(), 25u);
  EXPECT_EQ(tree.top(0)->text(), "Nivra://item26");
  EXPECT_EQ(tree.top(24)->text(), "Nivra://item2");
  TIniOptions file(25);
  file.Load(history.firstFile());
  EXPECT_EQ(file.Url(0), "Nivra://item26");
  EXPECT_EQ(file.Url(24), "Nivra://item2");
  EXPECT_EQ(tree.top(0)->item()->kind, kItem);
  EXPECT_EQ(tree.top(0)->item()->date,
            common::textToDateTime(common::dateTimeToText(platform::toDateTime(now - std::chrono::minutes(1)))));
}

TEST(HistoryCapacity, ZeroOrLessKeepsNoHistory) {
  for (std::int32_t capacity : {0, -3}) {
    SCOPED_TRACE(capacity);
    nivra::test::TempDir dir;
    THistory history{dir.path(), capacity};
    CatalogueTree tree;
    history.LoadHistory(tree);
    AddUrlToTree("Nivra://played", tree, nullptr, std::chrono::system_clock::now());
    history.SaveHistory(tree);
    history.LoadHistory(tree);
    EXPECT_EQ(tree.topCount(), 0u);
    EXPECT_EQ(history.first().capacity(), 0);
    EXPECT_EQ(nivra::test::readFile(history.firstFile()).find("Nivra://played"), std::string::npos);
  }
}

TEST_F(HistoryTest, PlayingTheSameUrlAgainMovesItToTheTop) {
  history.LoadHistory(tree);
  play("Nivra://a");
  play("Nivra://b");
  play("NIVRA://A");
  EXPECT_EQ(names(tree), (std::vector<std::string>{"NIVRA://A", "Nivra://b"}));
}

TEST_F(HistoryTest, SlotWithoutUrlIsHiddenAndDroppedAtTheNextSave) {
  dir.write("His1.dat", slot(0, "Shown", "Nivra://s", "2024-01-02 00:00:00") +
                            slot(1, "No url", "", "2024-01-01 00:00:00"));
  history.LoadHistory(tree);
  EXPECT_EQ(names(tree), (std::vector<std::string>{"Shown"}));
  EXPECT_EQ(tree.selected(), tree.top(0));
  history.SaveHistory(tree);
  EXPECT_EQ(nivra::test::readFile(history.firstFile()).find("No url"), std::string::npos);
}

TEST_F(HistoryTest, SecondListIsMergedByDateAndWrittenBackOnlyToItsFile) {
  dir.write("His1.dat", slot(0, "New", "Nivra://new", "2024-01-03 00:00:00") +
                            slot(1, "Old", "Nivra://old", "2024-01-01 00:00:00"));
  dir.write("His2.dat", slot(0, "Middle", "Nivra://mid", "2024-01-02 00:00:00") +
                            slot(1, "Oldest", "Nivra://oldest", "2023-12-01 00:00:00") +
                            slot(2, "Tie", "Nivra://tie", "2024-01-01 00:00:00"));
  history.LoadHistory(tree);
  // An entry goes before the first node that is not later than it: "Tie" before "Old".
  EXPECT_EQ(names(tree), (std::vector<std::string>{"New", "Middle", "Tie", "Old", "Oldest"}));
  EXPECT_EQ(tree.top(1)->item()->list, 1);

  history.SaveHistory(tree);
  const std::string his1 = nivra::test::readFile(history.firstFile());
  const std::string his2 = nivra::test::readFile(history.secondFile());
  EXPECT_EQ(his1.find("Middle"), std::string::npos);
  EXPECT_NE(his1.find("sName=Old\n"), std::string::npos);
  EXPECT_NE(his2.find(slot(0, "Middle", "Nivra://mid", "2024-01-02 00:00:00")), std::string::npos);
  EXPECT_NE(his2.find(slot(1, "Tie", "Nivra://tie", "2024-01-01 00:00:00")), std::string::npos);
  EXPECT_NE(his2.find(slot(2, "Oldest", "Nivra://oldest", "2023-12-01 00:00:00")),
            std::string::npos);
  EXPECT_NE(his2.find("[History19]"), std::string::npos);
}

TEST_F(HistoryTest, ClearedTreeWritesEmptySlots) {
  dir.write("His1.dat", slot(0, "A", "Nivra://a", "2024-01-03 00:00:00"));
  history.LoadHistory(tree);
  tree.clear();
  history.SaveHistory(tree);
  TIniOptions first(25), second(20);
  first.Load(history.firstFile());
  second.Load(history.secondFile());
  for (int i = 0; i < 25; ++i) EXPECT_EQ(first.Name(i) + first.Url(i), "");
  EXPECT_EQ(second.Name(19), "");
  EXPECT_EQ(nivra::test::readFile(history.secondFile()).find("[History20]"), std::string::npos);
}

TEST_F(HistoryTest, MissingFilesGiveAnEmptyHistory) {
  history.LoadHistory(tree);
  EXPECT_EQ(tree.topCount(), 0u);
  EXPECT_EQ(tree.itemHeight(), 20);
}

}  // namespace
}  // namespace nivra::catalogue
