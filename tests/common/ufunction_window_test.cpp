// The window helpers of the skinned borderless windows.

#include "common/ufunction_window.h"

#include <gtest/gtest.h>

namespace nivra::common {
namespace {

QImage maskImage(int w, int h, std::initializer_list<QPoint> white) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(Qt::black);
  for (QPoint p : white) img.setPixel(p, qRgb(255, 255, 255));
  return img;
}

TEST(CutFormCorners, CornerRunsAreCutAndMovedToTheirCorners) {
  // Top-left: a 3-pixel corner; bottom-right: one pixel below the last dark one.
  const QImage mask = maskImage(4, 4, {{0, 0}, {1, 0}, {0, 1}, {3, 3}});
  const QRegion r = CutFormCorners(mask, QSize(10, 8), Qt::white);
  EXPECT_FALSE(r.contains(QPoint(0, 0)));
  EXPECT_FALSE(r.contains(QPoint(1, 0)));
  EXPECT_FALSE(r.contains(QPoint(0, 1)));
  EXPECT_TRUE(r.contains(QPoint(1, 1)));
  EXPECT_TRUE(r.contains(QPoint(2, 0)));
  EXPECT_FALSE(r.contains(QPoint(9, 7)));  // (3, 3) moved by 10 − 4 and 8 − 4
  EXPECT_TRUE(r.contains(QPoint(8, 7)));
  EXPECT_TRUE(r.contains(QPoint(9, 6)));
  EXPECT_TRUE(r.contains(QPoint(10, 8)));  // the region is one pixel larger than the form
  EXPECT_EQ(CutFormCorners(QImage(), QSize(10, 8), Qt::white), QRegion(0, 0, 11, 9));
  // Only exactly the cut colour is cut.
  QImage nearly = maskImage(4, 4, {});
  nearly.setPixel(0, 0, qRgb(254, 255, 255));
  EXPECT_EQ(CutFormCorners(nearly, QSize(10, 8), Qt::white), QRegion(0, 0, 11, 9));
}

TEST(CutFormCorners, OddSizesSplitAtRoundedHalves) {
  // 5 wide: halves round 2.5 to 2, so column 2 belongs to the right quarters.
  const QImage mask = maskImage(5, 5, {{2, 0}});
  const QRegion r = CutFormCorners(mask, QSize(20, 20), Qt::white);
  EXPECT_FALSE(r.contains(QPoint(2 + 15, 0)));
  EXPECT_TRUE(r.contains(QPoint(2, 0)));
}

}  // namespace
}  // namespace nivra::common
