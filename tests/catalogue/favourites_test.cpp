// The favourites file "Fav.dat".

#include "catalogue/favourites.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tests/support/temp_dir.h"

namespace nivra::catalogue {
namespace {

TreeNode* addRecord(CatalogueTree& tree, std::int32_t id, std::uint8_t kind,
                    const std::string& name, const std::string& count, const std::string& url) {
  TreeNode* node = tree.addTop(name);
  auto item = std::make_unique<TCatalogueItem>();
  item->id = id;
  item->kind = kind;
  item->setName(name);
  item->setCount(count);
  item->setUrl(url);
  node->setItem(std::move(item));
  return node;
}

TEST(SaveTreeToJson, EmptyTreeWritesOnlyTheCount) {
  nivra::test::TempDir dir;
  CatalogueTree tree;
  tree.addTop("no record");
  EXPECT_EQ(SaveTreeToJson(tree, dir / "Fav.dat"), R"({"c":0})");
  EXPECT_EQ(nivra::test::readFile(dir / "Fav.dat"), R"({"c":0})");

  TFavourites favourites(dir.path());
  CatalogueTree loaded;
  favourites.LoadFavourites(loaded);
  EXPECT_EQ(loaded.topCount(), 0u);
  EXPECT_TRUE(favourites.loaded());
}

TEST(SaveTreeToJson, WritesTopLevelRecordsWithUrlsOnlyForItems) {
  CatalogueTree tree;
  addRecord(tree, 3, kItem, "电影", "", "Nivra://film");
  TreeNode* album = addRecord(tree, 42, kAlbum, "A", "12", "Nivra://ignored");
  addRecord(tree, 42, kEpisode, "A-第3集  ", "x", "Nivra://ep");
  tree.addChild(*album, "child");  // children are not saved

  const std::string text = SaveTreeToJson(tree);
  for (unsigned char c : text) EXPECT_LT(c, 0x80u);
  EXPECT_NE(text.find("\\u7535\\u5f71"), std::string::npos);
  auto doc = nlohmann::json::parse(text);
  EXPECT_EQ(doc, nlohmann::json::parse(R"({"c":3,"arr":[
      {"i":3,"t":3,"c":0,"n":"电影","u":"Nivra://film"},
      {"i":42,"t":1,"c":12,"n":"A"},
      {"i":42,"t":2,"c":0,"n":"A-第3集  "}]})"));
}

TEST(TFavourites, LoadShowsTheFileAndWritesItBack) {
  nivra::test::TempDir dir;
  dir.write("Fav.dat", R"({"c":2,"arr":[{"i":1,"t":1,"c":4,"n":"Album"},
                                       {"i":2,"t":3,"c":0,"n":"Clip","u":"Nivra://c"}]})");
  TFavourites favourites(dir.path());
  CatalogueTree tree;
  favourites.LoadFavourites(tree);
  EXPECT_EQ(describeTree(tree), "[1] Album|(4)\n  [-1] 正在加载...\n[1] Clip\n");
  EXPECT_EQ(nivra::test::readFile(dir / "Fav.dat"), SaveTreeToJson(tree));
  EXPECT_EQ(tree.itemHeight(), 20);
}

TEST(TFavourites, UnreadableFileIsKeptAsBackupBeforeTheWriteBack) {
  nivra::test::TempDir dir;
  const std::string broken = R"({"c":2,"arr":[{"i":1,"t":1,"c":4,"n":"Alb)";
  dir.write("Fav.dat", broken);
  TFavourites favourites(dir.path());
  CatalogueTree tree;
  favourites.LoadFavourites(tree);
  EXPECT_EQ(tree.topCount(), 0u);
  EXPECT_EQ(nivra::test::readFile(dir / "Fav.dat"), R"({"c":0})");
  EXPECT_EQ(nivra::test::readFile(dir / "Fav.dat.bak"), broken);
}

}  // namespace
}  // namespace nivra::catalogue
