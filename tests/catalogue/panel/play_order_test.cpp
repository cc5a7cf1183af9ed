// The next and previous item of a list played from the favourites.

#include "catalogue/panel/play_order.h"

#include <gtest/gtest.h>

namespace nivra::catalogue::panel {
namespace {

TreeNode* AddWithRecord(CatalogueTree& tree, TreeNode* parent, std::string text, int kind) {
  TreeNode* n = parent ? tree.addChild(*parent, text) : tree.addTop(text);
  auto item = std::make_unique<TCatalogueItem>();
  item->kind = static_cast<std::uint8_t>(kind);
  item->setName(text);
  n->setItem(std::move(item));
  return n;
}

class SiblingToPlayTest : public ::testing::Test {
 protected:
  // A list "L" with episodes e1, e2, a placeholder without record, e3; an item at top level.
  void SetUp() override {
    list = AddWithRecord(tree, nullptr, "L", kAlbum);
    e1 = AddWithRecord(tree, list, "e1", kEpisode);
    e2 = AddWithRecord(tree, list, "e2", kEpisode);
    bare = tree.addChild(*list, "no record");
    e3 = AddWithRecord(tree, list, "e3", kEpisode);
    item = AddWithRecord(tree, nullptr, "item", kItem);
  }
  CatalogueTree tree;
  TreeNode *list, *e1, *e2, *bare, *e3, *item;
};

TEST_F(SiblingToPlayTest, StepsWithinTheListAndStopsAtItsEnds) {
  struct Case {
    const char* what;
    TreeNode* playing;
    PlayStep step;
    TreeNode* expected;
  };
  const Case cases[] = {
      {"next of the first", e1, PlayStep::kNext, e2},
      {"previous of the second", e2, PlayStep::kPrevious, e1},
      {"previous of the first", e1, PlayStep::kPrevious, nullptr},
      {"next of the last", e3, PlayStep::kNext, nullptr},
      {"next sibling has no record", e2, PlayStep::kNext, nullptr},
      {"previous sibling has no record", e3, PlayStep::kPrevious, nullptr},
      {"nothing playing", nullptr, PlayStep::kNext, nullptr},
      {"playing node is not an episode", list, PlayStep::kNext, nullptr},
      {"playing node has no record", bare, PlayStep::kNext, nullptr},
  };
  for (const Case& c : cases)
    EXPECT_EQ(SiblingToPlay(c.playing, tree, c.step), c.expected) << c.what;
}

TEST_F(SiblingToPlayTest, EpisodesAtTopLevelStepAmongTopNodes) {
  TreeNode* t1 = AddWithRecord(tree, nullptr, "t1", kEpisode);
  TreeNode* t2 = AddWithRecord(tree, nullptr, "t2", kEpisode);
  EXPECT_EQ(SiblingToPlay(t1, tree, PlayStep::kNext), t2);
  EXPECT_EQ(SiblingToPlay(t1, tree, PlayStep::kPrevious), item);
  EXPECT_EQ(SiblingToPlay(t2, tree, PlayStep::kNext), nullptr);
}

}  // namespace
}  // namespace nivra::catalogue::panel
