#pragma once
// INI files with the profile-string rules of the system: section and key names compare without
// regard to case, the first of duplicate sections or keys wins, values are trimmed, enclosing
// quotes are stripped on read (profile variant), missing or unreadable values give the caller's
// default, and the order of sections, keys, comments and unknown lines is kept on rewrite.
// Saving rewrites the whole file atomically.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nivra::platform {

class IniFile {
 public:
  // Profile strips one pair of enclosing quotes ("…" or '…') on read; Memory keeps values as
  // written (the in-memory INI of the history files).
  enum class Quotes { Profile, Memory };

  // An empty file that saves to `path`; call load() to read it.
  explicit IniFile(std::filesystem::path path = {}, Quotes quotes = Quotes::Profile);
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
    std::string value;  // trimmed, as written
  };
  struct Section {
    std::string name;  // empty for lines before the first section header
    bool hasHeader = false;
    std::vector<Line> lines;
  };
  Section* findSection(std::string_view name);
  const Section* findSection(std::string_view name) const;

  std::filesystem::path path_;
  Quotes quotes_;
  std::vector<Section> sections_;
};

}  // namespace nivra::platform
