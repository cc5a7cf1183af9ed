// The scrolling label stepped in virtual time: the way of a line in from the right edge, its
// stop in the middle and its exit; the order of lines; the mouse holding the line; clicks.

#include "ui/roll_label.h"

#include <gtest/gtest.h>

#include <QFontMetrics>

#include "platform/error.h"
#include "platform/manual_event_loop.h"
#include "tests/ui/ui_test_support.h"

namespace nivra::ui {
namespace {

// A font in which `text` measures exactly `width` pixels: the largest pixel size that is not
// wider, then letter spacing in small steps.
QFont FontWithTextWidth(const QString& text, int width) {
  QFont font(QStringLiteral("DejaVu Sans"));
  auto measure = [&] { return QFontMetrics(font).size(Qt::TextSingleLine, text).width(); };
  int px = 6;
  for (font.setPixelSize(px + 1); measure() <= width && px < 100; font.setPixelSize(++px + 1)) {
  }
  font.setPixelSize(px);
  for (double spacing = 0; spacing < 3.0; spacing += 0.01) {
    font.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
    if (measure() == width) return font;
  }
  ADD_FAILURE() << "no font gives " << width << " pixels";
  return font;
}

class ClickCountingParent : public QWidget {
 public:
  int presses = 0;

 protected:
  void mousePressEvent(QMouseEvent*) override { ++presses; }
};

struct RollLabelTest : ::testing::Test {
  platform::ManualEventLoop loop;
  ClickCountingParent parent;
  TRollLabel label{loop, &parent};
  RollLabelTest() {
    parent.resize(300, 40);
    QPalette black = parent.palette();  // what lies under the label: black
    black.setColor(QPalette::Window, Qt::black);
    parent.setPalette(black);
    label.setGeometry(0, 0, 200, 20);
  }
  // The index shown after each replacement of the line, over `ticks` ticks.
  std::vector<int> ShownOver(int ticks) {
    std::vector<int> shown;
    for (int i = 0; i < ticks; ++i) {
      const int before = label.CurrentIndex();
      const int x = label.DrawRect().x();
      loop.advance(label.Interval());
      if (label.CurrentIndex() != before || label.DrawRect().x() > x)
        shown.push_back(label.CurrentIndex());
    }
    return shown;
  }
};

TEST_F(RollLabelTest, TwoHundredPixelExample) {
  label.setFont(FontWithTextWidth(QStringLiteral("Headline 1"), 100));
  label.SetLines({"Headline 1=a", "Next=b"});
  std::map<int, int> xAt;  // virtual ms → x of the text after that tick
  for (int t = 50; t <= 9600; t += 50) {
    loop.advance(50);
    xAt[t] = label.CurrentIndex() == 0 ? label.DrawRect().x() : 100000 + label.DrawRect().x();
  }
  EXPECT_EQ(xAt[50], 198);
  EXPECT_EQ(xAt[100], 196);
  EXPECT_EQ(xAt[3700], 52);
  EXPECT_EQ(xAt[3750], 50);  // the first position below the middle point 51
  EXPECT_EQ(xAt[5750], 50);  // the stop began at the tick of 3800 and lasts 2000 ms
  EXPECT_EQ(xAt[5800], 48);
  EXPECT_EQ(xAt[9500], -100);
  EXPECT_EQ(xAt[9550], 100000 + 200);  // below -100: the next line enters at the right edge
  const int h =
      QFontMetrics(label.font()).size(Qt::TextSingleLine, QStringLiteral("Headline 1")).height();
  label.SetLines({"Headline 1=a"});
  EXPECT_EQ(label.DrawRect().y(), static_cast<int>(static_cast<unsigned>(20 - h) >> 1) + 1);
}

TEST_F(RollLabelTest, LinesComeInOrderOrOncePerRandomRound) {
  label.SetMove(60);
  label.SetPauseTime(0);
  label.SetLines({"a=1", "b=2", "c=3"});
  const std::vector<int> ordered = ShownOver(40);
  ASSERT_GE(ordered.size(), 6u);
  EXPECT_EQ(std::vector<int>(ordered.begin(), ordered.begin() + 6),
            (std::vector<int>{0, 1, 2, 0, 1, 2}));

  label.SetRandomShow(true);
  label.SetLines({"a=1", "b=2", "c=3", "d=4", "e=5"});
  std::vector<int> shown = ShownOver(400);
  ASSERT_GE(shown.size(), 21u);
  for (std::size_t round = 0; round + 5 <= shown.size() && round < 20; round += 5) {
    std::vector<int> r(shown.begin() + static_cast<long>(round),
                       shown.begin() + static_cast<long>(round) + 5);
    std::sort(r.begin(), r.end());
    EXPECT_EQ(r, (std::vector<int>{0, 1, 2, 3, 4})) << "round from " << round;
  }
}

TEST_F(RollLabelTest, ColourPrefixAndClickReadsTheValue) {
  label.SetLines({"{0000FF}news=address"});
  loop.advance(50 * 60);  // well inside the label
  EXPECT_EQ(label.CurrentText(), "news");
  EXPECT_EQ(label.CurrentValue(), "address");
  EXPECT_EQ(label.CurrentColor(), QColor(255, 0, 0));
  const QImage out = test::Rendered(label);
  int red = 0;
  for (int y = 0; y < out.height(); ++y)
    for (int x = 0; x < out.width(); ++x) {
      const QRgb p = out.pixel(x, y);
      EXPECT_EQ(qGreen(p) + qBlue(p), 0) << x << "," << y;  // red text on black only
      if (qRed(p) > 200) ++red;
    }
  EXPECT_GT(red, 10);

  std::string opened;
  label.OnClick = [&](QObject*) { opened = label.CurrentValue(); };
  test::Click(&label, label.DrawRect().center());
  EXPECT_EQ(opened, "address");
  EXPECT_EQ(parent.presses, 0);
}

TEST_F(RollLabelTest, MouseOverTheTextHoldsItInTheHotFont) {
  label.SetHotFont(label.font(), QColor(0, 255, 0));
  label.SetLines({"moving=1"});
  loop.advance(50 * 30);
  const QPoint onText = label.DrawRect().center();
  test::SendMouse(&label, QEvent::MouseMove, onText, Qt::NoButton);
  ASSERT_TRUE(label.Hot());
  EXPECT_EQ(label.cursor().shape(), Qt::PointingHandCursor);
  const int x = label.DrawRect().x();
  loop.advance(50 * 10);
  EXPECT_EQ(label.DrawRect().x(), x);
  const QImage hot = test::Rendered(label);
  int green = 0;
  for (int y = 0; y < hot.height(); ++y)
    for (int xx = 0; xx < hot.width(); ++xx) {
      const QRgb p = hot.pixel(xx, y);
      EXPECT_EQ(qRed(p) + qBlue(p), 0);  // the hot colour only
      if (qGreen(p) > 200) ++green;
    }
  EXPECT_GT(green, 10);
  test::Leave(&label);
  EXPECT_FALSE(label.Hot());
  loop.advance(50);
  EXPECT_EQ(label.DrawRect().x(), x - 2);
}

TEST_F(RollLabelTest, EntryWithoutEqualsShowsAndMovesNothing) {
  label.SetLines({"just a name"});
  loop.advance(50 * 20);
  EXPECT_FALSE(label.HasText());
  EXPECT_EQ(label.CurrentText(), "");
  const QImage out = test::Rendered(label);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 200; ++x) ASSERT_EQ(out.pixel(x, y), qRgb(0, 0, 0));
  label.SetLines({"now=1"});
  loop.advance(50);
  EXPECT_TRUE(label.HasText());
  EXPECT_EQ(label.DrawRect().x(), 198);
}

TEST_F(RollLabelTest, ClicksBesideTheTextReachTheParent) {
  int clicks = 0;
  label.OnClick = [&](QObject*) { ++clicks; };
  label.SetLines({"item=1"});
  loop.advance(50 * 40);
  const QRect text = label.DrawRect();
  ASSERT_GT(text.left(), 5);
  test::Click(&label, {text.left() - 3, text.center().y()});
  test::Click(&label, {text.right() + 4, text.center().y()});
  EXPECT_EQ(parent.presses, 2);
  EXPECT_EQ(clicks, 0);
  test::Click(&label, text.center());
  EXPECT_EQ(parent.presses, 2);
  EXPECT_EQ(clicks, 1);
}

TEST_F(RollLabelTest, ShorterListAfterTheLastLineStartsAgain) {
  label.SetMove(60);
  label.SetPauseTime(0);
  label.SetLines({"a=1", "b=2", "c=3"});
  while (label.CurrentIndex() != 2) loop.advance(50);
  label.SetLines({"x=1"});
  loop.advance(50);
  EXPECT_EQ(label.CurrentIndex(), 0);
  EXPECT_TRUE(label.HasText());
}

TEST_F(RollLabelTest, IntervalZeroStopsTheTimer) {
  label.SetLines({"a=1"});
  EXPECT_EQ(loop.activeTimers(), 1u);
  label.SetInterval(0);
  EXPECT_EQ(loop.activeTimers(), 0u);
}

// A loop that refuses every timer.
class NoTimersLoop final : public platform::EventLoop {
 public:
  TimerId startTimer(int, std::function<void()>) override { return 0; }
  void killTimer(TimerId) override {}
  void post(std::function<void()>) override {}
  Clock::time_point now() const override { return {}; }
  std::uint64_t tickMs() const override { return 0; }
};

TEST(TRollLabel, RefusedTimerRaisesTheError) {
  NoTimersLoop loop;
  TRollLabel label(loop);
  try {
    label.SetLines({"a=1"});
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "Not enough timers available");
  }
}

}  // namespace
}  // namespace nivra::ui
