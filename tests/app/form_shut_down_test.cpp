// The scheduled shutdown's dialog and count-down window, in virtual time and with a recording
// power manager (nothing here can switch this machine off).

#include "app/form_shut_down.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <ctime>

#include "app/desktop/power_manager.h"
#include "common/form_dlg.h"
#include "platform/manual_event_loop.h"
#include "tests/common/dialog_test_support.h"
#include "tests/support/debug_log.h"
#include "tests/support/env_guard.h"
#include "ui/png_button.h"
#include "ui/png_check_box.h"

namespace nivra::app {
namespace {

using namespace std::chrono_literals;
using common::test::ClickWidget;
using common::test::ModalAnswer;
using Clock = platform::EventLoop::Clock;

WallTime utc(int y, int mo, int d, int h, int mi, int s) {
  std::tm tm{};
  tm.tm_year = y - 1900, tm.tm_mon = mo - 1, tm.tm_mday = d, tm.tm_hour = h, tm.tm_min = mi,
  tm.tm_sec = s;
  return Clock::from_time_t(::timegm(&tm));
}

// Local time is UTC while it lives.
struct UtcTimeZone {
  UtcTimeZone() {
    env->set("TZ", "UTC");
    ::tzset();
  }
  ~UtcTimeZone() {
    env.reset();
    ::tzset();
  }
  std::unique_ptr<test::EnvGuard> env = std::make_unique<test::EnvGuard>();
};

class RecordingPower final : public PowerManager {
 public:
  bool CanPowerOff() override { return calls.push_back("CanPowerOff"), true; }
  bool PowerOff() override { return calls.push_back("PowerOff"), true; }
  std::vector<std::string> calls;
};

const std::vector<std::string> kPoweredOff = {"CanPowerOff", "PowerOff"};

// "Now" is 2026-03-10 14:25:40: the fields open with 14:25.
class ShutDownWindowsTest : public ::testing::Test {
 protected:
  ShutDownWindowsTest() { owner.show(); }

  // Runs Act_ShutDown; `answer` acts on the dialog while it is up and should end it.
  bool runDialog(std::function<void(TFormShutDown&)> answer) {
    ModalAnswer<TFormShutDown> modal(std::move(answer));
    return RunShutDownDialog(&owner, loop, waiter);
  }
  // Schedules a target 10 seconds ahead and lets it pass: the count-down window is up.
  TFormShutDownHint* hintUp() {
    waiter.Schedule(loop.now() + 10s);
    loop.advance(TShutDownThread::kCheckIntervalMs * 3);
    EXPECT_NE(hint, nullptr);
    return hint;
  }
  static void deleteClosedWindows() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  UtcTimeZone zone;
  platform::ManualEventLoop loop{utc(2026, 3, 10, 14, 25, 40)};
  RecordingPower power;
  int ended = 0;
  QWidget owner;
  QPointer<TFormShutDownHint> hint;
  int steps = 0;
  TShutDownThread waiter{loop, [this] {
                           ++steps;
                           hint = ShowShutDownHint(&owner, loop, power, [this] { ++ended; });
                         }};
};

TEST_F(ShutDownWindowsTest, OKSchedulesAndTheCountDownComesWhenTheTimeHasPassed) {
  test::DebugLog log;
  const bool scheduled = runDialog([](TFormShutDown& form) {
    EXPECT_EQ(form.windowTitle(), QStringLiteral("定时关机"));
    EXPECT_EQ(form.size(), QSize(410, 200));
    EXPECT_FALSE(form.cbActive()->isChecked());
    EXPECT_EQ(form.cbActive()->text(), QStringLiteral("激活定时关机"));
    EXPECT_EQ(form.edtYear()->text(), QStringLiteral("2026"));
    EXPECT_EQ(form.edtMonth()->text(), QStringLiteral("03"));
    EXPECT_EQ(form.edtDay()->text(), QStringLiteral("10"));
    EXPECT_EQ(form.edtTime()->text(), QStringLiteral("14:25"));
    ClickWidget(form.cbActive());
    // Typed as the user does: the mask supplies the colon.
    form.edtTime()->setFocus();
    form.edtTime()->selectAll();
    QTest::keyClicks(form.edtTime(), QStringLiteral("1427"));
    EXPECT_EQ(form.edtTime()->text(), QStringLiteral("14:27"));
    ClickWidget(form.btnOK());
  });
  EXPECT_TRUE(scheduled);
  EXPECT_TRUE(waiter.Waiting());
  EXPECT_TRUE(log.contains("ShutDownScheduled:2026-03-10 14:27"));
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

  loop.advance(80'000);  // 14:27:00, not later than the target yet
  EXPECT_EQ(steps, 0);
  loop.advance(5'000);  // the next check
  ASSERT_EQ(steps, 1);
  ASSERT_NE(hint, nullptr);
  EXPECT_TRUE(hint->isVisible());
  EXPECT_EQ(hint->parentWidget(), &owner);
  EXPECT_EQ(QApplication::activeModalWidget(), hint.data());
  EXPECT_EQ(hint->windowTitle(), QStringLiteral("关机提示"));
  EXPECT_EQ(hint->size(), QSize(468, 194));
  EXPECT_EQ(hint->lblInfo()->text(), QStringLiteral("30 秒之后将关闭计算机"));
  loop.advance(1'000);
  EXPECT_EQ(hint->lblInfo()->text(), QStringLiteral("29 秒之后将关闭计算机"));
  EXPECT_TRUE(power.calls.empty());
}

struct RefusedCase {
  const char* name;
  QString month, time;
  QString error;
};
void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.name; }

class RefusedInput : public ShutDownWindowsTest,
                     public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedInput, ShowsTheErrorAndKeepsTheDialogOpen) {
  const RefusedCase& c = GetParam();
  QString shown;
  const bool scheduled = runDialog([&](TFormShutDown& form) {
    ClickWidget(form.cbActive());
    form.edtMonth()->setText(c.month);
    form.edtTime()->setText(c.time);
    {
      ModalAnswer<common::TFormDlg> error([&](common::TFormDlg& dlg) {
        EXPECT_EQ(dlg.parentWidget(), &form);
        shown = dlg.lblError()->toolTip();
        ClickWidget(dlg.findChild<ui::TPNGButton*>("btnOK"));
      });
      ClickWidget(form.btnOK());
    }
    EXPECT_TRUE(form.isVisible());
    EXPECT_FALSE(form.Target());
    ClickWidget(form.btnCancel());
  });
  EXPECT_EQ(shown, c.error);
  EXPECT_FALSE(scheduled);
  EXPECT_FALSE(waiter.Waiting());
}

const QString kBadDate = QStringLiteral("请检查你的日期是否正确!");

INSTANTIATE_TEST_SUITE_P(
    TFormShutDown, RefusedInput,
    ::testing::Values(
        RefusedCase{"Month13", "13", "10:00", kBadDate},
        RefusedCase{"Hour25", "03", "25:00", kBadDate},
        RefusedCase{"MonthLeftEmpty", "", "23:00", kBadDate},
        RefusedCase{"FieldsAsOpened", "03", "14:25",
                    QStringLiteral("关机时间设置不对，不能小于当前时间\r\n当前时间：2026-03-10 "
                                   "14:25\r\n设置时间：2026-03-10 14:25")},
        RefusedCase{"EarlierToday", "03", "09:05",
                    QStringLiteral("关机时间设置不对，不能小于当前时间\r\n当前时间：2026-03-10 "
                                   "14:25\r\n设置时间：2026-03-10 09:05")}),
    [](const auto& info) { return std::string(info.param.name); });

enum class DialogEnd { OKUnchecked, Cancel, CloseButton };

TEST_F(ShutDownWindowsTest, AnythingButACheckedOKKeepsTheEarlierSchedule) {
  waiter.Schedule(utc(2026, 3, 10, 14, 27, 0));
  for (DialogEnd end : {DialogEnd::OKUnchecked, DialogEnd::Cancel, DialogEnd::CloseButton}) {
    const bool scheduled = runDialog([end](TFormShutDown& form) {
      if (end != DialogEnd::OKUnchecked) ClickWidget(form.cbActive());
      form.edtTime()->setText(QStringLiteral("14:30"));
      ClickWidget(end == DialogEnd::OKUnchecked ? form.btnOK()
                  : end == DialogEnd::Cancel    ? form.btnCancel()
                                                : form.btnClose());
    });
    EXPECT_FALSE(scheduled) << static_cast<int>(end);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  }
  loop.advance(85'000);  // the first check after 14:27
  EXPECT_EQ(steps, 1);
}

TEST_F(ShutDownWindowsTest, ASecondOKReplacesTheSchedule) {
  for (const char* time : {"14:27", "14:40"})
    EXPECT_TRUE(runDialog([time](TFormShutDown& form) {
      ClickWidget(form.cbActive());
      form.edtTime()->setText(QString::fromLatin1(time));
      ClickWidget(form.btnOK());
    }));
  loop.advance(10 * 60'000);  // 14:35:40
  EXPECT_EQ(steps, 0);
  loop.advance(5 * 60'000);
  EXPECT_EQ(steps, 1);
}

TEST_F(ShutDownWindowsTest, CancellingTheCountDownLeavesTheComputerOn) {
  for (const char* button : {"btnCancel", "btnClose"}) {
    SCOPED_TRACE(button);
    TFormShutDownHint* up = hintUp();
    ASSERT_NE(up, nullptr);
    loop.advance(3'000);
    ClickWidget(up->findChild<ui::TPNGButton*>(button));
    EXPECT_FALSE(up->isVisible());
    deleteClosedWindows();
    EXPECT_EQ(hint, nullptr);  // freed
    loop.advance(120'000);
    EXPECT_EQ(loop.activeTimers(), 0u);
    EXPECT_TRUE(power.calls.empty());
    EXPECT_EQ(ended, 0);
  }
  EXPECT_EQ(steps, 2);
}

TEST_F(ShutDownWindowsTest, ShutNowAndTheEndOfTheCountDownPowerOffOnce) {
  struct {
    const char* name;
    int clickAfterMs;  // -1: no click
    int poweredOffAfterMs;
  } const cases[] = {{"ShutNow", 3'000, 3'000}, {"CountDownRunsOut", -1, 30'000}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    power.calls.clear();
    ended = 0;
    TFormShutDownHint* up = hintUp();
    ASSERT_NE(up, nullptr);
    loop.advance(c.poweredOffAfterMs - 1'000);
    EXPECT_TRUE(power.calls.empty());
    loop.advance(1'000);
    if (c.clickAfterMs >= 0) {
      EXPECT_EQ(up->btnOK()->Caption(), QStringLiteral("立即关闭"));
      ClickWidget(up->btnOK());
    }
    EXPECT_EQ(power.calls, kPoweredOff);
    EXPECT_EQ(ended, 1);
    EXPECT_FALSE(up->isVisible());
    deleteClosedWindows();
    EXPECT_EQ(hint, nullptr);
    loop.advance(60'000);
    EXPECT_EQ(power.calls, kPoweredOff);
    EXPECT_EQ(ended, 1);
  }
}

TEST_F(ShutDownWindowsTest, OnlyOneCountDownWindowAtATime) {
  TFormShutDownHint* up = hintUp();
  loop.advance(5'000);
  EXPECT_EQ(ShowShutDownHint(&owner, loop, power, [] {}), up);
  EXPECT_EQ(up->lblInfo()->text(), QStringLiteral("25 秒之后将关闭计算机"));
  ClickWidget(up->btnCancel());
  deleteClosedWindows();
  TFormShutDownHint* next = ShowShutDownHint(&owner, loop, power, [] {});
  EXPECT_NE(next, nullptr);
  EXPECT_EQ(next->lblInfo()->text(), QStringLiteral("30 秒之后将关闭计算机"));
  ClickWidget(next->btnCancel());
  EXPECT_TRUE(power.calls.empty());
}

TEST_F(ShutDownWindowsTest, WindowsLookLikeTheSkin) {
  TFormShutDown form(&owner, loop);
  form.show();
  const QImage dialog = common::test::Shot(&form, QStringLiteral("form_shut_down"));
  EXPECT_LT(QColor(dialog.pixel(form.width() / 2, 150)).lightness(), 80);
  // The fields are inside the form and do not overlap.
  const QWidget* row[] = {form.edtYear(), form.edtMonth(), form.edtDay(), form.edtTime()};
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(form.rect().contains(row[i]->geometry()));
  for (int i = 1; i < 4; ++i) EXPECT_LT(row[i - 1]->geometry().right(), row[i]->x());
  form.close();

  TFormShutDownHint* up = hintUp();
  ASSERT_NE(up, nullptr);
  const QImage shot = common::test::Shot(up, QStringLiteral("form_shut_down_hint"));
  EXPECT_LT(QColor(shot.pixel(10, up->height() / 2)).lightness(), 80);
  ClickWidget(up->btnCancel());
}

}  // namespace
}  // namespace nivra::app
