#include "tests/support/test_process.h"

#include <cstdlib>

namespace nivra::test {

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
