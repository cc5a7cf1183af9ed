// The skinned scroll bar: range and geometry, arrow clicks on release, thumb drags and track
// clicks, and which picture columns and slices it paints.

#include <gtest/gtest.h>

#include "tests/ui/ui_test_support.h"
#include "ui/png_scroll_bar.h"

namespace nivra::ui {
namespace {

using test::Click;
using test::CodedPNG;
using test::DragTo;
using test::Press;
using test::Release;
using test::Rendered;
using test::SourceOf;

struct ScrollBarTest : ::testing::Test {
  TPNGScrollBar bar;  // 16 × 150, range 0..100, page 10
  int changes = 0;
  ScrollBarTest() {
    bar.OnPosChange = [this](QObject*) { ++changes; };
  }
  QPoint ThumbCentre() const { return {8, bar.ThumbStart() + bar.ThumbLength() / 2}; }
};

TEST_F(ScrollBarTest, GeometryOfTheDefaultBar) {
  EXPECT_EQ(bar.size(), QSize(16, 150));
  EXPECT_EQ(bar.TrackLength(), 118);
  EXPECT_EQ(bar.ThumbLength(), 12);
  bar.SetPosition(95);
  EXPECT_EQ(bar.Position(), 91);
  EXPECT_EQ(changes, 1);
  bar.SetPosition(-3);
  EXPECT_EQ(bar.Position(), 0);
  bar.SetPosition(0);  // unchanged: no event
  EXPECT_EQ(changes, 2);
}

TEST_F(ScrollBarTest, RangeSettersKeepThePositionInside) {
  bar.SetPosition(80);
  bar.SetMax(-1);  // ignored
  EXPECT_EQ(bar.Max(), 100);
  bar.SetMax(50);
  EXPECT_EQ(bar.Position(), 41);
  bar.SetMin(-1);
  EXPECT_EQ(bar.Min(), 0);
  bar.SetMin(45);
  EXPECT_EQ(bar.Position(), 45);
  bar.SetMin(0);
  bar.SetMax(100);
  bar.SetPageSize(200);  // a page longer than the track: the thumb leaves 10 pixels
  EXPECT_EQ(bar.ThumbLength(), bar.TrackLength() - 10);
  bar.SetPageSize(1);  // round(118 / 101) is raised to 10
  EXPECT_EQ(bar.ThumbLength(), 10);
}

TEST_F(ScrollBarTest, ArrowsActOnlyWhenReleasedOverThem) {
  bar.SetPosition(5);
  Click(&bar, {8, 145});
  EXPECT_EQ(bar.Position(), 6);
  Press(&bar, {8, 145});
  Release(&bar, {8, 75});
  EXPECT_EQ(bar.Position(), 6);
  Click(&bar, {8, 3});
  EXPECT_EQ(bar.Position(), 5);
  Press(&bar, {8, 3});
  Release(&bar, {8, 145});  // over the other arrow: still nothing
  EXPECT_EQ(bar.Position(), 5);
}

TEST_F(ScrollBarTest, DraggingToTheEndGivesTheLastPosition) {
  Press(&bar, ThumbCentre());
  DragTo(&bar, ThumbCentre() + QPoint(0, 500));
  Release(&bar, {8, 149});
  EXPECT_EQ(bar.Position(), 91);
  EXPECT_EQ(bar.ThumbStart(), 150 - 12 - 16);
  Press(&bar, ThumbCentre());
  DragTo(&bar, ThumbCentre() - QPoint(0, 40));
  EXPECT_EQ(bar.Position(), static_cast<int>(std::nearbyint((122 - 40 - 16) * 101.0 / 118)));
  DragTo(&bar, {8, -300});
  EXPECT_EQ(bar.Position(), 0);
  EXPECT_EQ(bar.ThumbStart(), 16);
  Release(&bar, {8, 0});
  EXPECT_GE(changes, 3);
}

TEST_F(ScrollBarTest, TrackClickPutsTheNearEdgeOnTheClick) {
  Press(&bar, {8, 100});
  EXPECT_EQ(bar.ThumbStart() + bar.ThumbLength(), 100);
  Release(&bar, {8, 100});
  const int below = bar.Position();
  EXPECT_GT(below, 0);
  Press(&bar, {8, 40});
  EXPECT_EQ(bar.ThumbStart(), 40);
  Release(&bar, {8, 40});
  EXPECT_LT(bar.Position(), below);
}

TEST_F(ScrollBarTest, DragOfABarStartingAboveZeroStaysInItsRange) {
  bar.SetMin(20);
  bar.SetMax(120);
  Press(&bar, ThumbCentre());
  DragTo(&bar, ThumbCentre() + QPoint(0, 3));
  EXPECT_GE(bar.Position(), 20);
  DragTo(&bar, ThumbCentre() + QPoint(0, 60));
  EXPECT_GE(bar.Position(), 20);
  EXPECT_LE(bar.Position(), 111);
}

TEST_F(ScrollBarTest, StyleSwapsTheSidesAndHorizontalPaintsNothing) {
  bar.SetScrollStyle(TScrollStyle::ssHorizontal);
  EXPECT_EQ(bar.size(), QSize(150, 16));
  const QImage out = Rendered(bar);
  for (int x = 0; x < 150; x += 5) EXPECT_EQ(qAlpha(out.pixel(x, 8)), 0);
}

// Pictures whose pixels name their source, to see which column and slice is drawn where.
constexpr QRgb kTrack = qRgb(9, 9, 77);

struct ScrollPaint : ScrollBarTest {
  ScrollPaint() {
    QImage track(16, 32, QImage::Format_ARGB32);
    track.fill(kTrack);
    bar.SetPicBG(TPicture::FromPNG(track));
    bar.SetPicUp(CodedPNG(48, 16));
    bar.SetPicDown(CodedPNG(48, 16));
    bar.SetPicThumb(CodedPNG(48, 24));
    bar.SetPageSize(40);  // a long thumb: round(40 × 118 / 101) = 47
    test::Enter(&bar);
  }
  QPoint At(int x, int y) { return SourceOf(Rendered(bar).pixel(x, y)); }
  QRgb Pixel(int x, int y) { return Rendered(bar).pixel(x, y); }
};

TEST_F(ScrollPaint, ArrowColumnsFollowTheMouse) {
  EXPECT_EQ(At(0, 5).x(), 0);  // idle: the mouse is over no arrow
  test::SendMouse(&bar, QEvent::MouseMove, {8, 5}, Qt::NoButton);
  EXPECT_EQ(At(0, 5).x(), 16);
  EXPECT_EQ(At(0, 145).x(), 0);
  Press(&bar, {8, 145});
  EXPECT_EQ(At(0, 145).x(), 32);
  EXPECT_EQ(At(0, 5).x(), 0);
}

TEST_F(ScrollPaint, ThumbIsSlicedIntoTopBodyGripAndBottom) {
  bar.SetPosition(30);
  const int top = bar.ThumbStart(), len = bar.ThumbLength();
  ASSERT_EQ(len, 47);
  EXPECT_EQ(At(3, top).y(), 0);
  EXPECT_EQ(At(3, top + 2).y(), 2);
  EXPECT_EQ(At(3, top + 5).y(), 4);  // the body row
  const int grip = top + (len - 10) / 2;
  EXPECT_EQ(At(3, grip).y(), 24 / 2 - 6);
  EXPECT_EQ(At(3, grip + 9).y(), 24 / 2 + 3);
  EXPECT_EQ(At(3, grip + 11).y(), 4);
  EXPECT_GE(At(3, top + len - 3).y(), 20);  // 4 bottom rows squeezed into 3
  EXPECT_EQ(At(3, top + len - 1).y(), 23);
  EXPECT_EQ(Pixel(3, top - 1), kTrack);
  EXPECT_EQ(Pixel(3, top + len), kTrack);
  test::SendMouse(&bar, QEvent::MouseMove, {8, top + 5}, Qt::NoButton);
  EXPECT_EQ(At(3, top + 5).x(), 16 + 3);  // hover column of the thumb picture
}

}  // namespace
}  // namespace nivra::ui
