// The full-screen window: bars and cursor after three seconds of virtual time without input,
// leaving full screen on deactivation and close, keys to the player first.

#include "common/full_form.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QWheelEvent>
#include <memory>

#include "platform/manual_event_loop.h"
#include "tests/common/dialog_test_support.h"

namespace nivra::common {
namespace {

class FakeHost final : public FullScreenHost {
 public:
  void LeaveFullScreen() override { ++leaves; }
  void SetCursorHidden(bool hidden) override { cursorCalls.push_back(hidden); }
  bool HandleKey(int key) override {
    keys.push_back(key);
    return key == Qt::Key_Escape || key == Qt::Key_Space;
  }
  int leaves = 0;
  std::vector<bool> cursorCalls;
  std::vector<int> keys;
};

// A focusable child that records the keys it gets and passes them on.
class KeyCatcher final : public QWidget {
 public:
  using QWidget::QWidget;
  std::vector<int> keys;

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    keys.push_back(event->key());
    event->ignore();
  }
};

class FullFormTest : public ::testing::Test {
 protected:
  FullFormTest() {
    // The host moves its bars onto the form after creating it.
    progress_ = new QWidget;
    bottom_ = new QWidget;
    form_ = std::make_unique<TFullForm>(loop_, host_, progress_, bottom_);
    progress_->setParent(form_.get());
    bottom_->setParent(form_.get());
    form_->show();
    progress_->show();
    bottom_->show();
  }
  bool barsShown() const { return progress_->isVisible() && bottom_->isVisible(); }
  bool barsHidden() const { return !progress_->isVisible() && !bottom_->isVisible(); }

  platform::ManualEventLoop loop_;
  FakeHost host_;
  std::unique_ptr<TFullForm> form_;
  QWidget* progress_;
  QWidget* bottom_;
};

TEST_F(FullFormTest, CoversThePrimaryScreenOnTopWithoutFrame) {
  EXPECT_EQ(form_->geometry(),
            QRect(QPoint(0, 0), QGuiApplication::primaryScreen()->geometry().size()));
  EXPECT_TRUE(form_->windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_TRUE(form_->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_TRUE(form_->isWindow());
}

TEST_F(FullFormTest, BarsAndCursorHideAfterThreeSecondsWithoutInput) {
  loop_.advance(2900);
  EXPECT_TRUE(barsShown());
  ASSERT_FALSE(host_.cursorCalls.empty());
  EXPECT_FALSE(host_.cursorCalls.back());
  loop_.advance(100);  // 3000 ms since the window came: hidden
  EXPECT_TRUE(barsHidden());
  EXPECT_TRUE(host_.cursorCalls.back());
  loop_.advance(5000);
  EXPECT_TRUE(barsHidden());
  EXPECT_TRUE(host_.cursorCalls.back());
  // The cursor is hidden exactly while the bars are.
  EXPECT_EQ(std::count(host_.cursorCalls.begin(), host_.cursorCalls.end(), false), 29);
}

// Each kind of input brings the bars and the cursor back for three more seconds.
TEST_F(FullFormTest, AnyInputShowsThemAgain) {
  const QPointF at(100, 100);
  int step = 0;
  const std::vector<std::function<void()>> inputs = {
      [&] {
        const QPointF p = at + QPointF(++step, 0);
        QMouseEvent e(QEvent::MouseMove, p, p, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(form_.get(), &e);
      },
      [&] {
        QMouseEvent e(QEvent::MouseButtonPress, at, at, Qt::RightButton, Qt::RightButton,
                      Qt::NoModifier);
        QApplication::sendEvent(form_.get(), &e);
      },
      [&] {
        QKeyEvent e(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier);
        QApplication::sendEvent(form_.get(), &e);
      },
      [&] {
        QWheelEvent e(at, at, QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(form_.get(), &e);
      },
  };
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    SCOPED_TRACE(i);
    loop_.advance(4000);
    ASSERT_TRUE(barsHidden());
    inputs[i]();
    loop_.advance(100);
    EXPECT_TRUE(barsShown());
    EXPECT_FALSE(host_.cursorCalls.back());
    loop_.advance(2800);
    EXPECT_TRUE(barsShown());
    loop_.advance(200);
    EXPECT_TRUE(barsHidden());
    EXPECT_TRUE(host_.cursorCalls.back());
  }
}

TEST_F(FullFormTest, AMouseMoveToTheSamePlaceIsNoInput) {
  const QPointF at(50, 60);
  QMouseEvent first(QEvent::MouseMove, at, at, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(form_.get(), &first);
  loop_.advance(3000);
  ASSERT_TRUE(barsHidden());
  QMouseEvent same(QEvent::MouseMove, at, at, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(form_.get(), &same);  // e.g. a widget appearing under a still mouse
  loop_.advance(100);
  EXPECT_TRUE(barsHidden());
}

TEST_F(FullFormTest, DeactivationAndClosingLeaveFullScreen) {
  emit qApp->applicationStateChanged(Qt::ApplicationActive);
  loop_.runPending();
  EXPECT_EQ(host_.leaves, 0);
  emit qApp->applicationStateChanged(Qt::ApplicationInactive);
  EXPECT_EQ(host_.leaves, 0);  // not inside the notice: the host may free the form
  loop_.runPending();
  EXPECT_EQ(host_.leaves, 1);
  form_->close();
  loop_.runPending();
  EXPECT_EQ(host_.leaves, 2);
  // Freed before the posted request ran: full screen has ended already.
  emit qApp->applicationStateChanged(Qt::ApplicationHidden);
  form_.reset();
  loop_.runPending();
  EXPECT_EQ(host_.leaves, 2);
  emit qApp->applicationStateChanged(Qt::ApplicationInactive);  // no form, no listener
  loop_.runPending();
  EXPECT_EQ(host_.leaves, 2);
}

TEST_F(FullFormTest, KeysGoToThePlayerFirst) {
  auto* child = new KeyCatcher(form_.get());
  child->setFocusPolicy(Qt::StrongFocus);
  child->show();
  QApplication::setActiveWindow(form_.get());
  child->setFocus();
  ASSERT_EQ(QApplication::focusWidget(), child);
  for (const int key : {Qt::Key_Escape, Qt::Key_Space, Qt::Key_X}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(child, &press);
  }
  // Each key once to the player (not again as it travels up); the ones it used stop there.
  EXPECT_EQ(host_.keys, (std::vector<int>{Qt::Key_Escape, Qt::Key_Space, Qt::Key_X}));
  EXPECT_EQ(child->keys, std::vector<int>{Qt::Key_X});
}

TEST_F(FullFormTest, TheTimerEndsWithTheForm) {
  EXPECT_EQ(loop_.activeTimers(), 1u);
  form_.reset();
  EXPECT_EQ(loop_.activeTimers(), 0u);
  loop_.advance(500);  // nothing left to call into the freed form
  progress_ = bottom_ = nullptr;
}

TEST_F(FullFormTest, IsBlackBehindThePlayer) {
  progress_->setGeometry(0, form_->height() - 80, form_->width(), 20);
  bottom_->setGeometry(0, form_->height() - 60, form_->width(), 60);
  const QImage shot = test::Shot(form_.get(), QStringLiteral("full_form"));
  EXPECT_EQ(QColor(shot.pixel(form_->width() / 2, form_->height() / 3)), QColor(Qt::black));
}

}  // namespace
}  // namespace nivra::common
