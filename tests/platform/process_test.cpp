#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "platform/atomic_file.h"
#include "platform/date_time.h"
#include "platform/instance_lock.h"
#include "platform/process_launcher.h"
#include "tests/support/env_guard.h"
#include "tests/support/temp_dir.h"

namespace nivra::platform {
namespace {
using namespace std::chrono_literals;

TEST(InstanceLock, HeldByAnotherProcessUntilItDies) {
  test::TempDir dir;
  test::EnvGuard env;
  env.set("XDG_RUNTIME_DIR", dir.path().string());
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  pid_t child = ::fork();
  if (child == 0) {
    InstanceLock lock("Nivra_Mutex_Test");
    char c = lock.alreadyExists() ? 'x' : 'k';
    [[maybe_unused]] auto n = ::write(ready[1], &c, 1);
    ::pause();
    ::_exit(0);
  }
  char c = 0;
  ASSERT_EQ(::read(ready[0], &c, 1), 1);
  ASSERT_EQ(c, 'k');
  EXPECT_TRUE(InstanceLock("Nivra_Mutex_Test").alreadyExists());
  EXPECT_FALSE(InstanceLock("Nivra_Mutex_Other").alreadyExists());
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  EXPECT_FALSE(InstanceLock("Nivra_Mutex_Test").alreadyExists());  // released by the kernel
}

TEST(ProcessLauncher, ArgumentsArriveUnchangedWithoutAShell) {
  test::TempDir dir;
  const auto out = dir / "argv.txt";
  const std::vector<std::string> args{"-c",
                                      "import sys; open(sys.argv[1], 'w').write('\\n'.join(sys.argv[2:]))",
                                      out.string(), "a b", "$HOME", "\"quoted\"", "; rm -rf /", ""};
  ASSERT_TRUE(launchProcess("/usr/bin/python3", args));
  for (int i = 0; i < 500 && !std::filesystem::exists(out); ++i) std::this_thread::sleep_for(10ms);
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(test::readFile(out), "a b\n$HOME\n\"quoted\"\n; rm -rf /\n");
  EXPECT_FALSE(launchProcess("/no/such/program", {}));
  EXPECT_FALSE(launchProcess("nivra-no-such-program-on-path", {}));
  EXPECT_FALSE(findProgram("sh").empty());
}

TEST(AtomicFile, AKilledWriterNeverLeavesAHalfWrittenFile) {
  test::TempDir dir;
  const auto path = dir / "Setup.ini";
  const std::string a(200000, 'a'), b(300000, 'b');
  ASSERT_TRUE(writeFileAtomically(path, a));
  for (int round = 0; round < 20; ++round) {
    pid_t child = ::fork();
    if (child == 0) {
      for (int i = 0;; ++i) writeFileAtomically(path, i % 2 ? a : b);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(3 + round % 7));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    const std::string now = test::readFile(path);
    ASSERT_TRUE(now == a || now == b) << "round " << round << ": " << now.size() << " bytes";
  }
}

TEST(DateTime, DayNumbersCountFrom18991230InLocalTime) {
  test::EnvGuard env;
  env.set("TZ", "Asia/Shanghai");
  ::tzset();
  // 1970-01-01 00:00 UTC is 08:00 local: day 25569 and a third.
  EXPECT_DOUBLE_EQ(toDateTime(WallClock::time_point{}), 25569.0 + 8.0 / 24);
  // 2026-12-10 23:30 local is 15:30 UTC.
  const auto t = WallClock::time_point(std::chrono::seconds(1796916600));
  EXPECT_EQ(dayNumber(t), 46366);
  EXPECT_EQ(std::chrono::duration_cast<std::chrono::seconds>(fromDateTime(toDateTime(t)) - t).count(), 0);
  env.set("TZ", "UTC");
  ::tzset();
  EXPECT_EQ(dayNumber(t), 46366);
}

}  // namespace
}  // namespace nivra::platform
