// The NivraExService stand-in as a process: it answers the program's probe and close notice over
// the service pipe, logs both, and a second instance leaves the first one serving.

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "net/pipe_client.h"
#include "net/pipe_protocol.h"
#include "tests/support/debug_log.h"
#include "tests/support/env_guard.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_process.h"

namespace nivra::net {
namespace {

using namespace std::chrono_literals;

TEST(ServiceStandIn, AnswersBothRequestsAndStaysTheOnlyServer) {
  test::TempDir runtime;
  test::EnvGuard env;
  env.set("XDG_RUNTIME_DIR", runtime.path().string());
  test::DebugLog debug;
  test::TestProcess service(NIVRA_SERVICE_BINARY, {});
  ASSERT_TRUE(service.waitFor("listening"));
  EXPECT_TRUE(ProbeService());
  const std::string probe = RequestPayload(kProbeCode);
  EXPECT_EQ(TPipeClient(kServicePipeId).Transact(probe.data(), 4), "OK");
  NotifyServiceClose();
  const std::string other = RequestPayload(0x1234);
  EXPECT_EQ(TPipeClient(kServicePipeId).Transact(other.data(), 4), "");
  EXPECT_TRUE(debug.contains("NivraExService: probe"));
  EXPECT_TRUE(debug.contains("NivraExService: close notice"));
  // A second instance leaves the first one serving.
  test::TestProcess second(NIVRA_SERVICE_BINARY, {});
  EXPECT_FALSE(second.readLine(2s).has_value());
  EXPECT_TRUE(ProbeService());
}

}  // namespace
}  // namespace nivra::net
