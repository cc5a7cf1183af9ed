// Skinned check boxes and radio buttons: no background of their own, the box state of the
// platform's look for every mouse and check state, the embossed disabled caption and the focus
// rectangle.

#include <gtest/gtest.h>

#include <QStyleOptionButton>

#include "tests/ui/ui_test_support.h"
#include "ui/png_check_box.h"
#include "ui/png_image.h"
#include "ui/png_radio_button.h"

namespace nivra::ui {
namespace {

struct StateCase {
  CheckLook look;
  bool enabled;
  Qt::CheckState check;
  QStyle::State expected;
};

class BoxStates : public ::testing::TestWithParam<StateCase> {};

TEST_P(BoxStates, FollowThePrecedence) {
  const StateCase c = GetParam();
  EXPECT_EQ(CheckBoxState(c.look, c.enabled, c.check), c.expected);
}

constexpr CheckLook kBox{false, true, false, false}, kHot{false, true, true, false},
    kHeld{false, true, true, true}, kRadioHot{true, true, true, false},
    kPlainHeld{false, false, true, true};
using S = QStyle::StateFlag;

INSTANTIATE_TEST_SUITE_P(
    Looks, BoxStates,
    ::testing::Values(
        StateCase{kBox, true, Qt::Unchecked, S::State_Enabled | S::State_Off},
        StateCase{kHot, true, Qt::Checked, S::State_Enabled | S::State_MouseOver | S::State_On},
        StateCase{kHeld, true, Qt::Unchecked, S::State_Enabled | S::State_Sunken | S::State_Off},
        StateCase{kHeld, false, Qt::Checked, S::State_On},  // disabled first
        StateCase{kBox, true, Qt::PartiallyChecked, S::State_Enabled | S::State_NoChange},
        StateCase{kRadioHot, true, Qt::Checked,
                  S::State_Enabled | S::State_MouseOver | S::State_On},
        // Without themes: inactive while pressed, no hot or mixed looks.
        StateCase{kPlainHeld, true, Qt::Checked, S::State_On},
        StateCase{CheckLook{false, false, true, false}, true, Qt::PartiallyChecked,
                  S::State_Enabled | S::State_Off}),
    [](const auto& info) {
      const StateCase& c = info.param;
      const char* check = c.check == Qt::Checked     ? "Checked"
                          : c.check == Qt::Unchecked ? "Unchecked"
                                                     : "Mixed";
      return std::string(c.look.radio ? "Circle" : "Box") + (c.look.themed ? "" : "Plain") +
             (c.look.hover ? "Hot" : "") + (c.look.pressed ? "Held" : "") +
             (c.enabled ? "" : "Disabled") + check;
    });

// A check box standing on a picture whose pixels name their place.
struct OnPicture : ::testing::Test {
  QWidget form;
  TPNGImage picture{&form};
  TPNGCheckBox box{QStringLiteral("下次不再提示"), &form};
  OnPicture() {
    form.resize(200, 60);
    picture.setGeometry(0, 0, 200, 60);
    picture.SetPNGImage(test::CodedPNG(200, 60));
    box.setGeometry(20, 10, 150, 24);
    form.show();
  }
  QImage Box() { return box.grab().toImage().convertToFormat(QImage::Format_ARGB32); }
  QImage BoxArea() { return Box().copy(0, 0, 13, 24); }
  // The box drawn by the style alone with `state`, over the same picture.
  QImage Reference(QStyle::State state) {
    QImage clean = test::CodedImage(200, 60)
                       .copy(20, 10, 13, 24)
                       .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter p(&clean);
    QStyleOptionButton option;
    option.initFrom(&box);
    option.rect = QRect(0, (24 - 13) / 2, 13, 13);
    option.state = state;
    if (!(state & S::State_Enabled)) option.palette.setCurrentColorGroup(QPalette::Disabled);
    box.style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &p, &box);
    p.end();
    return clean.convertToFormat(QImage::Format_ARGB32);
  }
};

TEST_F(OnPicture, PictureShowsAroundTheBoxAndBehindTheCaption) {
  const QImage look = Box();
  for (QPoint p : {QPoint(149, 0), QPoint(149, 23), QPoint(15, 1), QPoint(16, 22)})
    EXPECT_EQ(test::SourceOf(look.pixel(p)), p + QPoint(20, 10)) << p.x() << "," << p.y();
  int captionPixels = 0;  // the caption covers some pixels, the rest is the picture
  for (int x = 18; x < 140; ++x)
    if (test::SourceOf(look.pixel(x, 12)) != QPoint(x + 20, 22) || qBlue(look.pixel(x, 12)) != 200)
      ++captionPixels;
  EXPECT_GT(captionPixels, 5);
}

TEST_F(OnPicture, BoxLooksFollowTheStateAndTheThemeSwitch) {
  box.setTristate(true);
  box.setCheckState(Qt::PartiallyChecked);
  EXPECT_EQ(BoxArea(), Reference(S::State_Enabled | S::State_NoChange));
  box.setCheckState(Qt::Unchecked);
  test::Enter(&box);
  EXPECT_EQ(BoxArea(), Reference(S::State_Enabled | S::State_MouseOver | S::State_Off));
  test::Leave(&box);

  // Unthemed: holding the button down shows the inactive look until it comes up.
  box.SetThemed(false);
  const QImage normal = BoxArea();
  test::Press(&box, {5, 12});
  EXPECT_TRUE(box.Pressed());
  const QImage held = BoxArea();
  EXPECT_NE(held, normal);
  test::Release(&box, {5, 12});
  EXPECT_FALSE(box.Pressed());
  EXPECT_EQ(BoxArea(), normal);
  box.setEnabled(false);
  EXPECT_EQ(BoxArea(), held);  // the inactive look is the disabled one
}

TEST_F(OnPicture, DisabledCaptionIsEmbossed) {
  QPalette pal = box.palette();
  pal.setColor(QPalette::Light, QColor(0, 255, 0));
  pal.setColor(QPalette::Dark, QColor(255, 0, 0));
  box.setPalette(pal);
  box.setEnabled(false);
  const QImage look = Box();
  // The caption in the shadow colour on top, its copy in the highlight colour one pixel right
  // and down: a highlight pixel always has caption ink up and left of it.
  int highlight = 0, shadow = 0;
  for (int y = 1; y < 24; ++y)
    for (int x = 19; x < 150; ++x) {
      const QRgb p = look.pixel(x, y);
      if (p == qRgb(255, 0, 0)) ++shadow;
      if (p == qRgb(0, 255, 0)) {
        ++highlight;
        EXPECT_GT(qRed(look.pixel(x - 1, y - 1)), 0) << x << "," << y;
      }
    }
  EXPECT_GT(highlight, 3);
  EXPECT_GT(shadow, 3);
  EXPECT_EQ(BoxArea(), Reference(S::State_Off));
}

TEST_F(OnPicture, FocusRectangleCoversTheCaptionAndOnePixelLeft) {
  QApplication::setActiveWindow(&form);
  box.setFocus();
  ASSERT_TRUE(box.hasFocus());
  const int w = box.fontMetrics().horizontalAdvance(box.text());
  EXPECT_EQ(CheckFocusRect(box), RectLTRB(17, 0, 18 + w, 24));
  QPalette pal = box.palette();
  pal.setColor(QPalette::WindowText, QColor(255, 255, 0));
  box.setPalette(pal);
  const QImage look = Box();
  auto dotted = [&](int x) {
    int dots = 0;
    for (int y = 0; y < 24; ++y) dots += look.pixel(x, y) == qRgb(255, 255, 0);
    return dots;
  };
  EXPECT_GE(dotted(17), 10);
  EXPECT_GE(dotted(17 + w), 10);
  EXPECT_EQ(dotted(16), 0);
  EXPECT_EQ(dotted(18 + w), 0);
}

TEST(TPNGRadioButton, CheckedUnderTheMouseShowsTheCheckedHotCircle) {
  QWidget form;
  form.resize(100, 30);
  TPNGRadioButton radio(QStringLiteral("最小化到托盘"), &form);
  radio.setGeometry(0, 0, 100, 20);
  form.show();
  radio.setChecked(true);
  test::Enter(&radio);
  const QImage look =
      radio.grab().toImage().convertToFormat(QImage::Format_ARGB32).copy(0, 0, 13, 20);
  QImage ref = look;
  {
    // The window's background under the circle, then the style's checked-hot circle.
    ref = QImage(13, 20, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&ref);
    form.render(&p, QPoint(), QRegion(0, 0, 13, 20), QWidget::DrawWindowBackground);
    QStyleOptionButton option;
    option.initFrom(&radio);
    option.rect = QRect(0, (20 - 13) / 2, 13, 13);
    option.state = S::State_Enabled | S::State_MouseOver | S::State_On;
    radio.style()->drawPrimitive(QStyle::PE_IndicatorRadioButton, &option, &p, &radio);
  }
  EXPECT_EQ(look, ref.convertToFormat(QImage::Format_ARGB32));
}

}  // namespace
}  // namespace nivra::ui
