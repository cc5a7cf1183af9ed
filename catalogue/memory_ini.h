#pragma once
// The in-memory INI file of the history lists. Unlike the profile-string files, values are kept
// exactly as written (no trimming, no quote removal); section and key names still match without
// regard to case. The text is written as: for every section its name in brackets, its lines,
// then one empty line. Lines that are not entries are kept; blank lines are not.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace nivra::catalogue {

class MemoryIniFile {
 public:
  explicit MemoryIniFile(std::filesystem::path path) : path_(std::move(path)) {}

  // Reads the file. A missing file reads as an empty one; false when it exists but cannot be
  // read (the content is then empty).
  bool load();
  void setText(std::string_view text);
  std::string text() const;
  // Rewrites the file atomically; false on failure.
  bool save() const;
  const std::filesystem::path& path() const { return path_; }

  std::optional<std::string> value(std::string_view section, std::string_view key) const;
  // Line breaks in the value would end the line early, so they are written as spaces.
  void writeString(std::string_view section, std::string_view key, std::string_view value);

 private:
  struct Line {
    std::string key;  // empty for lines that are not entries
    std::string value;
    std::string raw;
  };
  struct Section {
    std::string name;
    bool hasHeader = false;
    std::vector<Line> lines;
  };
  Section* find(std::string_view name);
  const Section* find(std::string_view name) const;
  Section& addSection(std::string name, bool hasHeader);

  std::filesystem::path path_;
  std::vector<Section> sections_;
  // Lower-cased section name → index of its first section (history files hold thousands).
  std::unordered_map<std::string, std::size_t> index_;
};

}  // namespace nivra::catalogue
