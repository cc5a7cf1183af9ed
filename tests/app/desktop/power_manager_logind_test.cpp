// The logind power manager and the scheduled shutdown end to end (in virtual time) against a
// scripted logind. The system bus of this whole binary is a private dbus-daemon: the binary
// starts with DBUS_SYSTEM_BUS_ADDRESS pointing nowhere, the environment below points it at the
// private daemon before any test runs, and every test checks that it still does.

#include "app/desktop/power_manager_logind.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "app/desktop/shut_down.h"
#include "platform/manual_event_loop.h"
#include "tests/app/desktop/private_bus.h"

namespace nivra::app {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

class PrivateSystemBus : public ::testing::Environment {
 public:
  void SetUp() override {
    bus = std::make_unique<test::PrivateBus>();
    ASSERT_FALSE(bus->address().empty());
    ::setenv("DBUS_SYSTEM_BUS_ADDRESS", bus->address().c_str(), 1);
  }
  void TearDown() override {
    ::setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/nivra-no-system-bus", 1);
    bus.reset();
  }
  static inline std::unique_ptr<test::PrivateBus> bus;
};
[[maybe_unused]] auto* const kSystemBus = ::testing::AddGlobalTestEnvironment(new PrivateSystemBus);

// Starts the scripted logind on the private system bus after making sure the system bus this
// process would use is that private one.
class LogindTest : public ::testing::Test {
 protected:
  void startLogind(std::vector<std::string> extra = {}) {
    ASSERT_TRUE(PrivateSystemBus::bus);
    const char* address = std::getenv("DBUS_SYSTEM_BUS_ADDRESS");
    ASSERT_NE(address, nullptr);
    ASSERT_EQ(std::string(address), PrivateSystemBus::bus->address());
    ASSERT_EQ(std::string(address).find("/run/dbus"), std::string::npos);
    ASSERT_TRUE(PrivateSystemBus::bus->waitUntilFree(QStringLiteral("org.freedesktop.login1")));
    logind = std::make_unique<test::TestProcess>(
        "/usr/bin/python3", test::fakeServiceArgs("logind", address, std::move(extra)));
    ASSERT_TRUE(logind->waitFor("READY"));
  }
  std::unique_ptr<test::TestProcess> logind;
};

struct PowerOffCase {
  const char* name;
  std::vector<std::string> fakeArgs;
  std::vector<std::string> calls;
};
void PrintTo(const PowerOffCase& c, std::ostream* os) { *os << c.name; }

class RunShutDownTest : public LogindTest, public ::testing::WithParamInterface<PowerOffCase> {};

TEST_P(RunShutDownTest, PowersOffWhenAllowedAndAlwaysEnds) {
  startLogind(GetParam().fakeArgs);
  auto power = makeLogindPowerManager();
  int ended = 0;
  RunShutDown(*power, [&] { ++ended; });
  EXPECT_THAT(test::drainCalls(*logind), ElementsAreArray(GetParam().calls));
  EXPECT_EQ(ended, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RunShutDownTest,
    ::testing::Values(PowerOffCase{"Allowed", {}, {"CALL CanPowerOff", "CALL PowerOff True"}},
                      PowerOffCase{"AfterAPassword",
                                   {"--can-power-off", "challenge"},
                                   {"CALL CanPowerOff", "CALL PowerOff True"}},
                      PowerOffCase{"NotAllowed", {"--can-power-off", "no"}, {"CALL CanPowerOff"}},
                      PowerOffCase{"NotAvailable", {"--can-power-off", "na"}, {"CALL CanPowerOff"}},
                      PowerOffCase{"Refused",
                                   {"--refuse-power-off"},
                                   {"CALL CanPowerOff", "CALL PowerOff True"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LogindTest, RefusedPowerOffIsReported) {
  startLogind({"--refuse-power-off"});
  EXPECT_FALSE(makeLogindPowerManager()->PowerOff());
  EXPECT_THAT(test::drainCalls(*logind), ElementsAre("CALL PowerOff True"));
}

TEST(LogindPowerManager, WithoutLogindNothingIsAllowed) {
  test::PrivateBus emptyBus;
  auto power = makeLogindPowerManager(emptyBus.connect());
  EXPECT_FALSE(power->CanPowerOff());
  EXPECT_FALSE(power->PowerOff());
}

// The schedule as the dialog, the waiter and the hint window run it: a target one minute
// ahead, the check every five seconds, the 30-second count-down, then logind.
class ScheduledShutDownTest : public LogindTest {
 protected:
  void schedule() {
    startLogind();
    power = makeLogindPowerManager();
    waiter.Schedule(loop.now() + std::chrono::minutes(1));
  }
  void shutdownStep() {
    countDown = std::make_unique<ShutDownCountDown>(
        loop, [this](const std::string& text) { shown.push_back(text); },
        [this](bool powerOff) {
          if (powerOff) RunShutDown(*power, [this] { ++ended; });
        });
    countDown->Start();
  }

  platform::ManualEventLoop loop;
  std::unique_ptr<PowerManager> power;
  TShutDownThread waiter{loop, [this] { shutdownStep(); }};
  std::unique_ptr<ShutDownCountDown> countDown;
  std::vector<std::string> shown;
  int ended = 0;
};

TEST_F(ScheduledShutDownTest, CountsDownFromThirtyThenPowersOffOnce) {
  schedule();
  loop.advance(60'000);  // the target is reached, not passed
  EXPECT_TRUE(shown.empty());
  loop.advance(5'000);  // the next check
  ASSERT_THAT(shown, ElementsAre("30 秒之后将关闭计算机"));
  loop.advance(29'000);
  EXPECT_EQ(shown.back(), "1 秒之后将关闭计算机");
  EXPECT_EQ(ended, 0);
  loop.advance(1'000);
  EXPECT_EQ(shown.size(), 31u);
  EXPECT_EQ(ended, 1);
  loop.advance(600'000);  // nothing more comes
  EXPECT_EQ(ended, 1);
  EXPECT_THAT(test::drainCalls(*logind), ElementsAre("CALL CanPowerOff", "CALL PowerOff True"));
}

TEST_F(ScheduledShutDownTest, CancelInTheCountDownCallsNothing) {
  schedule();
  loop.advance(65'000);
  ASSERT_TRUE(countDown);
  countDown->Cancel();
  loop.advance(600'000);
  EXPECT_EQ(ended, 0);
  EXPECT_FALSE(waiter.Waiting());
  EXPECT_THAT(test::drainCalls(*logind), ElementsAre());
}

TEST_F(ScheduledShutDownTest, ProgramEndBeforeTheTimeCallsNothing) {
  schedule();
  loop.advance(30'000);
  waiter.Stop();  // what the waiter's destruction at program end does
  loop.advance(600'000);
  EXPECT_FALSE(countDown);
  EXPECT_THAT(test::drainCalls(*logind), ElementsAre());
}

}  // namespace
}  // namespace nivra::app
