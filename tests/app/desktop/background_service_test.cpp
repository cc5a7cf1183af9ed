// CheckBackgroundService: when the service is probed, started in-process or asked for with
// elevated rights, over a run of several checks.

#include "app/desktop/background_service.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "net/pipe_protocol.h"
#include "tests/support/env_guard.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_process.h"

namespace nivra::app {
namespace {

using ::testing::ElementsAreArray;

struct ServiceCase {
  const char* name;
  bool present;
  bool elevated;
  std::string argument1;
  std::vector<std::string> calls;  // over three checks
};
void PrintTo(const ServiceCase& c, std::ostream* os) { *os << c.name; }

class BackgroundServiceTest : public ::testing::TestWithParam<ServiceCase> {};

TEST_P(BackgroundServiceTest, AsksForElevationAtMostOnce) {
  const ServiceCase& c = GetParam();
  std::vector<std::string> calls;
  BackgroundServiceCheck check({[&] { return calls.push_back("probe"), c.present; },
                                [&] { return calls.push_back("elevated"), c.elevated; },
                                [&] { calls.push_back("runServiceControl"); },
                                [&] { calls.push_back("startElevated"); }});
  for (int i = 0; i < 3; ++i) {
    check.CheckBackgroundService(c.argument1);
    calls.push_back("-");
  }
  EXPECT_THAT(calls, ElementsAreArray(c.calls));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BackgroundServiceTest,
    ::testing::Values(
        ServiceCase{"Present", true, false, "", {"probe", "-", "probe", "-", "probe", "-"}},
        ServiceCase{"ElevatedRunsItInProcessOnce",
                    false,
                    true,
                    "",
                    {"probe", "elevated", "runServiceControl", "-", "-", "-"}},
        ServiceCase{"NormalStartAsksAtOnce",
                    false,
                    false,
                    "",
                    {"probe", "elevated", "startElevated", "-", "-", "-"}},
        ServiceCase{"AutostartAsksAtTheSecondCheck",
                    false,
                    false,
                    "/a",
                    {"probe", "elevated", "-", "probe", "elevated", "startElevated", "-", "-"}},
        ServiceCase{"SetupRunAsksAtTheSecondCheck",
                    false,
                    false,
                    "/SetupRun",
                    {"probe", "elevated", "-", "probe", "elevated", "startElevated", "-", "-"}},
        ServiceCase{"OtherArgumentAsksAtOnce",
                    false,
                    false,
                    "/ShowMini",
                    {"probe", "elevated", "startElevated", "-", "-", "-"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BackgroundService, FailingProbeIsSwallowedAndTriedAgain) {
  int probes = 0;
  BackgroundServiceCheck check({[&]() -> bool {
                                  ++probes;
                                  throw std::runtime_error("pipe");
                                },
                                [] { return false; }, [] {}, [] {}});
  EXPECT_NO_THROW(check.CheckBackgroundService(""));
  EXPECT_NO_THROW(check.CheckBackgroundService(""));
  EXPECT_EQ(probes, 2);
  EXPECT_EQ(check.counter(), 0);
}

// The program's hooks: a service that answers the pipe's probe ends the check before anything
// is started or asked for.
TEST(BackgroundService, AnsweringServiceEndsTheCheck) {
  test::TempDir runtime;
  test::EnvGuard env;
  env.set("XDG_RUNTIME_DIR", runtime.path().string());
  test::TestProcess service("/usr/bin/python3",
                            {test::netScript("pipe_server.py"), "--path",
                             net::pipeSocketPath(net::kServicePipeId).string(), "--mode", "reply"});
  ASSERT_TRUE(service.waitFor("READY"));
  BackgroundServiceHooks hooks = SystemBackgroundServiceHooks("/nonexistent/nivra");
  int others = 0;
  hooks.elevated = [&] { return ++others, false; };
  hooks.startElevated = [&] { ++others; };
  BackgroundServiceCheck check(hooks);
  check.CheckBackgroundService("");
  EXPECT_EQ(service.waitFor("REQUEST"), "0400000002090000");
  EXPECT_EQ(others, 0);
  EXPECT_EQ(check.counter(), 0);
}

}  // namespace
}  // namespace nivra::app
