#pragma once
// One registry hive held in memory, read from and written to the ".reg" export text format:
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CURRENT_USER\Software\Key]
//   @="default value"
//   "Name"="text with \" and \\"
//   "Count"=dword:0000002a
//
// Key and value names compare without regard to case; order of keys and values is kept.
// Unknown or malformed lines are skipped on read.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace nivra::platform {

using RegValue = std::variant<std::string, std::uint32_t>;

class RegHive {
 public:
  // `rootName` is the hive's name in key headers, e.g. "HKEY_CURRENT_USER".
  explicit RegHive(std::string rootName);

  static RegHive parse(std::string rootName, std::string_view text);
  std::string text() const;

  bool keyExists(std::string_view key) const;
  void createKey(std::string_view key);  // with all missing parents
  // The value `name` of `key`; the empty name is the key's default value ("@").
  std::optional<RegValue> value(std::string_view key, std::string_view name) const;
  void setValue(std::string_view key, std::string_view name, RegValue value);
  bool deleteValue(std::string_view key, std::string_view name);
  // Deletes the key and every key below it.
  bool deleteKey(std::string_view key);

 private:
  struct Key {
    std::string path;  // without the root name, "\"-separated
    std::vector<std::pair<std::string, RegValue>> values;
  };
  Key* find(std::string_view key);
  const Key* find(std::string_view key) const;

  std::string root_;
  std::vector<Key> keys_;
};

// Normalises a key path: "/" becomes "\", repeated and surrounding "\" are dropped.
std::string normaliseKeyPath(std::string_view key);

}  // namespace nivra::platform
