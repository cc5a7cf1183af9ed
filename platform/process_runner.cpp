#include "platform/process_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

extern char** environ;

namespace nivra::platform {
namespace {

using Clock = std::chrono::steady_clock;

// The input sits in an anonymous file, so that no pipe can block on a program that does not
// read it.
UniqueFd inputFile(const std::string& input) {
  UniqueFd fd(::memfd_create("stdin", MFD_CLOEXEC));
  if (!fd) return fd;
  std::string_view rest = input;
  while (!rest.empty()) {
    const ssize_t n = ::write(fd.get(), rest.data(), rest.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return {};
    rest.remove_prefix(static_cast<std::size_t>(n));
  }
  ::lseek(fd.get(), 0, SEEK_SET);
  return fd;
}

bool makePipe(UniqueFd& readEnd, UniqueFd& writeEnd) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return false;
  readEnd = UniqueFd(fds[0]);
  writeEnd = UniqueFd(fds[1]);
  return true;
}

// The exit code once the program has ended; nullopt while it runs.
std::optional<int> reaped(pid_t pid, bool block) {
  int status = 0;
  pid_t r;
  while ((r = ::waitpid(pid, &status, block ? 0 : WNOHANG)) < 0 && errno == EINTR) {
  }
  if (r == 0) return std::nullopt;
  return r == pid && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

ProcessRunner::ProcessRunner(const std::string& program, const std::vector<std::string>& args,
                             ProcessOptions options) {
  UniqueFd in = inputFile(options.input);
  UniqueFd outWrite, errWrite;
  if (!in || !makePipe(out_, outWrite)) return;
  if (options.errors == ProcessOptions::Errors::Capture && !makePipe(err_, errWrite)) return;

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in.get(), STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, outWrite.get(), STDOUT_FILENO);
  if (errWrite)
    posix_spawn_file_actions_adddup2(&actions, errWrite.get(), STDERR_FILENO);
  else if (options.errors == ProcessOptions::Errors::Discard)
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  std::vector<std::string> all{program};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (::posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) == 0)
    pid_ = pid;
  posix_spawn_file_actions_destroy(&actions);
  if (pid_ <= 0) {
    out_.reset();
    err_.reset();
  }
}

ProcessRunner::~ProcessRunner() { end(); }

void ProcessRunner::end() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  for (int i = 0; i < 100; ++i) {
    if (reaped(pid_, false)) {
      pid_ = -1;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ::kill(pid_, SIGKILL);
  reaped(pid_, true);
  pid_ = -1;
}

bool ProcessRunner::readSome(int timeoutMs) {
  pollfd fds[2];
  nfds_t count = 0;
  for (const UniqueFd* fd : {&out_, &err_})
    if (*fd) fds[count++] = pollfd{fd->get(), POLLIN, 0};
  if (count == 0) return false;
  if (::poll(fds, count, timeoutMs) <= 0) return true;
  for (nfds_t i = 0; i < count; ++i) {
    if (fds[i].revents == 0) continue;
    UniqueFd& fd = fds[i].fd == out_.get() ? out_ : err_;
    std::string& buffer = &fd == &out_ ? outBuffer_ : errBuffer_;
    char chunk[4096];
    const ssize_t n = ::read(fd.get(), chunk, sizeof chunk);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n <= 0)
      fd.reset();
    else
      buffer.append(chunk, static_cast<std::size_t>(n));
  }
  return true;
}

std::optional<std::string> ProcessRunner::readLine(std::chrono::milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    if (const auto nl = outBuffer_.find('\n'); nl != std::string::npos) {
      std::string line = outBuffer_.substr(0, nl);
      outBuffer_.erase(0, nl + 1);
      return line;
    }
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    if (!out_ || left.count() <= 0) return std::nullopt;
    readSome(static_cast<int>(std::min<std::int64_t>(left.count(), 1000)));
  }
}

std::optional<CapturedRun> ProcessRunner::finish(const RunLimits& limits) {
  if (pid_ <= 0) return std::nullopt;
  const auto start = Clock::now();
  auto limitReached = [&] {
    return (limits.cancelled && limits.cancelled->load()) ||
           (limits.timeout != std::chrono::milliseconds::max() &&
            Clock::now() - start >= limits.timeout) ||
           outBuffer_.size() > limits.maxBytes || errBuffer_.size() > limits.maxBytes;
  };
  std::optional<int> exitCode;
  while (!exitCode) {
    if (limitReached()) {
      ::kill(pid_, SIGKILL);
      reaped(pid_, true);
      pid_ = -1;
      return std::nullopt;
    }
    // Output first; once both outputs end, wait for the exit itself.
    if (!readSome(100)) {
      exitCode = reaped(pid_, false);
      if (!exitCode) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  pid_ = -1;
  return CapturedRun{*exitCode, std::move(outBuffer_), std::move(errBuffer_)};
}

std::optional<CapturedRun> runAndCapture(const std::string& program,
                                         const std::vector<std::string>& args,
                                         ProcessOptions options, const RunLimits& limits) {
  return ProcessRunner(program, args, std::move(options)).finish(limits);
}

}  // namespace nivra::platform
