// The skinned dialog base: title bar, close button, frame layout, centring and the skin's look.

#include "common/form_skin_base.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QScreen>

#include "tests/common/dialog_test_support.h"
#include "ui/png_button.h"
#include "ui/png_image.h"

namespace nivra::common {
namespace {

using test::ClickWidget;

TEST(TFormSkinBase, IsABorderlessTopMostDialogWhoseCaptionLabelFollowsTheTitle) {
  TFormSkinBase form(nullptr, QSize(300, 150));
  EXPECT_TRUE(form.windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_TRUE(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  for (const QString& title : {QStringLiteral("关闭提示"), QStringLiteral("x"), QString()}) {
    form.setWindowTitle(title);
    EXPECT_EQ(form.lblCaption()->text(), title);
  }
  EXPECT_EQ(form.lblCaption()->parentWidget(), form.PnlTop());
  EXPECT_FALSE(form.btnMin()->isVisibleTo(&form));
  EXPECT_TRUE(form.btnClose()->isVisibleTo(&form));
}

TEST(TFormSkinBase, CloseButtonEndsTheDialog) {
  TFormSkinBase form(nullptr, QSize(300, 150));
  form.show();
  ASSERT_TRUE(form.isVisible());
  ClickWidget(form.btnClose());
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(form.result(), QDialog::Rejected);
}

TEST(TFormSkinBase, FrameFollowsTheSize) {
  for (const QSize size : {QSize(300, 150), QSize(420, 260)}) {
    TFormSkinBase form(nullptr, QSize(200, 100));
    form.setFixedSize(size);
    form.show();
    const QRect close = form.btnClose()->geometry();
    EXPECT_EQ(close.right() + 1, size.width() - TFormSkinBase::kCloseRightMargin) << close.x();
    EXPECT_EQ(form.PnlTop()->geometry(), QRect(0, 0, size.width(), TFormSkinBase::kTitleHeight));
    EXPECT_EQ(form.imgBG2()->geometry(), QRect(1, 1, size.width() - 2, size.height() - 2));
    // The corners are cut, the rest stays.
    const QRegion mask = form.mask();
    for (const QPoint corner :
         {QPoint(0, 0), QPoint(size.width() - 1, 0), QPoint(0, size.height() - 1),
          QPoint(size.width() - 1, size.height() - 1)})
      EXPECT_FALSE(mask.contains(corner)) << corner.x() << "," << corner.y();
    EXPECT_TRUE(mask.contains(QPoint(size.width() / 2, size.height() / 2)));
    EXPECT_TRUE(mask.contains(QPoint(size.width() / 2, 0)));
  }
}

TEST(TFormSkinBase, ShowsCentredOnItsOwnerOrTheScreen) {
  QWidget owner;
  owner.setGeometry(40, 60, 800, 500);
  owner.show();
  TFormSkinBase onOwner(&owner, QSize(300, 150));
  onOwner.show();
  EXPECT_EQ(onOwner.parentWidget(), &owner);
  EXPECT_LE((onOwner.frameGeometry().center() - owner.frameGeometry().center()).manhattanLength(),
            1);
  TFormSkinBase alone(nullptr, QSize(300, 150));
  alone.show();
  const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_LE((alone.frameGeometry().center() - work.center()).manhattanLength(), 1);
}

TEST(TFormSkinBase, IsDrawnWithTheDarkSkin) {
  TFormSkinBase form(nullptr, QSize(300, 150));
  form.setWindowTitle(QStringLiteral("关于我们"));
  form.show();
  const QImage shot = test::Shot(&form, QStringLiteral("skin_base"));
  for (const QPoint at : {QPoint(150, 15), QPoint(150, 90), QPoint(20, 140)})
    EXPECT_LT(QColor(shot.pixel(at)).lightness(), 80) << at.x() << "," << at.y();
  // The close button is the skin's picture, not an empty patch of the title bar.
  const QRect close = form.btnClose()->geometry();
  const QImage button = shot.copy(close);
  bool differs = false;
  for (int x = 0; x < button.width() && !differs; ++x)
    for (int y = 0; y < button.height() && !differs; ++y)
      differs = button.pixel(x, y) != button.pixel(0, 0);
  EXPECT_TRUE(differs);
}

}  // namespace
}  // namespace nivra::common
