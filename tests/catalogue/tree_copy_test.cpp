// Copying items to the top of the history and the favourites.

#include "catalogue/tree_copy.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "platform/date_time.h"
#include "tests/catalogue/catalogue_test_support.h"

namespace nivra::catalogue::test {
namespace {

using nlohmann::json;

class TreeCopyTest : public ::testing::Test {
 protected:
  // A catalogue with album "A" (id 42) holding two episodes, loaded from the cache.
  void SetUp() override {
    fx.putCached("Tree.js",
                 json{{"c", "1"}, {"arr", {{{"i", 42}, {"t", 1}, {"n", "A"}, {"c", "2"}}}}}.dump());
    fx.putCached("42.js", json{{"c", "2"},
                               {"arr",
                                {{{"i", 3}, {"t", 2}, {"n", ""}, {"c", "HD"}, {"u", "Nivra://3"}},
                                 {{"i", 4}, {"t", 2}, {"n", "Named"}, {"u", "Nivra://4"}}}}}
                              .dump());
    fun.LoadTopList(catalogue, "Tree.js");
    fun.ExpandNode(catalogue, *catalogue.top(0), false);
  }

  CacheFixture fx;
  TreeFun fun{fx.cache};
  CatalogueTree catalogue, history;
  std::chrono::system_clock::time_point now = std::chrono::system_clock::now();
};

TEST_F(TreeCopyTest, EpisodeCopyIsNamedWithItsParentsPrefix) {
  catalogue.select(catalogue.top(0)->child(0));
  TCatalogueItem copy = CopyItemToTree(fun, catalogue, history, now);
  EXPECT_EQ(copy.name(), "A-第3集  ");
  EXPECT_EQ(copy.url(), "Nivra://3");
  EXPECT_EQ(copy.date, platform::toDateTime(now));
  EXPECT_EQ(describeTree(history), "[1] A-第3集  \n");
  EXPECT_EQ(*history.top(0)->item(), copy);
}

TEST_F(TreeCopyTest, SameItemCopiedAgainReplacesItsNode) {
  catalogue.select(catalogue.top(0)->child(1));
  CopyItemToTree(fun, catalogue, history, now);
  catalogue.select(catalogue.top(0)->child(0));
  CopyItemToTree(fun, catalogue, history, now);
  catalogue.select(catalogue.top(0)->child(1));
  CopyItemToTree(fun, catalogue, history, now);
  EXPECT_EQ(describeTree(history), "[1] A-Named  \n[1] A-第3集  \n");
}

TEST_F(TreeCopyTest, RecordWithoutNameTakesEpisodeNameAndParentCount) {
  TreeNode* episode = catalogue.top(0)->child(0);
  episode->item()->setName("");
  episode->item()->id = 9;
  catalogue.select(episode);
  TCatalogueItem copy = CopyItemToTree(fun, catalogue, history, now);
  EXPECT_EQ(copy.name(), "A-第9集 ");
  EXPECT_EQ(copy.count(), "2");
}

TEST_F(TreeCopyTest, SingleEpisodeAlbumIsResolvedBeforeTheCopy) {
  fx.putCached(
      "Single.js",
      json{{"c", "1"}, {"arr", {{{"i", 50}, {"t", 1}, {"n", "Film"}, {"c", "1"}}}}}.dump());
  fx.putCached("50.js",
               json{{"c", "1"}, {"arr", {{{"i", 51}, {"t", 2}, {"u", "Nivra://film"}}}}}.dump());
  CatalogueTree tree;
  fun.LoadListDocument(tree, "Single.js");  // the album as a child of a list node
  TreeNode* album = tree.top(0)->child(0);
  ASSERT_TRUE(album->item()->isSingleEpisodeAlbum());
  album->item()->setUrl("Nivra://");
  tree.select(album);
  TCatalogueItem copy = CopyItemToTree(fun, tree, history, now);
  EXPECT_EQ(copy.url(), "Nivra://film");
  EXPECT_EQ(copy.count(), "0");
  EXPECT_EQ(copy.name(), "Film ");  // the list node has no name: no prefix
}

TEST_F(TreeCopyTest, NothingIsCopiedWithoutRecordOrUrl) {
  catalogue.select(nullptr);
  EXPECT_EQ(CopyItemToTree(fun, catalogue, history, now), TCatalogueItem{});
  catalogue.select(catalogue.top(0));  // the album itself has no url
  EXPECT_EQ(CopyItemToTree(fun, catalogue, history, now), TCatalogueItem{});
  EXPECT_EQ(history.topCount(), 0u);
}

TEST(AddUrlToTree, NamesTheEntryByTheLinkOrByTheUrl) {
  CatalogueTree history;
  const auto now = std::chrono::system_clock::now();
  auto linkName = [](std::string_view url) {
    return url == "Nivra://named" ? std::string("片名") : std::string();
  };
  TCatalogueItem named = AddUrlToTree("Nivra://named", history, linkName, now);
  EXPECT_EQ(named.name(), "片名");
  const std::string longUrl = "http://" + std::string(1300, 'p');
  TCatalogueItem plain = AddUrlToTree(longUrl, history, linkName, now);
  EXPECT_EQ(plain.name(), longUrl.substr(0, 100));
  EXPECT_EQ(plain.url(), longUrl.substr(0, 1000));
  EXPECT_EQ(plain.list, 0);
  EXPECT_EQ(history.top(0)->text(), longUrl.substr(0, 100));
  EXPECT_EQ(history.top(1)->text(), "片名");
}

}  // namespace
}  // namespace nivra::catalogue::test
