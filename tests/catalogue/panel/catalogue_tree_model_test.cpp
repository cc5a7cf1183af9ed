// The catalogue tree seen through the tree view's model: expansion is the node's state image.

#include "catalogue/panel/catalogue_tree_model.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>

#include "ui/m_tree_view.h"
#include "ui/png_scroll_bar.h"

namespace nivra::catalogue::panel {
namespace {

class CatalogueTreeModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    group = tree.addTop("Group|(2)");
    group->setStateIndex(kStateCollapsed);
    child = tree.addChild(*group, "Child");
    auto item = std::make_unique<TCatalogueItem>();
    item->setUrl("Nivra://child");
    child->setItem(std::move(item));
    leaf = tree.addTop("Leaf");
  }
  static ui::TreeNodeId Id(const TreeNode* n) { return CatalogueTreeModel::IdOf(n); }

  CatalogueTree tree;
  CatalogueTreeModel model{tree};
  TreeNode *group = nullptr, *child = nullptr, *leaf = nullptr;
};

TEST_F(CatalogueTreeModelTest, MirrorsTheNodes) {
  EXPECT_EQ(model.Children(0), (std::vector<ui::TreeNodeId>{Id(group), Id(leaf)}));
  EXPECT_EQ(model.Children(Id(group)), (std::vector<ui::TreeNodeId>{Id(child)}));
  EXPECT_EQ(model.Parent(Id(child)), Id(group));
  EXPECT_EQ(model.Parent(Id(group)), 0u);
  EXPECT_EQ(model.Text(Id(group)), "Group|(2)");
  EXPECT_EQ(model.Url(Id(child)), "Nivra://child");
  EXPECT_EQ(model.Url(Id(leaf)), "");  // no record
  EXPECT_TRUE(model.HasChildren(Id(group)));
  EXPECT_FALSE(model.HasChildren(Id(leaf)));
}

TEST_F(CatalogueTreeModelTest, ExpansionIsTheStateImage) {
  EXPECT_FALSE(model.Expanded(Id(group)));
  model.SetExpanded(Id(group), true);
  EXPECT_EQ(group->stateIndex(), kStateExpanded);
  // The catalogue algorithms set state images directly; the view reads the same.
  group->setStateIndex(kStateCollapsed);
  EXPECT_FALSE(model.Expanded(Id(group)));
  group->setStateIndex(kStateExpanded);
  EXPECT_TRUE(model.Expanded(Id(group)));
  model.SetExpanded(Id(group), false);
  EXPECT_EQ(group->stateIndex(), kStateCollapsed);
  // A node without children is never expanded, whatever its image.
  leaf->setStateIndex(kStateExpanded);
  EXPECT_FALSE(model.Expanded(Id(leaf)));
}

TEST_F(CatalogueTreeModelTest, ViewShowsTreeChangesAndClicksSetStateImages) {
  ui::TmTreeView view;
  view.resize(200, 200);
  view.SetItemHeight(20);
  view.SetModel(&model);
  EXPECT_EQ(view.VisibleNodes().size(), 2u);
  auto click = [&](int row) {
    const QPointF p(30, row * 20 + 10);
    QMouseEvent press(QEvent::MouseButtonPress, p, p, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &press);
    QMouseEvent release(QEvent::MouseButtonRelease, p, p, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &release);
  };
  click(0);
  EXPECT_EQ(tree.selected(), group);
  EXPECT_EQ(group->stateIndex(), kStateExpanded);
  EXPECT_EQ(view.VisibleNodes().size(), 3u);
  click(0);  // the selected node again: closes it
  EXPECT_EQ(group->stateIndex(), kStateCollapsed);
  EXPECT_EQ(view.VisibleNodes().size(), 2u);

  // A catalogue algorithm adds nodes and asks for a scroll-bar update: the view lays out again.
  for (int i = 0; i < 30; ++i) tree.addTop("More " + std::to_string(i));
  tree.updateScrollBar();
  EXPECT_EQ(view.VisibleNodes().size(), 32u);
  EXPECT_GT(view.verticalScrollBar()->maximum(), 0);
}

TEST(ContainsNodeTest, FindsOnlyLiveNodes) {
  CatalogueTree tree;
  TreeNode* a = tree.addTop("a");
  TreeNode* b = tree.addChild(*a, "b");
  EXPECT_TRUE(ContainsNode(tree, b));
  EXPECT_FALSE(ContainsNode(tree, nullptr));
  CatalogueTree other;
  EXPECT_FALSE(ContainsNode(other, b));
  tree.deleteChildren(*a);
  EXPECT_FALSE(ContainsNode(tree, b));
  EXPECT_TRUE(ContainsNode(tree, a));
}

}  // namespace
}  // namespace nivra::catalogue::panel
