// TDownLoadThread over real downloads: retries, resume across attempts, the one message.

#include "net/download_thread.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <thread>

#include "net/http_download.h"
#include "platform/manual_event_loop.h"
#include "tests/support/env_guard.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_process.h"

namespace nivra::net {
namespace {

using namespace std::chrono_literals;
using test::readFile;

constexpr std::uint32_t kDone = 2057;

class RecordingWindow final : public platform::MessageTarget {
 public:
  using MessageTarget::MessageTarget;
  std::intptr_t handleMessage(const platform::Message& msg) override {
    received.push_back(msg);
    return 0;
  }
  std::vector<platform::Message> received;
};

class DownloadThreadTest : public ::testing::Test {
 protected:
  void SetUp() override { env.set("no_proxy", "*"); }
  // Waits for the worker, then delivers what it posted.
  void finish() {
    ASSERT_TRUE(tasks.waitIdle(60s));
    loop.runPending();
  }
  std::string count(const test::ScriptServer& http) {
    const auto file = dir / "count.txt";
    if (!HttpDownload("http://127.0.0.1:" + std::to_string(http.port) + "/count", file)) return {};
    return readFile(file);
  }
  test::EnvGuard env;
  test::TempDir dir;
  platform::ManualEventLoop loop;
  RecordingWindow window{loop};
  BackgroundTasks tasks;
  const DownloadRetry fast{5, 10ms};
};

TEST_F(DownloadThreadTest, SuccessOnTheThirdAttemptPostsExactlyOneMessage) {
  test::ScriptServer http("http_scripted.py", {});
  const auto target = dir / "left.xml";
  ASSERT_TRUE(StartDownload(window, "http://127.0.0.1:" + std::to_string(http.port) + "/flaky?2",
                            target, kDone, tasks, fast));
  finish();
  ASSERT_EQ(window.received.size(), 1u);
  EXPECT_EQ(window.received[0].id, kDone);
  EXPECT_EQ(window.received[0].wParam, 0);
  EXPECT_EQ(window.received[0].lParam, 0);
  EXPECT_EQ(readFile(target), "finally here");
  EXPECT_EQ(count(http), "3");
}

TEST_F(DownloadThreadTest, FiveFailedAttemptsPostNothing) {
  test::ScriptServer http("http_scripted.py", {});
  const auto target = dir.write("old.xml", "stale");  // deleted before the first attempt
  StartDownload(window, "http://127.0.0.1:" + std::to_string(http.port) + "/flaky?99", target,
                kDone, tasks, fast);
  StartDownload(window, "http://127.0.0.1:1/unreachable", dir / "b.xml", kDone, tasks, fast);
  finish();
  EXPECT_TRUE(window.received.empty());
  EXPECT_FALSE(std::filesystem::exists(target));
  EXPECT_EQ(count(http), "5");
}

TEST_F(DownloadThreadTest, FtpAttemptsContinueThePartialFile) {
  const auto log = dir / "ftp.log";
  test::ScriptServer ftp("hostile_ftp.py",
                         {"--scenario", "file", "--cuts", "2000,1000", "--log", log.string()});
  const auto target = dir / "ad.bin";
  StartDownload(window, "ftp://127.0.0.1:" + std::to_string(ftp.port) + "/ad.bin", target, kDone,
                tasks, fast);
  finish();
  EXPECT_EQ(window.received.size(), 1u);
  std::string expected(5000, '\0');
  for (std::size_t i = 0; i < expected.size(); ++i) expected[i] = static_cast<char>(i % 251);
  EXPECT_EQ(readFile(target), expected);
  const std::string commands = readFile(log);
  EXPECT_NE(commands.find("REST 2000"), std::string::npos);
  EXPECT_NE(commands.find("REST 3000"), std::string::npos);
}

TEST_F(DownloadThreadTest, ErrorRaisedByAnAttemptEndsTheAttempts) {
  test::ScriptServer http("http_scripted.py", {});
  StartDownload(window, "http://127.0.0.1:" + std::to_string(http.port) + "/flaky?0",
                dir / "no-such-dir" / "x", kDone, tasks, fast);
  finish();
  EXPECT_TRUE(window.received.empty());
  EXPECT_EQ(count(http), "1");
}

TEST_F(DownloadThreadTest, StopBeforeTheNextAttemptPostsNothing) {
  test::ScriptServer http("http_scripted.py", {});
  StartDownload(window, "http://127.0.0.1:" + std::to_string(http.port) + "/flaky?0", dir / "x",
                kDone, tasks, {5, 60s});
  tasks.stopAndJoin();  // wakes the worker from its one-minute wait
  loop.runPending();
  EXPECT_TRUE(window.received.empty());
  EXPECT_EQ(count(http), "0");
}

TEST_F(DownloadThreadTest, StopInterruptsABlockedTransfer) {
  test::ScriptServer http("http_scripted.py", {});
  test::ScriptServer ftp("hostile_ftp.py", {"--scenario", "silent"});
  StartDownload(window, "http://127.0.0.1:" + std::to_string(http.port) + "/hang", dir / "h", kDone,
                tasks, {1, 0ms});
  StartDownload(window, "ftp://127.0.0.1:" + std::to_string(ftp.port) + "/f", dir / "f", kDone,
                tasks, {1, 0ms});
  std::this_thread::sleep_for(300ms);  // both workers are blocked in their first read by now
  const auto stopping = std::chrono::steady_clock::now();
  tasks.stopAndJoin();
  // Without the interruption the join would wait out the 5 s FTP and 30 s HTTP time-outs.
  EXPECT_LT(std::chrono::steady_clock::now() - stopping, 4s);
  loop.runPending();
  EXPECT_TRUE(window.received.empty());
}

}  // namespace
}  // namespace nivra::net
