// Track bars: range rules, thumb placement, clicks and drags with the seek permission, and the
// three-part painting of the seek bar.

#include <gtest/gtest.h>

#include "tests/ui/ui_test_support.h"
#include "ui/png_common.h"
#include "ui/png_track_bar.h"

namespace nivra::ui {
namespace {

using test::Click;
using test::CodedPNG;
using test::DragTo;
using test::Press;
using test::Release;
using test::Rendered;
using test::SourceOf;

TPicture Solid(int w, int h) {
  QImage image(w, h, QImage::Format_ARGB32);
  image.fill(qRgb(250, 250, 250));
  return TPicture::FromPNG(image);
}

TEST(TPNGTrackBar, RangeRules) {
  TPNGPlayTrackBar bar;
  bar.SetPosition(150);
  EXPECT_EQ(bar.Position(), 100);
  bar.SetPosition(-5);
  EXPECT_EQ(bar.Position(), 0);
  for (int refused : {0, -1}) {
    bar.SetMax(refused);
    EXPECT_EQ(bar.Max(), 100);
  }
  bar.SetPosition(80);
  bar.SetDownPosition(90);
  bar.SetMax(50);  // both markers come down to the new end
  EXPECT_EQ(bar.Position(), 50);
  EXPECT_EQ(bar.DownPosition(), 50);
  bar.SetDownPosition(70);
  EXPECT_EQ(bar.DownPosition(), 50);
}

// A 210-pixel bar with a 10-pixel thumb, range 200, in a form.
struct SeekBarFixture : ::testing::Test {
  QWidget form;
  TPNGPlayTrackBar bar{&form};
  int changeRequests = 0, begins = 0, ends = 0;
  bool cancelAll = false;

  SeekBarFixture() {
    form.resize(300, 60);
    form.show();  // moves of hidden widgets wait for the show
    bar.setGeometry(20, 10, 210, 19);
    bar.SetBtnImage(Solid(10, 10));
    bar.SetMax(200);
    bar.SetPosition(50);
    bar.OnSeekChangeing = [this](QObject*, int, bool& cancel) {
      ++changeRequests;
      cancel = cancelAll;
    };
    bar.OnBeginSeek = [this](QObject*) { ++begins; };
    bar.OnEndSeek = [this](QObject*) { ++ends; };
  }
  void DragThumbBy(int dx) {
    Press(bar.Thumb(), {5, 5});
    DragTo(bar.Thumb(), {5 + dx, 5});
    Release(bar.Thumb(), {5 + dx, 5});
  }
};

TEST_F(SeekBarFixture, ThumbSitsOverThePositionCentredOnTheBar) {
  EXPECT_EQ(bar.Thumb()->parentWidget(), &form);
  EXPECT_EQ(bar.Thumb()->size(), QSize(10, 10));
  EXPECT_EQ(bar.Thumb()->pos(), QPoint(20 + 50, 10 + 4));
  bar.move(40, 30);
  EXPECT_EQ(bar.Thumb()->pos(), QPoint(40 + 50, 30 + 4));
  bar.SetBtnImage(Solid(6, 16));  // a new thumb picture centres again
  EXPECT_EQ(bar.Thumb()->geometry(), QRect(40 + RoundHalfEven(50 / 200.0 * 204), 30 + 1, 6, 16));
}

TEST_F(SeekBarFixture, DraggingTenPixelsMovesTenUnits) {
  bar.SetCanSeek(true);
  DragThumbBy(10);
  EXPECT_EQ(bar.Position(), 60);
  EXPECT_EQ(bar.Thumb()->x(), 20 + 60);
  EXPECT_EQ(begins, 1);
  EXPECT_EQ(ends, 1);
  DragThumbBy(-500);  // clamped at the start
  EXPECT_EQ(bar.Position(), 0);
}

TEST_F(SeekBarFixture, CancelledChangeKeepsPositionAndThumb) {
  bar.SetCanSeek(true);
  cancelAll = true;
  DragThumbBy(10);
  Click(&bar, {150, 9});
  EXPECT_EQ(changeRequests, 2);
  EXPECT_EQ(bar.Position(), 50);
  EXPECT_EQ(bar.Thumb()->x(), 20 + 50);
}

TEST_F(SeekBarFixture, WithoutCanSeekClicksAndDragsDoNothing) {
  DragThumbBy(10);
  Click(&bar, {150, 9});
  EXPECT_EQ(bar.Position(), 50);
  EXPECT_EQ(changeRequests + begins + ends, 0);
}

TEST_F(SeekBarFixture, ClickOnTheBarSeeksUnderTheThumbCentre) {
  bar.SetCanSeek(true);
  Click(&bar, {105, 9});  // (105 - 5) / 200 × 200
  EXPECT_EQ(bar.Position(), 100);
  Click(&bar, {2, 9});
  EXPECT_EQ(bar.Position(), 0);
  Click(&bar, {209, 9});
  EXPECT_EQ(bar.Position(), 200);
}

TEST(TPNGTrackBar, ThumbFollowsTheBarIntoAParentAndAlwaysMoves) {
  QWidget form;
  TPNGTrackBar bar;  // the plain bar needs no permission
  bar.SetBtnImage(Solid(10, 10));
  bar.setGeometry(0, 0, 110, 20);
  EXPECT_EQ(bar.Thumb()->parentWidget(), nullptr);
  bar.setParent(&form);
  EXPECT_EQ(bar.Thumb()->parentWidget(), &form);
  Press(bar.Thumb(), {5, 5});
  DragTo(bar.Thumb(), {15, 5});
  EXPECT_EQ(bar.Position(), 10);

  auto* owner = new QWidget;  // a parent deleted with bar and thumb in it frees both once
  auto* inner = new TPNGPlayTrackBar(owner);
  EXPECT_EQ(inner->Thumb()->parentWidget(), owner);
  delete owner;
}

// Strip of three 10-column parts (coded columns 0-9, 10-19, 20-29), 4 rows, in a 100 × 10 bar.
struct PaintCase {
  int position, down;
  int playedTo, downFrom;  // x where the played part ends, where part 2 begins (100: none)
};

class SeekBarPaint : public ::testing::TestWithParam<PaintCase> {};

TEST_P(SeekBarPaint, PartsLieWhereTheMarkersSay) {
  const PaintCase c = GetParam();
  TPNGPlayTrackBar bar;
  bar.resize(100, 10);
  bar.SetBgPic(CodedPNG(30, 4));
  bar.SetDownPosition(c.down);
  bar.SetPosition(c.position);
  const QImage out = Rendered(bar);
  EXPECT_EQ(qAlpha(out.pixel(50, 2)), 0);  // the strip is centred: rows 3-6
  EXPECT_EQ(qAlpha(out.pixel(50, 7)), 0);
  for (int x = 0; x < 100; ++x) {
    const int column = SourceOf(out.pixel(x, 4)).x();
    if (x < c.playedTo) {
      ASSERT_EQ(column, 10 + x % 10) << "played, x " << x;  // tiled, unstretched
    } else if (x < c.downFrom) {
      ASSERT_TRUE(column >= 0 && column <= 8) << "track, x " << x;
    } else {
      ASSERT_TRUE(column >= 20 && column <= 28) << "beyond download, x " << x;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Markers, SeekBarPaint,
                         ::testing::Values(PaintCase{100, 60, 100, 100},  // only the played part
                                           PaintCase{30, 60, 30, 60}, PaintCase{0, 0, 0, 100},
                                           PaintCase{45, 0, 45, 100}),
                         [](const auto& info) {
                           return "At" + std::to_string(info.param.position) + "Down" +
                                  std::to_string(info.param.down);
                         });

}  // namespace
}  // namespace nivra::ui
