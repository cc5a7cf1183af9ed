#pragma once
// Sets environment variables for the life of the guard and restores the old values after.

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace nivra::test {

class EnvGuard {
 public:
  EnvGuard() = default;
  ~EnvGuard();
  EnvGuard(const EnvGuard&) = delete;
  EnvGuard& operator=(const EnvGuard&) = delete;

  // Sets `name` (nullopt unsets it).
  void set(const std::string& name, std::optional<std::string> value);

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

}  // namespace nivra::test
