#include "tests/net/test_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <thread>

extern char** environ;

namespace nivra::test {

TestProcess::TestProcess(const std::string& program, const std::vector<std::string>& args) {
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) return;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
  std::vector<std::string> all{program};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (::posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) == 0)
    pid_ = pid;
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeFds[1]);
  out_ = pipeFds[0];
}

TestProcess::~TestProcess() {
  if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
    for (int i = 0; i < 100; ++i) {
      if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
        pid_ = -1;
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  if (out_ >= 0) ::close(out_);
}

std::optional<std::string> TestProcess::readLine(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (const auto nl = buffered_.find('\n'); nl != std::string::npos) {
      std::string line = buffered_.substr(0, nl);
      buffered_.erase(0, nl + 1);
      return line;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (out_ < 0 || left.count() <= 0) return std::nullopt;
    pollfd p{out_, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) return std::nullopt;
    char chunk[4096];
    const ssize_t n = ::read(out_, chunk, sizeof chunk);
    if (n <= 0) return std::nullopt;
    buffered_.append(chunk, static_cast<std::size_t>(n));
  }
}

std::optional<std::string> TestProcess::waitFor(const std::string& prefix,
                                                std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (auto line = readLine(std::chrono::duration_cast<std::chrono::milliseconds>(
             deadline - std::chrono::steady_clock::now()))) {
    if (line->rfind(prefix, 0) == 0)
      return line->size() > prefix.size() ? line->substr(prefix.size() + 1) : "";
  }
  return std::nullopt;
}

std::string netScript(const std::string& name) {
  return std::string(NIVRA_NET_TEST_SCRIPTS) + "/" + name;
}

ScriptServer::ScriptServer(const std::string& script, std::vector<std::string> args)
    : process("/usr/bin/python3", [&] {
        args.insert(args.begin(), netScript(script));
        return args;
      }()) {
  if (auto rest = process.waitFor("READY"))
    port = static_cast<std::uint16_t>(std::atoi(rest->c_str()));
}

}  // namespace nivra::test
