#pragma once
// Runs a program from an argument vector (never through a shell) with its output captured
// through pipes: the resolver's yt-dlp, the tools and scripted servers that tests drive.

#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "platform/unique_fd.h"

namespace nivra::platform {

struct ProcessOptions {
  enum class Errors { Capture, Discard, Inherit };
  std::string input;                // the standard input; empty: end of file at once
  Errors errors = Errors::Capture;  // what becomes of the standard error
};

struct CapturedRun {
  int exitCode = -1;  // -1 when the program did not exit normally
  std::string out;
  std::string err;  // with Errors::Capture only
};

struct RunLimits {
  std::chrono::milliseconds timeout = std::chrono::milliseconds::max();
  const std::atomic<bool>* cancelled = nullptr;                    // looked at every 100 ms
  std::size_t maxBytes = std::numeric_limits<std::size_t>::max();  // of each output
};

// A started program. Destroying it ends a program still running: SIGTERM, then SIGKILL after
// two seconds. Not thread-safe; one reader.
class ProcessRunner final {
 public:
  // `program` is a path, or a name looked up on PATH.
  ProcessRunner(const std::string& program, const std::vector<std::string>& args,
                ProcessOptions options = {});
  ~ProcessRunner();
  ProcessRunner(const ProcessRunner&) = delete;
  ProcessRunner& operator=(const ProcessRunner&) = delete;

  // False when the program could not be started (or was reaped already).
  bool running() const { return pid_ > 0; }
  // The next line of standard output without its line end; nullopt at the end of the output
  // or when `timeout` passes first.
  std::optional<std::string> readLine(std::chrono::milliseconds timeout);
  // Reads both outputs to their end and reaps the program. nullopt when it was not started, or
  // was killed because a limit was reached (time, cancel, too much output).
  std::optional<CapturedRun> finish(const RunLimits& limits = {});

 private:
  bool readSome(int timeoutMs);  // false at the end of both outputs
  void end();

  pid_t pid_ = -1;
  UniqueFd out_;
  UniqueFd err_;
  std::string outBuffer_;
  std::string errBuffer_;
};

// ProcessRunner(program, args, options).finish(limits).
std::optional<CapturedRun> runAndCapture(const std::string& program,
                                         const std::vector<std::string>& args,
                                         ProcessOptions options = {}, const RunLimits& limits = {});

}  // namespace nivra::platform
