#pragma once
// INI files with the profile-string rules of the system: section and key names compare without
// regard to case, the first of duplicate sections or keys wins, missing or unreadable values give
// the caller's default, and the order of sections, keys, comments and unknown lines is kept on
// rewrite. Saving rewrites the whole file atomically. Line breaks in a written value become spaces
// so that a value cannot end its line early and forge entries.
//
// Two styles differ in how values and layout are kept:
//  - Profile: values are trimmed, one pair of enclosing quotes ("…" or '…') is stripped on read,
//    blank lines are kept as written.
//  - Verbatim (the in-memory INI of the history files): values are kept exactly as written,
//    blank lines are dropped on read and every section is followed by one empty line on write.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace nivra::platform {

class IniFile {
 public:
  enum class Style { Profile, Verbatim };

  // An empty file that saves to `path`; call load() to read it.
  explicit IniFile(std::filesystem::path path = {}, Style style = Style::Profile);
  // Reads the file; a missing or unreadable file leaves the object empty. Returns whether the
  // file was read.
  bool load();
  // Replaces the content by parsing `text` (never fails; unparsable lines are kept verbatim).
  void setText(std::string_view text);
  std::string text() const;
  // Writes text() atomically to the path. False on failure; the old file is kept then.
  bool save() const;
  const std::filesystem::path& path() const { return path_; }

  std::optional<std::string> value(std::string_view section, std::string_view key) const;
  std::string readString(std::string_view section, std::string_view key,
                         std::string_view def) const;
  // Decimal (or "$"/"0x" hexadecimal) text that fits 32 bits; anything else gives `def`.
  std::int32_t readInteger(std::string_view section, std::string_view key, std::int32_t def) const;
  // readInteger(def ? 1 : 0) != 0.
  bool readBool(std::string_view section, std::string_view key, bool def) const;

  // Replaces the value in place, or adds the key after the last entry of its section (a new
  // section goes at the end).
  void writeString(std::string_view section, std::string_view key, std::string_view value);
  void writeInteger(std::string_view section, std::string_view key, std::int64_t value);
  void writeBool(std::string_view section, std::string_view key, bool value);

  bool sectionExists(std::string_view section) const;
  bool valueExists(std::string_view section, std::string_view key) const;
  std::vector<std::string> sectionNames() const;
  std::vector<std::string> keyNames(std::string_view section) const;
  void eraseSection(std::string_view section);
  void deleteKey(std::string_view section, std::string_view key);

 private:
  struct Line {
    std::string raw;    // the line as written, for lines that are not entries
    std::string key;    // non-empty for entries
    std::string value;  // as stored by the style
  };
  struct Section {
    std::string name;  // empty for lines before the first section header
    bool hasHeader = false;
    std::vector<Line> lines;
  };
  Section* findSection(std::string_view name);
  const Section* findSection(std::string_view name) const;
  Section& addSection(std::string name);
  void rebuildIndex();

  std::filesystem::path path_;
  Style style_;
  std::vector<Section> sections_;
  // Lower-cased section name → index of its first section (history files hold thousands).
  std::unordered_map<std::string, std::size_t> index_;
};

}  // namespace nivra::platform
