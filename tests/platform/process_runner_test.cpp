// ProcessRunner: output capture, input, limits, line reading and the end of a running program.

#include "platform/process_runner.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <atomic>
#include <cerrno>

namespace nivra::platform {
namespace {

using namespace std::chrono_literals;
using Errors = ProcessOptions::Errors;

TEST(ProcessRunner, CapturesOutputsExitCodeAndInput) {
  struct Case {
    const char* script;
    std::string input;
    Errors errors;
    CapturedRun expected;
  } cases[] = {
      {"echo out; echo err >&2; exit 3", "", Errors::Capture, {3, "out\n", "err\n"}},
      {"echo out; echo err >&2", "", Errors::Discard, {0, "out\n", ""}},
      {"cat; cat >&2", "line 1\nline 2", Errors::Capture, {0, "line 1\nline 2", ""}},
      {"kill -9 $$", "", Errors::Capture, {-1, "", ""}},
      // A large input that the program never reads does not block the caller.
      {"true", std::string(4u << 20, 'x'), Errors::Capture, {0, "", ""}},
  };
  for (const Case& c : cases) {
    const auto run = runAndCapture("sh", {"-c", c.script}, {c.input, c.errors});
    ASSERT_TRUE(run) << c.script;
    EXPECT_EQ(run->exitCode, c.expected.exitCode) << c.script;
    EXPECT_EQ(run->out, c.expected.out) << c.script;
    EXPECT_EQ(run->err, c.expected.err) << c.script;
  }
}

TEST(ProcessRunner, LimitsKillTheProgramAndGiveNothing) {
  std::atomic<bool> cancelled{true};
  EXPECT_FALSE(runAndCapture("sh", {"-c", "sleep 30"}, {}, {.timeout = 100ms}));
  EXPECT_FALSE(runAndCapture("sh", {"-c", "exec >&-; sleep 30"}, {}, {.timeout = 100ms}));
  EXPECT_FALSE(runAndCapture("sh", {"-c", "sleep 30"}, {}, {.cancelled = &cancelled}));
  EXPECT_FALSE(
      runAndCapture("sh", {"-c", "while :; do echo yyyyyyyy; done"}, {}, {.maxBytes = 4096}));
  EXPECT_FALSE(runAndCapture("/no/such/program", {}));
  EXPECT_TRUE(runAndCapture("sh", {"-c", "printf 12345678"}, {}, {.maxBytes = 8}));
}

TEST(ProcessRunner, ReadsLinesAndEndsTheProgramWithItsOwner) {
  std::optional<ProcessRunner> server(
      std::in_place, "sh", std::vector<std::string>{"-c", "echo READY $$; echo; sleep 30"},
      ProcessOptions{{}, Errors::Inherit});
  ASSERT_TRUE(server->running());
  const auto ready = server->readLine(10s);
  ASSERT_TRUE(ready && ready->starts_with("READY "));
  const pid_t pid = std::stoi(ready->substr(6));
  EXPECT_EQ(server->readLine(10s), "");
  EXPECT_EQ(server->readLine(50ms), std::nullopt);  // nothing more yet
  server.reset();
  EXPECT_EQ(::kill(pid, 0), -1);  // ended and reaped
  EXPECT_EQ(errno, ESRCH);

  ProcessRunner missing("/no/such/program", {});
  EXPECT_FALSE(missing.running());
  EXPECT_EQ(missing.readLine(50ms), std::nullopt);
}

}  // namespace
}  // namespace nivra::platform
