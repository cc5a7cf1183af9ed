// The committed skin: every picture the controls and windows load is compiled in, with the
// grid its control expects, and the corner mask cuts only the corners.

#include <gtest/gtest.h>

#include <QImage>

#include "tests/support/param_name.h"
#include "ui/png_common.h"

namespace nivra::ui {
namespace {

struct SkinPicture {
  const char* path;  // below ":/skin/"
  int columns, rows;
  int cellWidth, cellHeight;  // 0: any
};

class SkinPictures : public ::testing::TestWithParam<SkinPicture> {};

TEST_P(SkinPictures, ArePresentWithTheirGrid) {
  const SkinPicture c = GetParam();
  const QImage image(QStringLiteral(":/skin/%1").arg(QLatin1String(c.path)));
  ASSERT_FALSE(image.isNull()) << c.path;
  EXPECT_EQ(image.width() % c.columns, 0) << c.path;
  EXPECT_EQ(image.height() % c.rows, 0) << c.path;
  if (c.cellWidth) {
    EXPECT_EQ(image.width() / c.columns, c.cellWidth) << c.path;
  }
  if (c.cellHeight) {
    EXPECT_EQ(image.height() / c.rows, c.cellHeight) << c.path;
  }
  EXPECT_TRUE(image.hasAlphaChannel() || QLatin1String(c.path) == QLatin1String("mask.png"));
}

INSTANTIATE_TEST_SUITE_P(
    Skin, SkinPictures,
    ::testing::Values(
        // Built-in images of the scroll bar (three looks, 16-pixel buttons) and the tree.
        SkinPicture{"PNGIMG/BG.png", 1, 1, 16, 0}, SkinPicture{"PNGIMG/UP.png", 3, 1, 16, 16},
        SkinPicture{"PNGIMG/DOWN.png", 3, 1, 16, 16}, SkinPicture{"PNGIMG/THUMB.png", 3, 1, 16, 0},
        SkinPicture{"PNGIMG/HOTBG.png", 1, 1, 0, 0}, SkinPicture{"PNGIMG/TAB_BTN.png", 3, 1, 0, 0},
        SkinPicture{"PNGIMG/TAB_CLOSE.png", 3, 1, 0, 0},
        SkinPicture{"PNGIMG/TAB_ADD.png", 3, 1, 0, 0},
        // Control-bar buttons in the sizes of the control's bar; four looks unless a state button.
        SkinPicture{"btn_play.png", 4, 2, 50, 45}, SkinPicture{"btn_stop.png", 4, 1, 29, 28},
        SkinPicture{"btn_prev.png", 4, 1, 29, 28}, SkinPicture{"btn_next.png", 4, 1, 29, 28},
        SkinPicture{"btn_mute.png", 3, 2, 29, 28}, SkinPicture{"btn_mute_ctl.png", 3, 2, 29, 28},
        SkinPicture{"btn_full.png", 4, 2, 16, 14}, SkinPicture{"btn_list.png", 4, 1, 0, 0},
        SkinPicture{"btn_min.png", 4, 1, 0, 0}, SkinPicture{"btn_max.png", 4, 2, 0, 0},
        SkinPicture{"btn_close.png", 4, 1, 0, 0}, SkinPicture{"btn_menu.png", 4, 1, 0, 0},
        SkinPicture{"btn_page.png", 4, 2, 0, 0}, SkinPicture{"btn_dlg.png", 4, 1, 0, 0},
        // Seek and volume strips: three equal parts no higher than their 19-pixel bars.
        SkinPicture{"seek_bar.png", 3, 1, 0, 6}, SkinPicture{"volume_bar.png", 3, 1, 0, 4},
        SkinPicture{"seek_thumb.png", 1, 1, 13, 13}, SkinPicture{"volume_thumb.png", 1, 1, 11, 11},
        SkinPicture{"frame_top_left.png", 1, 1, 0, 34},
        SkinPicture{"frame_top_center.png", 1, 1, 0, 34},
        SkinPicture{"frame_top_right.png", 1, 1, 0, 34},
        SkinPicture{"frame_bottom_left.png", 1, 1, 0, 60},
        SkinPicture{"frame_bottom_center.png", 1, 1, 0, 60},
        SkinPicture{"frame_bottom_right.png", 1, 1, 0, 60},
        SkinPicture{"frame_left.png", 1, 1, 0, 0}, SkinPicture{"frame_right.png", 1, 1, 0, 0},
        SkinPicture{"tree_state.png", 4, 1, 16, 16}, SkinPicture{"roll_bg.png", 1, 1, 0, 0},
        SkinPicture{"logo.png", 1, 1, 0, 0}, SkinPicture{"mask.png", 1, 1, 0, 0}),
    [](const auto& info) { return nivra::test::CaseName(info.param.path); });

TEST(SkinMask, WhiteOnlyInTheCornersAndTheCentreKept) {
  const QImage mask(QStringLiteral(":/skin/mask.png"));
  ASSERT_FALSE(mask.isNull());
  const int w = mask.width(), h = mask.height();
  for (QPoint corner : {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 1, h - 1)})
    EXPECT_EQ(mask.pixel(corner) & 0xFFFFFF, 0xFFFFFFu);
  // The middle row and column are the window: a quarter's inner edge is never cut, so the cut
  // of each column stays within its corner.
  for (int x = 0; x < w; ++x) EXPECT_NE(mask.pixel(x, h / 2) & 0xFFFFFF, 0xFFFFFFu) << x;
  for (int y = 0; y < h; ++y) EXPECT_NE(mask.pixel(w / 2, y) & 0xFFFFFF, 0xFFFFFFu) << y;
}

}  // namespace
}  // namespace nivra::ui
