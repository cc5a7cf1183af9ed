// The systemd backend over a private D-Bus, against a scripted stand-in for systemd's manager.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "net/service_manager_systemd.h"
#include "tests/support/debug_log.h"
#include "tests/support/env_guard.h"
#include "tests/support/test_process.h"

namespace nivra::net {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAreArray;

struct SystemdCase {
  const char* name;
  std::vector<std::string> fakeArgs;
  std::vector<std::string> calls;
  std::vector<std::string> debugLines;
};

void PrintTo(const SystemdCase& c, std::ostream* os) { *os << c.name; }

class SystemdServiceManagerTest : public ::testing::TestWithParam<SystemdCase> {};

TEST_P(SystemdServiceManagerTest, EnsureServiceRunning) {
  test::TestProcess bus("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
  const auto address = bus.readLine();
  ASSERT_TRUE(address && !address->empty());
  test::EnvGuard env;
  env.set("DBUS_SESSION_BUS_ADDRESS", *address);
  std::vector<std::string> args{test::netScript("fake_systemd.py")};
  args.insert(args.end(), GetParam().fakeArgs.begin(), GetParam().fakeArgs.end());
  test::TestProcess systemd("/usr/bin/python3", args);
  ASSERT_TRUE(systemd.waitFor("READY"));

  test::DebugLog debug;
  auto manager = makeSystemdServiceManager(SystemdScope::User);
  EnsureServiceRunning(*manager, [](std::chrono::milliseconds) {});
  std::vector<std::string> calls;
  while (auto line = systemd.readLine(300ms)) calls.push_back(*line);
  EXPECT_THAT(calls, ElementsAreArray(GetParam().calls));
  EXPECT_THAT(debug.lines(), ElementsAreArray(GetParam().debugLines));
}

const std::string kLoad = "CALL LoadUnit NivraExService.service";
const std::string kEnable = "CALL EnableUnitFiles NivraExService.service False False";
const std::string kStart = "CALL StartUnit NivraExService.service replace";

INSTANTIATE_TEST_SUITE_P(
    Cases, SystemdServiceManagerTest,
    ::testing::Values(
        SystemdCase{"Running", {"--active", "--file-state", "disabled"}, {kLoad}, {}},
        SystemdCase{"DisabledIsEnabledAndStarted", {}, {kLoad, kEnable, "CALL Reload", kStart}, {}},
        SystemdCase{"MaskedIsUnmaskedEnabledAndStarted",
                    {"--file-state", "masked"},
                    {kLoad, "CALL UnmaskUnitFiles NivraExService.service False", kEnable,
                     "CALL Reload", kStart},
                    {}},
        SystemdCase{"EnabledIsOnlyStarted", {"--file-state", "enabled"}, {kLoad, kStart}, {}},
        SystemdCase{"EnableRefusedIsLoggedAndStarted",
                    {"--enable-error", "denied by test"},
                    {kLoad, kEnable, kStart},
                    {"13: denied by test"}},
        SystemdCase{
            "NotInstalled", {"--missing"}, {kLoad}, {"错误！可能服务未安装或未启动！错误号：2"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SystemdServiceManager, UnreachableManagerDoesNothing) {
  test::EnvGuard env;
  env.set("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus");
  test::DebugLog debug;
  auto manager = makeSystemdServiceManager(SystemdScope::User);
  EnsureServiceRunning(*manager, [](std::chrono::milliseconds) { FAIL() << "no wait expected"; });
  EXPECT_TRUE(debug.lines().empty());
}

}  // namespace
}  // namespace nivra::net
