#pragma once
// The registry on this platform: file-backed hives in two layers. What installation writes lies
// in the module folder's registry/ (read only); what the running program writes lies in
// $XDG_CONFIG_HOME/Nivra/registry/ (HKCU.reg, HKCR.reg, HKLM.reg). A read sees the user layer
// first. Every write re-reads the user file under a file lock and rewrites it atomically, so
// several processes can write without losing each other's values. Failures return false/empty.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/reg_file.h"

namespace nivra::platform {

enum class Hive { ClassesRoot, CurrentUser, LocalMachine };

class Registry {
 public:
  Registry(std::filesystem::path userDir, std::filesystem::path installDir);
  // The process's registry: the folders named above, as the environment names them now.
  static Registry system();

  bool keyExists(Hive hive, std::string_view key) const;
  bool createKey(Hive hive, std::string_view key);
  std::optional<RegValue> value(Hive hive, std::string_view key, std::string_view name) const;
  // A string value; a dword reads as nullopt.
  std::optional<std::string> readString(Hive hive, std::string_view key, std::string_view name) const;
  std::optional<std::uint32_t> readDword(Hive hive, std::string_view key, std::string_view name) const;
  bool writeString(Hive hive, std::string_view key, std::string_view name, std::string_view value);
  bool writeDword(Hive hive, std::string_view key, std::string_view name, std::uint32_t value);
  // Removes a value of the user layer; false when it was not there.
  bool deleteValue(Hive hive, std::string_view key, std::string_view name);
  bool deleteKey(Hive hive, std::string_view key);

  static const char* rootName(Hive hive);
  static const char* fileName(Hive hive);

 private:
  RegHive load(const std::filesystem::path& dir, Hive hive) const;
  template <class Change>
  bool modify(Hive hive, Change&& change);

  std::filesystem::path userDir_;
  std::filesystem::path installDir_;
};

}  // namespace nivra::platform
