#pragma once
// A helper program for a test (a scripted server, a bus daemon): started with an argument
// vector, its standard output read line by line, ended (SIGTERM, then SIGKILL) with the test.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/process_runner.h"

namespace nivra::test {

class TestProcess {
 public:
  TestProcess(const std::string& program, const std::vector<std::string>& args)
      : runner_(program, args, {{}, platform::ProcessOptions::Errors::Inherit}) {}

  // The next line of standard output, without its line end; nullopt at the end of the output
  // or when `timeout` passes first.
  std::optional<std::string> readLine(
      std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    return runner_.readLine(timeout);
  }
  // Waits for a line beginning with `prefix` and returns the rest after it (and one space).
  std::optional<std::string> waitFor(const std::string& prefix,
                                     std::chrono::milliseconds timeout = std::chrono::seconds(10));
  bool running() const { return runner_.running(); }

 private:
  platform::ProcessRunner runner_;
};

// A test script of tests/net/scripts run by Debian's python3 (the one with pyftpdlib).
std::string netScript(const std::string& name);

// Starts a script that prints "READY <port>" and returns the port; 0 when it did not start.
struct ScriptServer {
  ScriptServer(const std::string& script, std::vector<std::string> args);
  TestProcess process;
  std::uint16_t port = 0;
};

}  // namespace nivra::test
