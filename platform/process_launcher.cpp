#include "platform/process_launcher.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string_view>

namespace nivra::platform {
namespace fs = std::filesystem;

fs::path findProgram(const std::string& program) {
  if (program.empty()) return {};
  if (program.find('/') != std::string::npos)
    return ::access(program.c_str(), X_OK) == 0 ? fs::path(program) : fs::path();
  const char* pathEnv = std::getenv("PATH");
  std::string_view dirs = pathEnv ? pathEnv : "/usr/local/bin:/usr/bin:/bin";
  while (!dirs.empty()) {
    auto colon = dirs.find(':');
    std::string_view dir = dirs.substr(0, colon);
    dirs = colon == std::string_view::npos ? std::string_view() : dirs.substr(colon + 1);
    fs::path candidate = fs::path(dir.empty() ? "." : std::string(dir)) / program;
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return {};
}

bool launchProcess(const std::string& program, const std::vector<std::string>& args) {
  const fs::path image = findProgram(program);
  if (image.empty()) return false;
  // Everything the children need is prepared before fork: after it only async-signal-safe
  // calls are made.
  std::string imagePath = image.string();
  std::vector<std::string> argvStore;
  argvStore.push_back(program);
  argvStore.insert(argvStore.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : argvStore) argv.push_back(a.data());
  argv.push_back(nullptr);

  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) return false;
  pid_t child = ::fork();
  if (child < 0) {
    ::close(report[0]);
    ::close(report[1]);
    return false;
  }
  if (child == 0) {
    ::setsid();
    pid_t grandchild = ::fork();
    if (grandchild == 0) {
      ::execv(imagePath.c_str(), argv.data());
      int err = errno;
      [[maybe_unused]] auto n = ::write(report[1], &err, sizeof err);
      ::_exit(127);
    }
    ::_exit(grandchild < 0 ? 1 : 0);
  }
  ::close(report[1]);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  int err = 0;
  ssize_t n;
  do {
    n = ::read(report[0], &err, sizeof err);
  } while (n < 0 && errno == EINTR);
  ::close(report[0]);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 && n == 0;
}

bool openWithDefaultHandler(const std::string& target) { return launchProcess("xdg-open", {target}); }

bool launchElevated(const std::string& program, const std::vector<std::string>& args) {
  std::vector<std::string> all{program};
  all.insert(all.end(), args.begin(), args.end());
  return launchProcess("pkexec", all);
}

}  // namespace nivra::platform
