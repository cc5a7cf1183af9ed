#pragma once
// Runs a program from an argument vector (no shell) and collects its standard output, for the
// resolver's use of yt-dlp. The program is killed when `cancelled` turns true or the time-out
// passes; its standard error is discarded.

#include <atomic>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace nivra::extras {

struct CapturedRun {
  int exitCode = -1;
  std::string out;
};

// nullopt when the program could not be started, was killed, or printed more than `maxBytes`.
std::optional<CapturedRun> RunAndCapture(const std::string& program,
                                         const std::vector<std::string>& args,
                                         std::chrono::milliseconds timeout,
                                         const std::atomic<bool>& cancelled,
                                         std::size_t maxBytes = 1u << 20);

}  // namespace nivra::extras
