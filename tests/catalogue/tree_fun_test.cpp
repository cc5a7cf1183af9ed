// The catalogue tree algorithms over documents in a fresh cache (no network involved).

#include "catalogue/tree_fun.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tests/catalogue/catalogue_test_support.h"

namespace nivra::catalogue::test {
namespace {

using nlohmann::json;

class TreeFunTest : public ::testing::Test {
 protected:
  void put(const std::string& name, const json& doc) { fx.putCached(name, doc.dump()); }
  // A top-level album (or other kind) node, as LoadTopList makes it.
  TreeNode& topNode(std::int32_t id, std::uint8_t kind, const std::string& count,
                    const std::string& name = "Album") {
    put("Tree.js", {{"c", "1"}, {"arr", {{{"i", id}, {"t", kind}, {"n", name}, {"c", count}}}}});
    fun.LoadTopList(tree, "Tree.js");
    return *tree.top(tree.topCount() - 1);
  }

  CacheFixture fx;
  TreeFun fun{fx.cache};
  CatalogueTree tree;
};

TEST_F(TreeFunTest, TopListShowsEachKindWithPlaceholdersAndSelectsFirst) {
  put("Tree.js", {{"c", 4},
                  {"arr",
                   {{{"i", 1}, {"t", "0"}, {"n", "电影"}, {"c", "12"}, {"u", "ignored"}},
                    {{"i", 2}, {"t", 1}, {"n", "Album"}, {"c", "0"}},
                    {{"i", 3}, {"t", 3}, {"n", "Item"}, {"c", "0"}, {"u", "Nivra://x"}},
                    {{"i", 4}, {"t", 3}, {"n", "Item2"}, {"c", ""}, {"u", "Nivra://y"}}}}});
  EXPECT_EQ(fun.LoadTopList(tree, "Tree.js"), "4");
  EXPECT_EQ(describeTree(tree),
            "[1] 电影|(12)\n"
            "  [-1] 正在加载...\n"
            "[1] Album|(0)\n"
            "[1] Item\n"
            "[1] Item2\n"
            "  [-1] 正在加载...\n");
  EXPECT_EQ(tree.top(0)->item()->url(), "");  // only kind 3 keeps "u" at the top level
  EXPECT_EQ(tree.top(2)->item()->url(), "Nivra://x");
  EXPECT_EQ(tree.top(0)->child(0)->item(), nullptr);
  EXPECT_EQ(tree.selected(), tree.top(0));
  EXPECT_EQ(tree.itemHeight(), 20);
  EXPECT_EQ(tree.scrollBarUpdates(), 1);
}

TEST_F(TreeFunTest, TopListStopsOnZeroCountMissingArrOrUnreadableDocument) {
  struct Case {
    const char* text;
    const char* result;
  } cases[] = {{R"({"c":"0","arr":[{"i":1,"t":3,"n":"x","c":"0"}]})", "0"},
               {R"({"c":"5"})", "5"},
               {R"({"c":"5","arr":{}})", "5"},
               {R"({"c":"5","arr":[)", "0"},
               {"", "0"}};
  for (const Case& c : cases) {
    fx.putCached("Tree.js", c.text);
    CatalogueTree t;
    EXPECT_EQ(fun.LoadTopList(t, "Tree.js"), c.result) << c.text;
    EXPECT_EQ(t.topCount(), 0u) << c.text;
    EXPECT_EQ(t.scrollBarUpdates(), 0) << c.text;
  }
  EXPECT_EQ(fun.LoadTopList(tree, (fx.dir / "missing.js").string()), "0");
}

TEST_F(TreeFunTest, TopListSkipsMatchesOfExistingNodesAndSelectsTheirFirstChild) {
  put("Tree.js", {{"c", "2"},
                  {"arr",
                   {{{"i", 1}, {"t", 0}, {"n", "Films"}, {"c", "3"}},
                    {{"i", 2}, {"t", 3}, {"n", "Clip"}, {"c", "0"}, {"u", "Nivra://AB"}}}}});
  fun.LoadTopList(tree, "Tree.js");
  tree.select(nullptr);
  put("More.js", {{"c", "3"},
                  {"arr",
                   {{{"i", 9}, {"t", 0}, {"n", "  films "}, {"c", "1"}},
                    {{"i", 8}, {"t", 3}, {"n", "Other"}, {"c", "0"}, {"u", "nivra://ab"}},
                    {{"i", 7}, {"t", 3}, {"n", "New"}, {"c", "0"}, {"u", "Nivra://new"}},
                    {{"i", 6}, {"t", 3}, {"n", "NEW"}, {"c", "0"}, {"u", "Nivra://n2"}}}}});
  fun.LoadTopList(tree, "More.js");
  ASSERT_EQ(tree.topCount(), 3u);  // "NEW" matches "New" of the same document
  EXPECT_EQ(tree.top(2)->text(), "New");
  EXPECT_EQ(tree.selected(), tree.top(0)->firstChild());
}

TEST_F(TreeFunTest, TopListSkipsEntriesThatCannotBeConverted) {
  fx.putCached("Tree.js", R"({"c":"9","arr":[
      {"i":1,"t":"x","n":"bad kind"}, {"i":2,"n":"no kind"}, {"i":3,"t":300,"n":"too big"},
      {"i":"abc","t":0,"n":"bad id"}, {"i":5,"t":0,"n":{"x":1}}, 17, null,
      {"i":6,"t":0,"n":"good","c":2}, {"i":7,"t":0.5,"n":"fraction"}]})");
  EXPECT_EQ(fun.LoadTopList(tree, "Tree.js"), "9");
  ASSERT_EQ(tree.topCount(), 1u);
  EXPECT_EQ(tree.top(0)->text(), "good|(2)");
}

TEST_F(TreeFunTest, RecordFieldsAreCutToTheirWidths) {
  const std::string longUrl = "Nivra://" + std::string(1192, 'u');
  std::string longName;
  for (int i = 0; i < 40; ++i) longName += "长";  // 3 bytes each
  put("Tree.js",
      {{"c", "1"},
       {"arr", {{{"i", 1}, {"t", 3}, {"n", longName}, {"c", "12345678901234"}, {"u", longUrl}}}}});
  fun.LoadTopList(tree, "Tree.js");
  const TCatalogueItem& item = *tree.top(0)->item();
  EXPECT_EQ(item.url(), longUrl.substr(0, 1000));
  EXPECT_EQ(item.name(), longName.substr(0, 99));  // 33 whole characters
  EXPECT_EQ(item.count(), "1234567890");
}

TEST_F(TreeFunTest, LocalFileIsReadDirectly) {
  auto file = fx.dir.write("fav/Fav.dat",
                           R"({"c":1,"arr":[{"i":5,"t":3,"n":"Mine","c":0,"u":"Nivra://m"}]})");
  EXPECT_EQ(fun.LoadTopList(tree, file.string()), "1");
  EXPECT_EQ(describeTree(tree), "[1] Mine\n");
}

TEST_F(TreeFunTest, ExpandShowsChildrenByKind) {
  TreeNode& album = topNode(42, kAlbum, "6");
  put("42.js",
      {{"c", "6"},
       {"arr",
        {{{"i", 7}, {"t", 2}, {"n", ""}, {"c", ""}, {"u", "Nivra://7"}},
         {{"i", 8}, {"t", 2}, {"n", "Pilot"}, {"c", "HD"}, {"u", "Nivra://8"}, {"al", "4.5"}},
         {{"i", 9}, {"t", 0}, {"n", "Group"}, {"c", "3"}},
         {{"i", 10}, {"t", 1}, {"n", "Single"}, {"c", "1"}},
         {{"i", 11}, {"t", 1}, {"n", "Empty"}, {"c", "0"}},
         {{"i", 12}, {"t", 3}, {"n", "Hidden item"}, {"c", "1"}}}}});
  EXPECT_EQ(fun.ExpandNode(tree, album, false), "6");
  EXPECT_EQ(describeTree(tree),
            "[1] Album|(6)\n"
            "  [-1] 第7集 \n"
            "  [-1] Pilot |HD\n"
            "  [1] Group|(3)\n"
            "    [-1] 正在加载...\n"
            "  [-1] Single\n");
  const TCatalogueItem& episode = *album.child(0)->item();
  EXPECT_EQ(episode.id, 42);  // episodes carry the album's id
  EXPECT_EQ(episode.url(), "Nivra://7");
  EXPECT_EQ(album.child(1)->item()->rating(), "4.");
  EXPECT_EQ(album.child(3)->item()->url(), "Nivra://");
  EXPECT_FALSE(album.child(3)->hasChildren());
}

TEST_F(TreeFunTest, SingleEpisodeAlbumTakesItsEpisodeUrlAndBecomesALeaf) {
  put("Tree.js", {{"c", "1"}, {"arr", {{{"i", 1}, {"t", 1}, {"n", "Show"}, {"c", "2"}}}}});
  fun.LoadTopList(tree, "Tree.js");
  put("1.js", {{"c", "1"}, {"arr", {{{"i", 30}, {"t", 1}, {"n", "Film"}, {"c", "1"}}}}});
  fun.ExpandNode(tree, *tree.top(0), false);
  TreeNode& single = *tree.top(0)->child(0);
  put("30.js", {{"c", "1"}, {"arr", {{{"i", 31}, {"t", 2}, {"n", "x"}, {"u", "Nivra://film"}}}}});

  EXPECT_EQ(fun.ExpandNode(tree, single, true), "0");  // albums are not expanded from the cache
  EXPECT_EQ(single.item()->url(), "Nivra://");
  EXPECT_EQ(fun.ExpandNode(tree, single, false), "1");
  EXPECT_EQ(single.item()->url(), "Nivra://film");
  EXPECT_EQ(single.item()->count(), "0");
  EXPECT_FALSE(single.hasChildren());
  EXPECT_EQ(single.text(), "Film");
  // Resolved: a further expansion does nothing.
  EXPECT_EQ(fun.ExpandNode(tree, single, false), "0");
}

TEST_F(TreeFunTest, DocumentWithoutArrTurnsPlaceholderIntoFailureText) {
  TreeNode& group = topNode(5, kGroup, "3");
  tree.addChild(group, "stray");
  put("5.js", {{"c", "3"}});
  EXPECT_EQ(fun.ExpandNode(tree, group, true), "3");
  EXPECT_EQ(describeTree(tree), "[1] Album|(3)\n  [-1] 加载失败，请稍后重试！\n");

  // The failure text counts as not loaded: a good document replaces it.
  put("5.js", {{"c", "1"}, {"arr", {{{"i", 6}, {"t", 2}, {"n", "e"}}}}});
  fun.ExpandNode(tree, group, true);
  EXPECT_EQ(describeTree(tree), "[1] Album|(3)\n  [-1] e \n");
}

TEST_F(TreeFunTest, LoadedNodeIsNotExpandedAgain) {
  TreeNode& group = topNode(5, kGroup, "3");
  put("5.js", {{"c", "1"}, {"arr", {{{"i", 6}, {"t", 2}, {"n", "first"}}}}});
  fun.ExpandNode(tree, group, true);
  put("5.js", {{"c", "2"}, {"arr", {{{"i", 6}, {"t", 2}, {"n", "changed"}}}}});
  EXPECT_EQ(fun.ExpandNode(tree, group, true), "2");
  EXPECT_EQ(describeTree(tree), "[1] Album|(3)\n  [-1] first \n");
}

TEST_F(TreeFunTest, ExpandLeavesNodesAloneThatHaveNothingToLoad) {
  TreeNode& zero = topNode(1, kGroup, "0", "Zero");
  TreeNode& resolved = topNode(2, kAlbum, "4", "Resolved");
  resolved.item()->setUrl("Nivra://done");
  TreeNode& unreadable = topNode(3, kGroup, "2", "Broken");
  TreeNode* placeholder = tree.addChild(*tree.addTop("no record"), "x");
  put("1.js", {{"c", "1"}, {"arr", {{{"i", 9}, {"t", 2}}}}});
  put("2.js", {{"c", "1"}, {"arr", {{{"i", 9}, {"t", 2}}}}});
  fx.putCached("3.js", R"({"c":"1","arr":[)");
  const std::string before = describeTree(tree);

  EXPECT_EQ(fun.ExpandNode(tree, zero, false), "0");
  EXPECT_EQ(fun.ExpandNode(tree, resolved, false), "0");
  EXPECT_EQ(fun.ExpandNode(tree, unreadable, false), "0");
  EXPECT_EQ(fun.ExpandNode(tree, *placeholder, false), "0");
  EXPECT_EQ(describeTree(tree), before);
}

TEST_F(TreeFunTest, DestroyedTreeStopsAddingNodes) {
  TreeNode& group = topNode(5, kGroup, "3");
  put("5.js", {{"c", "1"}, {"arr", {{{"i", 6}, {"t", 2}, {"n", "e"}}}}});
  tree.setDestroying(true);
  fun.ExpandNode(tree, group, true);
  EXPECT_EQ(group.childCount(), 0u);  // the placeholder went, nothing was added
}

TEST_F(TreeFunTest, ListDocumentBecomesOneNodeWithEveryEntry) {
  tree.addTop("existing");
  const json list = {{"n", "Playlist"},
                     {"t", 0},
                     {"c", "3"},
                     {"arr",
                      {{{"i", 3}, {"t", 2}, {"n", ""}, {"c", ""}, {"u", "Nivra://3"}},
                       {{"i", 4}, {"t", 3}, {"n", "Item"}, {"c", "2"}, {"u", "Nivra://4"}},
                       {{"i", 5}, {"t", 0}, {"n", "Group"}, {"c", "0"}}}}};
  put("lists/77.js", list);
  EXPECT_EQ(fun.LoadListDocument(tree, "lists/77.js"), "3");
  EXPECT_EQ(describeTree(tree),
            "[-1] existing\n"
            "[1] Playlist|(3)\n"
            "  [-1] 第3集 \n"
            "  [-1] Item|2\n"
            "  [-1] Group|0\n");
  const TreeNode& node = *tree.top(1);
  EXPECT_EQ(node.item()->id, 77);
  EXPECT_EQ(node.item()->kind, kAlbum);
  EXPECT_EQ(node.child(0)->item()->id, 77);
  EXPECT_EQ(tree.selected(), node.firstChild());

  // Loading it again replaces the node; a list kind of 2 or more is kept.
  put("lists/77.js", {{"n", "Playlist"}, {"t", 5}, {"c", "1"}, {"arr", {{{"i", 3}, {"t", 2}}}}});
  fun.LoadListDocument(tree, "lists/77.js");
  ASSERT_EQ(tree.topCount(), 2u);
  EXPECT_EQ(tree.top(1)->item()->kind, 5);
  EXPECT_EQ(tree.top(1)->childCount(), 1u);
}

TEST_F(TreeFunTest, FindItemNodeSearchesInIndexOrderByUrlOrTrimmedName) {
  TreeNode* a = tree.addTop("a");
  TreeNode* placeholder = tree.addChild(*a, "placeholder");
  TreeNode* nested = tree.addChild(*a, "nested");
  TreeNode* b = tree.addTop("b");
  auto record = [](const std::string& name, const std::string& url) {
    auto item = std::make_unique<TCatalogueItem>();
    item->setName(name);
    item->setUrl(url);
    return item;
  };
  a->setItem(record("Alpha", ""));
  nested->setItem(record("Nested", "Nivra://Shared"));
  b->setItem(record("Beta", "Nivra://shared"));

  struct Case {
    std::string name, url;
    TreeNode* expected;
  } cases[] = {{"zzz", "NIVRA://SHARED", nested},
               {" alpha  ", "Nivra://other", a},
               {"beta", "", b},
               {"placeholder", "", nullptr},
               {"", "", nullptr}};
  for (const Case& c : cases)
    EXPECT_EQ(FindItemNode(*record(c.name, c.url), tree), c.expected) << c.name << " " << c.url;
  (void)placeholder;
}

}  // namespace
}  // namespace nivra::catalogue::test
