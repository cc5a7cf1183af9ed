#pragma once
// Captures the debug lines written while the guard lives (NIVRA_DEBUG_LOG pointed at a file).

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/env_guard.h"
#include "tests/support/temp_dir.h"

namespace nivra::test {

// The lines of a text file (without their line ends); empty when it cannot be read.
inline std::vector<std::string> readLines(const std::filesystem::path& file) {
  std::vector<std::string> out;
  const std::string text = readFile(file);
  std::size_t start = 0;
  for (std::size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1)
    out.push_back(text.substr(start, nl - start));
  return out;
}

class DebugLog {
 public:
  DebugLog() { env_.set("NIVRA_DEBUG_LOG", (dir_ / "debug.log").string()); }
  // Every line written so far.
  std::vector<std::string> lines() const { return readLines(dir_ / "debug.log"); }
  bool contains(const std::string& line) const {
    for (const auto& l : lines())
      if (l == line) return true;
    return false;
  }

 private:
  TempDir dir_;
  EnvGuard env_;
};

}  // namespace nivra::test
