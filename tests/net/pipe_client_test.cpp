// TPipeClient against scripted pipe servers.

#include "net/pipe_client.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <cstring>

#include "net/pipe_protocol.h"
#include "platform/error.h"
#include "platform/unique_fd.h"
#include "tests/support/env_guard.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_process.h"

namespace nivra::net {
namespace {

using namespace std::chrono_literals;

class PipeClientTest : public ::testing::Test {
 protected:
  void SetUp() override { env.set("XDG_RUNTIME_DIR", runtime.path().string()); }
  std::unique_ptr<test::TestProcess> serve(const std::string& mode, int size = 0) {
    auto p = std::make_unique<test::TestProcess>(
        "/usr/bin/python3",
        std::vector<std::string>{test::netScript("pipe_server.py"), "--path",
                                 pipeSocketPath(kServicePipeId).string(), "--mode", mode, "--size",
                                 std::to_string(size)});
    EXPECT_TRUE(p->waitFor("READY"));
    return p;
  }
  std::string transact(std::chrono::milliseconds limit = kPipeTimeLimit) {
    const std::string probe = RequestPayload(kProbeCode);
    return TPipeClient(kServicePipeId, limit).Transact(probe.data(), 4);
  }
  test::TempDir runtime;
  test::EnvGuard env;
};

TEST_F(PipeClientTest, WithoutAServerTheProbeFailsAtOnce) {
  EXPECT_FALSE(ProbeService());
  NotifyServiceClose();
  try {
    transact();
    FAIL() << "no error raised";
  } catch (const nivra::Error& e) {
    EXPECT_STREQ(e.what(), "命名管道不存在");
  }
}

TEST_F(PipeClientTest, EmptyReplyAnswersTrueAndTheRequestIsEightBytes) {
  auto server = serve("reply", 0);
  EXPECT_TRUE(ProbeService());
  EXPECT_EQ(server->waitFor("REQUEST"), "0400000002090000");
  EXPECT_EQ(transact(), "");
  EXPECT_EQ(server->waitFor("REQUEST"), "0400000002090000");
  NotifyServiceClose();
  EXPECT_EQ(server->waitFor("REQUEST"), "0400000001090000");
}

TEST_F(PipeClientTest, LongReplyArrivesWhole) {
  auto server = serve("reply", 10000);
  const std::string reply = transact();
  ASSERT_EQ(reply.size(), 10000u);
  for (std::size_t i = 0; i < reply.size(); ++i)
    ASSERT_EQ(static_cast<unsigned char>(reply[i]), i % 256) << i;
}

TEST_F(PipeClientTest, ServerClosingAtOnceStillCountsAsPresent) {
  auto server = serve("close");
  EXPECT_TRUE(ProbeService());
  EXPECT_EQ(transact(), "");
}

TEST_F(PipeClientTest, SilentServerReturnsWithinTheLimit) {
  auto server = serve("silent");
  const auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(transact(300ms), "");
  EXPECT_LT(std::chrono::steady_clock::now() - started, 10s);  // the server stays silent for 30 s
}

TEST_F(PipeClientTest, BusyServerRaisesAfterTheLimit) {
  auto server = serve("busy");
  // Fill the backlog of the server that never accepts.
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  const std::string path = pipeSocketPath(kServicePipeId).string();
  std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
  std::vector<platform::UniqueFd> waiting;
  for (int i = 0; i < 4; ++i) {
    platform::UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (::connect(fd.get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) break;
    waiting.push_back(std::move(fd));
  }
  try {
    transact(300ms);
    FAIL() << "no error raised";
  } catch (const nivra::Error& e) {
    EXPECT_STREQ(e.what(), "命名管道Mang");
  }
}

}  // namespace
}  // namespace nivra::net
