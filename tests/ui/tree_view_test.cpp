// The skinned tree view over a small in-memory tree: the name/label split and its colours, the
// highlight of the row under the mouse, state images, selection with automatic expansion and
// the custom scroll bar that mirrors the scrolling.

#include <gtest/gtest.h>

#include "tests/ui/ui_test_support.h"
#include "ui/m_tree_view.h"
#include "ui/png_common.h"
#include "ui/png_scroll_bar.h"

namespace nivra::ui {
namespace {

constexpr QRgb kHighlight = qRgb(0, 0, 120);

TPicture Solid(int w, int h, QRgb colour) {
  QImage image(w, h, QImage::Format_ARGB32);
  image.fill(colour);
  return TPicture::FromPNG(image);
}

struct TreeViewTest : ::testing::Test {
  MemoryTreeModel model;
  QWidget form;
  TmTreeView tv{&form};
  TreeViewTest() {
    QPalette pal = tv.palette();
    pal.setColor(QPalette::Base, Qt::black);
    tv.setPalette(pal);
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPixelSize(16);
    tv.setFont(font);
    form.resize(300, 120);
    tv.setGeometry(0, 0, 240, 100);
    form.show();  // the viewport takes its size when shown
    tv.SetItemHeight(20);
    tv.SetPicSelectBG(Solid(10, 10, kHighlight));
    tv.SetModel(&model);
  }
  QImage Shot() { return test::Rendered(*tv.viewport()); }
  // The brightest pixel inside r of the shot: the text's full colour where strokes cover pixels.
  static QRgb Brightest(const QImage& shot, const QRect& r) {
    QRgb best = 0;
    for (int y = r.top(); y < r.top() + r.height(); ++y)
      for (int x = r.left(); x < r.left() + r.width(); ++x)
        if (qGray(shot.pixel(x, y)) > qGray(best)) best = shot.pixel(x, y);
    return best & 0xFFFFFF;
  }
  static QRgb Rgb(std::uint32_t tcolor) { return ColorFromTColor(tcolor).rgb() & 0xFFFFFF; }
};

TEST_F(TreeViewTest, EpisodeLabelSitsRightAlignedInItsColour) {
  const TreeNodeId node = model.Add(0, "第1集 |3");
  const TRowLayout row = tv.LayoutRow(node, 240);
  EXPECT_EQ(row.name, QStringLiteral("第1集 "));
  EXPECT_EQ(row.label, QStringLiteral("3"));
  EXPECT_FALSE(row.countedLabel);
  EXPECT_EQ(row.labelRect.left() + row.labelRect.width(), 240);
  EXPECT_EQ(row.labelRect.width(), tv.fontMetrics().horizontalAdvance(QStringLiteral("3")) + 2);
  const QImage shot = Shot();
  EXPECT_EQ(Brightest(shot, row.nameRect), Rgb(14541022));
  EXPECT_EQ(Brightest(shot, row.labelRect), Rgb(10263708));
  EXPECT_EQ(Brightest(shot, RectLTRB(row.nameRect.right() + 2, 0, row.labelRect.left(), 20)), 0u);
}

TEST_F(TreeViewTest, CountedLabelFollowsTheNameAndTheHotRowIsHighlighted) {
  const TreeNodeId film = model.Add(0, "Film|(12)");
  model.Add(0, "Other");
  const TRowLayout row = tv.LayoutRow(film, 240);
  ASSERT_TRUE(row.countedLabel);
  const int nameEnd = row.textLeft + tv.fontMetrics().horizontalAdvance(QStringLiteral("Film")) + 5;
  EXPECT_EQ(row.labelRect.left(), nameEnd);
  EXPECT_EQ(row.hotRect,
            RectLTRB(row.textLeft, 0, row.labelRect.left() + row.labelRect.width(), 20));
  QImage shot = Shot();
  EXPECT_EQ(Brightest(shot, row.labelRect), Rgb(10263708));

  test::SendMouse(tv.viewport(), QEvent::MouseMove, {5, 5}, Qt::NoButton);
  ASSERT_EQ(tv.HotNode(), film);
  shot = Shot();
  EXPECT_EQ(Brightest(shot, row.nameRect), Rgb(1696414));
  EXPECT_EQ(Brightest(shot, row.labelRect), Rgb(1696414));
  EXPECT_EQ(shot.pixel(row.hotRect.left() + row.hotRect.width() - 1, 1) & 0xFFFFFF,
            kHighlight & 0xFFFFFF);
  EXPECT_EQ(shot.pixel(row.hotRect.left() + row.hotRect.width() + 1, 10) & 0xFFFFFF, 0u);
  EXPECT_EQ(shot.pixel(230, 30) & 0xFFFFFF, 0u);  // the other row is not hot
  test::Leave(tv.viewport());
  EXPECT_EQ(tv.HotNode(), 0u);
}

TEST_F(TreeViewTest, TextWithoutBarIsAllNameAndSelectionUsesTheSelectColour) {
  const TreeNodeId node = model.Add(0, "Plain title");
  const TRowLayout row = tv.LayoutRow(node, 240);
  EXPECT_EQ(row.name, QStringLiteral("Plain title"));
  EXPECT_TRUE(row.labelRect.isEmpty());
  EXPECT_EQ(row.hotRect.left() + row.hotRect.width(),
            row.textLeft + tv.fontMetrics().horizontalAdvance(row.name) + 5);
  model.SetSelected(node);
  EXPECT_EQ(Brightest(Shot(), row.nameRect), Rgb(49150));
}

TEST_F(TreeViewTest, StateImagesAndTheLeafShift) {
  tv.SetStateImages(TImageList(Solid(64, 16, qRgb(200, 0, 0)), 16));
  const TreeNodeId album = model.Add(0, "Album|(2)", 1);
  const TreeNodeId episode = model.Add(album, "Ep 1", -1, "Nivra://x");
  const TreeNodeId loose = model.Add(album, "Note", -1);
  const TRowLayout a = tv.LayoutRow(album, 240), e = tv.LayoutRow(episode, 240),
                   n = tv.LayoutRow(loose, 240);
  EXPECT_EQ(a.stateRect, QRect(a.textLeft - 17, 2, 16, 16));
  EXPECT_EQ(a.stateIndex, 1);
  EXPECT_TRUE(e.stateRect.isEmpty());
  EXPECT_EQ(n.textLeft - e.textLeft, 8);
  EXPECT_EQ(n.textLeft - a.textLeft, 19);  // one level deeper
  EXPECT_EQ(Shot().pixel(a.stateRect.center()) & 0xFFFFFF, 0xC80000u);
  tv.SetAdvState(1);
  const TRowLayout adv = tv.LayoutRow(album, 240);
  EXPECT_EQ(adv.advStateRect.left(), 240 - 16 - 8);
  EXPECT_EQ(adv.advStateIndex, 2);
}

TEST_F(TreeViewTest, NodeImagesAreRowBackgroundsByLevel) {
  const TImageList rows(test::CodedPNG(40, 20), 20);  // level 0: columns 0-19, level 1: 20-39
  tv.SetNodeImages(&rows);
  const TreeNodeId top = model.Add(0, "");
  model.Add(top, "");
  model.SetExpanded(top, true);
  const QImage shot = Shot();
  EXPECT_EQ(test::SourceOf(shot.pixel(0, 5)).x(), 0);
  EXPECT_EQ(test::SourceOf(shot.pixel(120, 5)).x(), 10);  // the stretched middle column
  EXPECT_EQ(test::SourceOf(shot.pixel(239, 5)).x(), 19);
  EXPECT_EQ(test::SourceOf(shot.pixel(0, 25)).x(), 20);
  EXPECT_EQ(test::SourceOf(shot.pixel(239, 25)).x(), 39);
}

TEST_F(TreeViewTest, ClickSelectsAndExpandsAndTheOldBranchCloses) {
  const TreeNodeId a = model.Add(0, "A", 1), b = model.Add(0, "B", 1);
  const TreeNodeId a1 = model.Add(a, "a1");
  model.Add(b, "b1");
  std::vector<TreeNodeId> expanded;
  tv.OnExpanded = [&](QObject*, TreeNodeId n) { expanded.push_back(n); };
  test::Click(tv.viewport(), {10, 5});  // row 0: A
  EXPECT_EQ(model.Selected(), a);
  EXPECT_TRUE(model.Expanded(a));
  EXPECT_EQ(tv.VisibleNodes(), (std::vector<TreeNodeId>{a, a1, b}));
  test::Click(tv.viewport(), {10, 25});  // a1: its ancestor A stays open
  EXPECT_TRUE(model.Expanded(a));
  test::Click(tv.viewport(), {10, 45});  // B
  EXPECT_TRUE(model.Expanded(b));
  EXPECT_FALSE(model.Expanded(a));
  EXPECT_EQ(expanded, (std::vector<TreeNodeId>{a, b}));
  test::Click(tv.viewport(), {10, 25});  // B again (now on row 1): closes
  EXPECT_EQ(model.Selected(), b);
  EXPECT_FALSE(model.Expanded(b));

  tv.OnExpanding = [](QObject*, TreeNodeId, bool& allow) { allow = false; };
  tv.Expand(a);
  EXPECT_FALSE(model.Expanded(a));
  tv.OnExpanding = nullptr;
  tv.Expand(a);
  model.SetSelected(a1);
  tv.Collapse(a);  // a hidden selection moves up to the collapsed node
  EXPECT_EQ(model.Selected(), a);
}

TEST_F(TreeViewTest, CustomScrollBarMirrorsTheScrollingAndHidesWhenAllFit) {
  TPNGScrollBar bar(&form);
  bar.setGeometry(240, 0, 16, 100);
  tv.SetCustumScrollBar(&bar);
  const TreeNodeId top = model.Add(0, "Top", 1);
  for (int i = 0; i < 3; ++i) model.Add(top, "item " + std::to_string(i));
  EXPECT_TRUE(bar.isHidden());  // 1 row
  tv.Expand(top);
  EXPECT_TRUE(bar.isHidden());  // 4 rows fit into 5
  for (int i = 3; i < 12; ++i) model.Add(top, "item " + std::to_string(i));
  EXPECT_FALSE(bar.isHidden());
  EXPECT_EQ(bar.Max(), 12);
  EXPECT_EQ(bar.PageSize(), 5);
  tv.SetScrollPosition(4);
  EXPECT_EQ(bar.Position(), 4);
  QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, -120), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(tv.viewport(), &wheel);
  EXPECT_EQ(tv.ScrollPosition(), 7);
  EXPECT_EQ(bar.Position(), 7);
  EXPECT_EQ(tv.GetNodeAt(3, 3), tv.VisibleNodes()[7]);
  tv.Collapse(top);
  EXPECT_TRUE(bar.isHidden());
}

TEST_F(TreeViewTest, BackgroundPlacementAndHighlightReload) {
  tv.SetPicBG(Solid(40, 20, qRgb(0, 90, 0)));
  tv.SetPicBGStyle(TPicBGStyle::pbgs_CENTER);
  QImage shot = Shot();
  EXPECT_EQ(shot.pixel(120, 50) & 0xFFFFFF, 0x005A00u);
  EXPECT_EQ(shot.pixel(99, 39) & 0xFFFFFF, 0u);
  EXPECT_EQ(shot.pixel(100, 40) & 0xFFFFFF, 0x005A00u);
  tv.SetPicBGStyle(TPicBGStyle::pbgs_Normal);
  shot = Shot();
  EXPECT_EQ(shot.pixel(0, 0) & 0xFFFFFF, 0x005A00u);
  EXPECT_EQ(shot.pixel(40, 5) & 0xFFFFFF, 0u);
  tv.SetPicSelectBG(TPicture());
  EXPECT_FALSE(tv.PicSelectBG().Empty());
  EXPECT_NE(tv.PicSelectBG().Image().pixel(20, 10), kHighlight);
}

}  // namespace
}  // namespace nivra::ui
