// The image layer: partial drawing with the source-shrinking rule, three slices, draw styles,
// built-in images, and the picture controls that show what lies under them.

#include <gtest/gtest.h>

#include "tests/ui/ui_test_support.h"
#include "ui/png_common.h"
#include "ui/png_image.h"
#include "ui/png_panel.h"

namespace nivra::ui {
namespace {

using test::CodedPNG;
using test::ColumnsSeen;
using test::Painted;
using test::Rendered;
using test::RowsSeen;
using test::SourceOf;

std::set<int> Range(int from, int to) {  // from..to inclusive
  std::set<int> s;
  for (int i = from; i <= to; ++i) s.insert(i);
  return s;
}

TEST(DrawThreeSlice, NineByTwentyIntoHundredByThirty) {
  const TPicture pic = CodedPNG(9, 20);
  const QImage out = Painted({100, 30}, [&](QPainter& p) {
    DrawThreeSlice(pic, p, RectLTRB(0, 0, 100, 30), RectLTRB(0, 0, 9, 20));
  });
  for (int x = 0; x <= 3; ++x) EXPECT_EQ(SourceOf(out.pixel(x, 10)).x(), x) << "x " << x;
  EXPECT_EQ(ColumnsSeen(out, 10, 4, 97), std::set<int>{4});
  const std::set<int> squeezed = ColumnsSeen(out, 10, 97, 100);
  EXPECT_EQ(squeezed.size(), 3u);
  EXPECT_EQ(*squeezed.begin(), 5);
  EXPECT_EQ(*squeezed.rbegin(), 8);
  // Every part stretches the first 19 rows over the 30: row 19 never shows.
  for (int x : {0, 50, 99}) {
    const std::set<int> rows = RowsSeen(out, x, 0, 30);
    EXPECT_EQ(*rows.begin(), 0);
    EXPECT_EQ(*rows.rbegin(), 18) << "x " << x;
  }
}

TEST(DrawThreeSlice, SameSizeIsUnchangedAndNarrowerShowsBothEnds) {
  const TPicture same = CodedPNG(10, 20);
  const QImage out = Painted({10, 20}, [&](QPainter& p) {
    DrawThreeSlice(same, p, RectLTRB(0, 0, 10, 20), RectLTRB(0, 0, 10, 20));
  });
  EXPECT_EQ(out, same.Image().convertToFormat(QImage::Format_ARGB32));

  const TPicture wide = CodedPNG(40, 8);
  const QImage squeezed = Painted({20, 8}, [&](QPainter& p) {
    DrawThreeSlice(wide, p, RectLTRB(0, 0, 20, 8), RectLTRB(0, 0, 40, 8));
  });
  for (int x = 0; x < 10; ++x) EXPECT_EQ(SourceOf(squeezed.pixel(x, 3)).x(), x);
  for (int x = 10; x < 20; ++x) EXPECT_EQ(SourceOf(squeezed.pixel(x, 3)).x(), x + 20);
}

TEST(DrawPicturePart, StretchingDropsTheLastSourceColumnUnlessOnlyOne) {
  const struct {
    int sourceWidth;
    std::set<int> seen;
  } cases[] = {{1, {0}}, {2, {0}}, {10, Range(0, 8)}};
  for (const auto& c : cases) {
    const TPicture pic = CodedPNG(c.sourceWidth, 4);
    const QImage out = Painted({50, 4}, [&](QPainter& p) {
      DrawPicturePart(pic, p, RectLTRB(0, 0, 50, 4), RectLTRB(0, 0, c.sourceWidth, 4));
    });
    EXPECT_EQ(ColumnsSeen(out, 1, 0, 50), c.seen) << c.sourceWidth << " columns";
  }
}

TEST(DrawPicturePart, PngBlendsAndBitmapCopiesOpaque) {
  QImage halfClear(10, 1, QImage::Format_ARGB32);
  halfClear.fill(qRgba(255, 0, 0, 255));
  for (int x = 5; x < 10; ++x) halfClear.setPixel(x, 0, qRgba(0, 0, 0, 0));
  const auto drawOverBlue = [&](const TPicture& pic) {
    return Painted({20, 1}, [&](QPainter& p) {
      p.fillRect(0, 0, 20, 1, Qt::blue);
      DrawPicturePart(pic, p, RectLTRB(0, 0, 20, 1), RectLTRB(0, 0, 10, 1));
    });
  };
  const QImage png = drawOverBlue(TPicture::FromPNG(halfClear));
  EXPECT_EQ(png.pixel(19, 0), qRgb(0, 0, 255));  // clear part shows what is there
  EXPECT_EQ(png.pixel(0, 0), qRgb(255, 0, 0));
  // A bitmap has no transparency and no shrinking: its last column reaches the right edge.
  const QImage bmp = drawOverBlue(TPicture::FromBitmap(halfClear));
  EXPECT_EQ(bmp.pixel(19, 0), qRgb(0, 0, 0));
  EXPECT_EQ(bmp.pixel(0, 0), qRgb(255, 0, 0));
  // Nothing at all for empty rectangles or an empty picture.
  const QImage none = Painted({4, 4}, [&](QPainter& p) {
    DrawPicturePart(TPicture::FromPNG(halfClear), p, RectLTRB(0, 0, 0, 4), RectLTRB(0, 0, 10, 1));
    DrawPicturePart(TPicture(), p, RectLTRB(0, 0, 4, 4), RectLTRB(0, 0, 4, 4));
  });
  EXPECT_EQ(none.pixel(1, 1), 0u);
}

TEST(TPNGImage, TilesCoverTheControlAndNoneStaysAtTheCorner) {
  TPNGImage img;
  img.SetPNGImage(CodedPNG(16, 16));
  img.resize(40, 20);
  img.SetDrawStyle(dsTile);
  const QImage tiled = Rendered(img);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 40; ++x) ASSERT_EQ(SourceOf(tiled.pixel(x, y)), QPoint(x % 16, y % 16));

  img.SetDrawStyle(dsNone);
  img.resize(50, 40);
  const QImage corner = Rendered(img);
  EXPECT_EQ(SourceOf(corner.pixel(15, 15)), QPoint(15, 15));
  EXPECT_EQ(qAlpha(corner.pixel(16, 3)), 0);
  EXPECT_EQ(qAlpha(corner.pixel(3, 16)), 0);

  img.SetDrawStyle(dsStretch);
  const QImage stretched = Rendered(img);
  EXPECT_EQ(SourceOf(stretched.pixel(49, 39)), QPoint(14, 14));  // shrinking rule
}

TEST(DrawPictureStyled, PicksTheCellAndIgnoresUnknownStyles) {
  const TPicture strip = CodedPNG(30, 5);  // three cells of 10
  const QImage second = Painted({10, 5}, [&](QPainter& p) {
    DrawPictureStyled(strip, p, RectLTRB(0, 0, 10, 5), dsNone, 1, 3);
  });
  EXPECT_EQ(SourceOf(second.pixel(0, 0)).x(), 10);
  EXPECT_EQ(SourceOf(second.pixel(9, 4)).x(), 19);
  const QImage unknown = Painted(
      {10, 5}, [&](QPainter& p) { DrawPictureStyled(strip, p, RectLTRB(0, 0, 10, 5), 7, 0, 3); });
  EXPECT_EQ(qAlpha(unknown.pixel(2, 2)), 0);
}

TEST(LoadPNGFromResource, BuiltInImagesLoadAndUnknownNamesLeaveThePicture) {
  TPicture pic;
  EXPECT_FALSE(LoadPNGFromResource(pic, "NO_SUCH_IMAGE"));
  EXPECT_TRUE(pic.Empty());
  for (const char* name : {"BG", "UP", "DOWN", "THUMB", "HOTBG"}) {
    TPicture builtIn;
    EXPECT_TRUE(LoadPNGFromResource(builtIn, name)) << name;
    EXPECT_EQ(builtIn.Kind(), TGraphicKind::gkPNG);
    EXPECT_FALSE(builtIn.Empty()) << name;
  }
  TPicture kept = CodedPNG(3, 3);
  EXPECT_FALSE(LoadPNGFromResource(kept, "BG", "OTHERTYPE"));
  EXPECT_EQ(kept.Width(), 3);
}

TEST(TPNGControl, AutoSizeTakesTheNewPictureSizeButNotAnEmptyOne) {
  TPNGImage img;
  img.setGeometry(7, 9, 30, 30);
  img.SetAutoSize(true);
  img.SetPNGImage(CodedPNG(120, 34));
  EXPECT_EQ(img.geometry(), QRect(7, 9, 120, 34));
  img.SetPNGImage(TPicture());
  EXPECT_EQ(img.geometry(), QRect(7, 9, 120, 34));
}

// A frame of stretched pictures with a transparent panel over it holding a picture.
TEST(TPNGTransPanel, ShowsTheFrameUnderItWithItsChildrenOnTop) {
  QWidget form;
  form.resize(120, 40);
  QImage redLeft(4, 4, QImage::Format_ARGB32), greenRest(4, 4, QImage::Format_ARGB32);
  redLeft.fill(qRgb(200, 0, 0));
  greenRest.fill(qRgb(0, 160, 0));
  TPNGImage left(&form), centre(&form);
  left.SetPNGImage(TPicture::FromPNG(redLeft));
  centre.SetPNGImage(TPicture::FromPNG(greenRest));
  left.setGeometry(0, 0, 60, 40);
  centre.setGeometry(60, 0, 60, 40);
  left.SetDrawStyle(dsStretch);
  centre.SetDrawStyle(dsStretch);
  TPNGTransPanel panel(&form);
  panel.setGeometry(40, 10, 40, 20);
  TPNGImage button(&panel);
  QImage blue(6, 6, QImage::Format_ARGB32);
  blue.fill(qRgb(0, 0, 220));
  button.SetPNGImage(TPicture::FromPNG(blue));
  button.setGeometry(15, 5, 6, 6);

  // The panel on its own (as it paints itself) and as part of the window look the same.
  for (const QImage& look : {panel.grab().toImage(), test::OnWindow(panel)}) {
    EXPECT_EQ(look.pixel(5, 5) & 0xFFFFFF, 0xC80000u);    // over the left piece
    EXPECT_EQ(look.pixel(35, 15) & 0xFFFFFF, 0x00A000u);  // over the centre piece
    EXPECT_EQ(look.pixel(17, 7) & 0xFFFFFF, 0x0000DCu);   // its child on top
  }
}

}  // namespace
}  // namespace nivra::ui
