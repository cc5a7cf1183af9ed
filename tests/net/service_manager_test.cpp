#include "net/service_manager.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/net/fake_service_manager.h"
#include "tests/support/debug_log.h"

namespace nivra::net {
namespace {

using test::FakeServiceManager;
using ::testing::ElementsAreArray;

struct EnsureCase {
  const char* name;
  void (*setUp)(FakeServiceManager&);
  std::vector<std::string> calls;
  std::vector<std::string> debugLines;
  int sleptMs;
};

void PrintTo(const EnsureCase& c, std::ostream* os) { *os << c.name; }

const std::vector<std::string> kStartsDisabled = {"openManager",
                                                  "openService NivraExService",
                                                  "isRunning",
                                                  "queryStartType",
                                                  "setStartTypeAutomatic",
                                                  "start",
                                                  "closeService",
                                                  "closeManager"};

class EnsureServiceRunningTest : public ::testing::TestWithParam<EnsureCase> {};

TEST_P(EnsureServiceRunningTest, CallsInOrder) {
  const EnsureCase& c = GetParam();
  test::DebugLog log;
  FakeServiceManager fake;
  c.setUp(fake);
  int slept = 0;
  EnsureServiceRunning(fake,
                       [&](std::chrono::milliseconds d) { slept += static_cast<int>(d.count()); });
  EXPECT_THAT(fake.calls, ElementsAreArray(c.calls));
  EXPECT_THAT(log.lines(), ElementsAreArray(c.debugLines));
  EXPECT_EQ(slept, c.sleptMs);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EnsureServiceRunningTest,
    ::testing::Values(
        EnsureCase{"RunningIsLeftAlone",
                   [](FakeServiceManager& f) { f.running = true; },
                   {"openManager", "openService NivraExService", "isRunning", "closeService",
                    "closeManager"},
                   {},
                   0},
        EnsureCase{"ManualBecomesAutomaticAndStarts",
                   [](FakeServiceManager& f) { f.startType = ServiceStartType::Manual; },
                   kStartsDisabled,
                   {},
                   500},
        EnsureCase{"DisabledBecomesAutomaticAndStarts",
                   [](FakeServiceManager& f) { f.startType = ServiceStartType::Disabled; },
                   kStartsDisabled,
                   {},
                   500},
        EnsureCase{"AutomaticOnlyStarts",
                   [](FakeServiceManager& f) { f.startType = ServiceStartType::Automatic; },
                   {"openManager", "openService NivraExService", "isRunning", "queryStartType",
                    "start", "closeService", "closeManager"},
                   {},
                   500},
        EnsureCase{"FailedQueryStillStarts",
                   [](FakeServiceManager& f) { f.startType.reset(); },
                   {"openManager", "openService NivraExService", "isRunning", "queryStartType",
                    "start", "closeService", "closeManager"},
                   {},
                   500},
        EnsureCase{"FailedChangeIsLoggedAndStillStarts",
                   [](FakeServiceManager& f) {
                     f.changeFailure = ServiceFailure{5, "denied"};
                   },
                   kStartsDisabled,
                   {"5: denied"},
                   500},
        EnsureCase{"NotInstalled",
                   [](FakeServiceManager& f) { f.installed = false; },
                   {"openManager", "openService NivraExService", "closeManager"},
                   {"错误！可能服务未安装或未启动！错误号：1060"},
                   0},
        EnsureCase{"NoRightsDoesNothing",
                   [](FakeServiceManager& f) { f.managerOpens = false; },
                   {"openManager"},
                   {},
                   0}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace nivra::net
