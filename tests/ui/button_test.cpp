// Image buttons: the grid of looks, state images, automatic size, captions and modal results.

#include <gtest/gtest.h>

#include <QAction>
#include <QDialog>
#include <QTimer>

#include "tests/ui/ui_test_support.h"
#include "ui/png_button.h"

namespace nivra::ui {
namespace {

using test::Click;
using test::CodedPNG;
using test::Rendered;
using test::SourceOf;

TEST(TPNGButton, AutoSizedToOneCellAndShowsTheMouseOverThird) {
  TPNGButton btn;
  btn.SetAutoSize(true);
  btn.SetPNGImage(CodedPNG(150, 100));
  EXPECT_EQ(btn.size(), QSize(50, 100));
  EXPECT_EQ(SourceOf(Rendered(btn).pixel(0, 0)), QPoint(0, 0));
  test::Enter(&btn);
  EXPECT_EQ(SourceOf(Rendered(btn).pixel(0, 0)), QPoint(50, 0));
  EXPECT_EQ(SourceOf(Rendered(btn).pixel(49, 99)), QPoint(99, 99));
  test::Leave(&btn);
  EXPECT_EQ(SourceOf(Rendered(btn).pixel(0, 0)), QPoint(0, 0));
}

TEST(TPNGButton, StateImagesAreRows) {
  TPNGButton btn;
  btn.SetAutoSize(true);
  btn.SetPNGImage(CodedPNG(150, 100));
  btn.SetStateMax(2);
  EXPECT_EQ(btn.size(), QSize(50, 50));
  btn.SetStateIndex(1);
  EXPECT_EQ(SourceOf(Rendered(btn).pixel(0, 0)), QPoint(0, 50));
  btn.SetStateIndex(-1);  // ignored
  EXPECT_EQ(btn.StateIndex(), 1);
  btn.SetStateMax(0);  // ignored
  btn.SetStateMax(1);
  EXPECT_EQ(btn.StateIndex(), 0);
  EXPECT_EQ(btn.size(), QSize(50, 100));
}

// The StateMax setter sizes an auto-sized button by three columns whatever NumGlyphs says; a new
// picture or column count sizes it by NumGlyphs.
TEST(TPNGButton, StateMaxSizesByThreeColumns) {
  struct Case {
    int numGlyphs;
    int stateMax;
    QSize size;
  };
  const Case cases[] = {{1, 2, QSize(80, 50)}, {3, 2, QSize(80, 50)}, {4, 4, QSize(80, 25)},
                        {6, 5, QSize(80, 20)}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.numGlyphs);
    TPNGButton btn;
    btn.SetAutoSize(true);
    btn.SetNumGlyphs(c.numGlyphs);
    btn.SetPNGImage(CodedPNG(240, 100));
    EXPECT_EQ(btn.size(), QSize(240 / c.numGlyphs, 100));
    btn.SetStateMax(c.stateMax);
    EXPECT_EQ(btn.size(), c.size);
  }
  TPNGButton empty;  // no picture: the size stays
  empty.SetAutoSize(true);
  empty.resize(17, 19);
  empty.SetStateMax(2);
  EXPECT_EQ(empty.size(), QSize(17, 19));
}

// Which column a look takes: cases of enabled, Down, held, mouse over and column count.
struct LookCase {
  bool enabled, down, held, over;
  int numGlyphs;
  int column;  // -1: nothing drawn
};

class ButtonLooks : public ::testing::TestWithParam<LookCase> {};

TEST_P(ButtonLooks, ColumnFollowsTheState) {
  const LookCase c = GetParam();
  TPNGButton btn;
  btn.SetNumGlyphs(c.numGlyphs);
  btn.SetPNGImage(CodedPNG(40 * c.numGlyphs, 20));
  btn.resize(40, 20);
  btn.setEnabled(c.enabled);
  btn.SetDown(c.down);
  if (c.over) test::Enter(&btn);
  if (c.held) test::Press(&btn, {3, 3});
  const QImage out = Rendered(btn);
  if (c.column < 0) {
    EXPECT_EQ(qAlpha(out.pixel(10, 10)), 0);
  } else {
    EXPECT_EQ(SourceOf(out.pixel(0, 0)).x(), c.column * 40);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Grid, ButtonLooks,
    ::testing::Values(LookCase{true, false, false, false, 3, 0},
                      LookCase{true, false, false, true, 3, 1},
                      LookCase{true, true, false, true, 3, 2},
                      LookCase{true, false, true, true, 3, 2},
                      LookCase{false, true, false, true, 4, 3},  // disabled wins
                      LookCase{false, false, false, false, 3, -1},
                      LookCase{false, true, true, true, 1, 0}),  // one column: always 0
    [](const auto& info) {
      const LookCase& c = info.param;
      return std::string(c.enabled ? "Enabled" : "Disabled") + (c.down ? "Down" : "") +
             (c.held ? "Held" : "") + (c.over ? "Over" : "") + "Of" + std::to_string(c.numGlyphs);
    });

TEST(TPNGStateButton, AlwaysThreeColumnsAndNoDisabledLook) {
  TPNGStateButton btn;
  EXPECT_EQ(btn.StateMax(), 2);
  btn.SetNumGlyphs(5);
  btn.SetAutoSize(true);
  btn.SetPNGImage(CodedPNG(90, 40));
  EXPECT_EQ(btn.size(), QSize(30, 20));
  btn.setEnabled(false);
  EXPECT_EQ(SourceOf(Rendered(btn).pixel(0, 0)), QPoint(0, 0));
  btn.setEnabled(true);
  btn.SetDown(true);
  btn.SetStateIndex(1);
  EXPECT_EQ(SourceOf(Rendered(btn).pixel(0, 0)), QPoint(60, 20));
  TPNGStateButton bare;
  bare.resize(20, 20);
  EXPECT_EQ(qAlpha(Rendered(bare).pixel(10, 10)), 0);
}

TEST(TPNGButton, WithoutPictureDrawsAPlainButton) {
  TPNGButton btn;
  btn.resize(30, 20);
  const QPalette& pal = btn.palette();
  QImage out = Rendered(btn);
  EXPECT_EQ(out.pixel(0, 0) & 0xFFFFFF, 0xC0C0C0u);
  EXPECT_EQ(out.pixel(15, 10), pal.color(QPalette::Button).rgb());
  test::Enter(&btn);
  out = Rendered(btn);
  EXPECT_EQ(out.pixel(15, 10), pal.color(QPalette::Light).rgb());
  EXPECT_EQ(out.pixel(0, 5), pal.color(QPalette::Light).rgb());  // raised: light left edge
  btn.SetDown(true);
  EXPECT_EQ(Rendered(btn).pixel(0, 5), pal.color(QPalette::Dark).rgb());  // sunken
}

// The box of pixels where two renderings differ.
QRect DiffBounds(const QImage& a, const QImage& b) {
  QRect box;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      if (a.pixel(x, y) != b.pixel(x, y)) box |= QRect(x, y, 1, 1);
  return box;
}

// Where the caption's ink lies: the button with its caption against the same without one.
QRect CaptionInk(TPNGCaptionButton& btn) {
  const QString caption = btn.Caption();
  const QImage with = Rendered(btn);
  btn.SetCaption(QString());
  const QImage without = Rendered(btn);
  btn.SetCaption(caption);
  return DiffBounds(with, without);
}

TEST(TPNGCaptionButton, CaptionOnlyWhenAskedOrWithoutPicture) {
  TPNGCaptionButton btn;
  btn.resize(120, 40);
  btn.SetCaption(QStringLiteral("确定 OK"));
  const QRect ink = CaptionInk(btn);  // no picture: the plain button with its caption
  ASSERT_FALSE(ink.isEmpty());
  EXPECT_NEAR(ink.center().x(), 60, 2);
  EXPECT_NEAR(ink.center().y(), 20, 3);

  QImage face(120, 40, QImage::Format_ARGB32);
  face.fill(qRgb(40, 40, 40));
  btn.SetNumGlyphs(1);
  btn.SetPNGImage(TPicture::FromPNG(face));
  EXPECT_TRUE(CaptionInk(btn).isEmpty());
  btn.SetShowCaption(true);
  const QRect over = CaptionInk(btn);  // the same text, over the picture
  EXPECT_NEAR(over.center().x(), ink.center().x(), 1);
  EXPECT_NEAR(over.center().y(), ink.center().y(), 1);
  EXPECT_NEAR(over.width(), ink.width(), 2);
}

TEST(TPNGButton, ModalResultEndsTheDialogWithoutAClick) {
  QDialog dialog;
  TPNGButton cancel(&dialog);
  cancel.setGeometry(0, 0, 30, 20);
  cancel.SetModalResult(2);
  int clicks = 0;
  cancel.OnClick = [&](QObject*) { ++clicks; };
  QTimer::singleShot(0, &dialog, [&] { Click(&cancel, {5, 5}); });
  EXPECT_EQ(dialog.exec(), 2);
  EXPECT_EQ(clicks, 0);

  cancel.SetModalResult(0);
  Click(&cancel, {5, 5});
  EXPECT_EQ(clicks, 1);
  test::Press(&cancel, {5, 5});
  test::Release(&cancel, {40, 5});  // released outside: no click
  EXPECT_EQ(clicks, 1);
}

TEST(TPNGCaptionButton, ActionRunsOnClickAndLendsItsStateAndText) {
  QAction action(QStringLiteral("播放/暂停"));
  int triggered = 0;
  QObject::connect(&action, &QAction::triggered, [&] { ++triggered; });
  TPNGCaptionButton btn;
  btn.resize(40, 20);
  btn.SetAction(&action);
  EXPECT_EQ(btn.Caption(), QStringLiteral("播放/暂停"));
  Click(&btn, {5, 5});
  EXPECT_EQ(triggered, 1);
  action.setEnabled(false);
  EXPECT_FALSE(btn.isEnabled());
  action.setEnabled(true);
  action.setText(QStringLiteral("停止"));
  EXPECT_EQ(btn.Caption(), QStringLiteral("停止"));
  int clicks = 0;
  btn.OnClick = [&](QObject*) { ++clicks; };  // a click handler takes the place of the action
  Click(&btn, {5, 5});
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(triggered, 1);
}

}  // namespace
}  // namespace nivra::ui
