// The scheduled shutdown's dialog check, waiter and count-down in virtual time.

#include "app/desktop/shut_down.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ctime>

#include "app/desktop/power_manager.h"
#include "platform/error.h"
#include "platform/manual_event_loop.h"
#include "tests/support/env_guard.h"

namespace nivra::app {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;
using Clock = platform::EventLoop::Clock;

// Local time is UTC in these tests; 2026-03-10 14:25:40 is "now".
class LocalTimeTest : public ::testing::Test {
 protected:
  LocalTimeTest() {
    env.set("TZ", "UTC");
    ::tzset();
  }
  static WallTime at(int y, int mo, int d, int h, int mi, int s = 0) {
    std::tm tm{};
    tm.tm_year = y - 1900, tm.tm_mon = mo - 1, tm.tm_mday = d, tm.tm_hour = h, tm.tm_min = mi,
    tm.tm_sec = s;
    return Clock::from_time_t(::timegm(&tm));
  }
  test::EnvGuard env;
  const WallTime now = at(2026, 3, 10, 14, 25, 40);
};

TEST_F(LocalTimeTest, DialogOpensWithTheCurrentMinute) {
  const ShutDownFields fields = ShutDownFieldsFor(at(2026, 3, 5, 7, 4, 59));
  EXPECT_EQ(fields.year, "2026");
  EXPECT_EQ(fields.month, "03");
  EXPECT_EQ(fields.day, "05");
  EXPECT_EQ(fields.time, "07:04");
}

struct TargetCase {
  const char* name;
  ShutDownFields fields;
  std::string error;  // empty: accepted
};
void PrintTo(const TargetCase& c, std::ostream* os) { *os << c.name; }

class ShutDownTargetTest : public LocalTimeTest,
                           public ::testing::WithParamInterface<TargetCase> {};

const std::string kBadDate = "请检查你的日期是否正确!";

TEST_P(ShutDownTargetTest, RefusesWithTheDialogTexts) {
  if (GetParam().error.empty()) {
    EXPECT_GT(ShutDownTarget(GetParam().fields, now), now);
    return;
  }
  try {
    ShutDownTarget(GetParam().fields, now);
    ADD_FAILURE() << "accepted";
  } catch (const Error& e) {
    EXPECT_EQ(e.what(), GetParam().error);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ShutDownTargetTest,
    ::testing::Values(TargetCase{"OneMinuteAhead", {"2026", "03", "10", "14:26"}, ""},
                      TargetCase{"MaskBlanks", {"2026", " 3", "10", "15: 0"}, ""},
                      TargetCase{"FieldsAsOpened",
                                 {"2026", "03", "10", "14:25"},
                                 "关机时间设置不对，不能小于当前时间\r\n当前时间：2026-03-10 "
                                 "14:25\r\n设置时间：2026-03-10 14:25"},
                      TargetCase{"Yesterday",
                                 {"2026", "03", "09", "23:59"},
                                 "关机时间设置不对，不能小于当前时间\r\n当前时间：2026-03-10 "
                                 "14:25\r\n设置时间：2026-03-09 23:59"},
                      TargetCase{"Month13", {"2026", "13", "01", "10:00"}, kBadDate},
                      TargetCase{"Hour25", {"2026", "03", "11", "25:00"}, kBadDate},
                      TargetCase{"Minute60", {"2026", "03", "11", "10:60"}, kBadDate},
                      TargetCase{"February30", {"2026", "02", "30", "10:00"}, kBadDate},
                      TargetCase{"LeapDay", {"2028", "02", "29", "10:00"}, ""},
                      TargetCase{"NotANumber", {"20x6", "03", "11", "10:00"}, kBadDate},
                      TargetCase{"DayZero", {"2026", "03", "  ", "10:00"}, kBadDate}),
    [](const auto& info) { return std::string(info.param.name); });

class TShutDownThreadTest : public ::testing::Test {
 protected:
  platform::ManualEventLoop loop;
  int steps = 0;
  std::unique_ptr<TShutDownThread> waiter =
      std::make_unique<TShutDownThread>(loop, [this] { ++steps; });
};

TEST_F(TShutDownThreadTest, StepComesWithinFiveSecondsAfterTheTargetAndOnlyOnce) {
  waiter->Schedule(loop.now() + 12s);
  loop.advance(10'000);  // checks at 5 and 10 s: not yet
  EXPECT_EQ(steps, 0);
  loop.advance(5'000);
  EXPECT_EQ(steps, 1);
  EXPECT_FALSE(waiter->Waiting());
  loop.advance(60'000);
  EXPECT_EQ(steps, 1);
}

TEST_F(TShutDownThreadTest, PassedTargetIsCaughtAtOnce) {
  waiter->Schedule(loop.now() - 1s);
  EXPECT_EQ(steps, 1);
}

TEST_F(TShutDownThreadTest, NewScheduleReplacesTheOld) {
  waiter->Schedule(loop.now() + 10s);
  waiter->Schedule(loop.now() + 60s);
  EXPECT_EQ(loop.activeTimers(), 1u);
  loop.advance(30'000);
  EXPECT_EQ(steps, 0);
  loop.advance(35'000);
  EXPECT_EQ(steps, 1);
}

TEST_F(TShutDownThreadTest, ProgramEndDropsTheWaitWithoutAStep) {
  waiter->Schedule(loop.now() + 10s);
  waiter.reset();
  EXPECT_EQ(loop.activeTimers(), 0u);
  loop.advance(60'000);
  EXPECT_EQ(steps, 0);
}

class ShutDownCountDownTest : public ::testing::Test {
 protected:
  platform::ManualEventLoop loop;
  std::vector<std::string> shown;
  std::vector<bool> finished;
  ShutDownCountDown countDown{loop, [this](const std::string& t) { shown.push_back(t); },
                              [this](bool powerOff) { finished.push_back(powerOff); }};
};

TEST_F(ShutDownCountDownTest, CountsThirtySecondsThenPowersOff) {
  countDown.Start();
  EXPECT_THAT(shown, ElementsAre("30 秒之后将关闭计算机"));
  loop.advance(29'000);
  EXPECT_EQ(shown.back(), "1 秒之后将关闭计算机");
  EXPECT_TRUE(finished.empty());
  loop.advance(1'000);
  EXPECT_EQ(shown.back(), "0 秒之后将关闭计算机");
  EXPECT_THAT(finished, ElementsAre(true));
  countDown.Cancel();  // too late: finished already
  EXPECT_EQ(loop.activeTimers(), 0u);
  EXPECT_THAT(finished, ElementsAre(true));
}

TEST_F(ShutDownCountDownTest, CancelAndNowFinishAtOnce) {
  countDown.Start();
  loop.advance(3'000);
  countDown.Cancel();
  loop.advance(60'000);
  EXPECT_THAT(finished, ElementsAre(false));
  EXPECT_EQ(shown.size(), 4u);

  ShutDownCountDown now{loop, [](const std::string&) {}, [this](bool p) { finished.push_back(p); }};
  now.Start();
  now.Now();
  EXPECT_THAT(finished, ElementsAre(false, true));
}

class RecordingPower final : public PowerManager {
 public:
  explicit RecordingPower(bool allowed) : allowed_(allowed) {}
  bool CanPowerOff() override { return calls.push_back("CanPowerOff"), allowed_; }
  bool PowerOff() override { return calls.push_back("PowerOff"), false; }
  std::vector<std::string> calls;

 private:
  bool allowed_;
};

TEST(RunShutDown, EndsTheApplicationEvenWhenPowerOffIsNotAllowed) {
  for (bool allowed : {true, false}) {
    RecordingPower power(allowed);
    int ended = 0;
    RunShutDown(power, [&] { ++ended; });
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(power.calls.size(), allowed ? 2u : 1u);
  }
}

}  // namespace
}  // namespace nivra::app
