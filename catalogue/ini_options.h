#pragma once
// TIniOptions: a fixed-capacity list of history entries kept in step with one history file
// ("His1.dat", "His2.dat"). Slot i is the section prefix + i with the keys "sName", "sUrl",
// "sAVLevel" and "dDate"; slot 0 is the newest entry.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ini_file.h"

namespace nivra::catalogue {

class TIniOptions {
 public:
  explicit TIniOptions(std::int32_t capacity = 0, std::string sectionPrefix = "History");

  std::int32_t capacity() const { return capacity_; }
  // Ignored for count <= 0 or the current capacity; otherwise slots are kept or added empty.
  void SetCapacity(std::int32_t count);
  // Reads every slot from the file (a missing file reads as empty). When the file cannot be
  // read the slots keep their values and Save does nothing until a later Load succeeds.
  void Load(const std::filesystem::path& file);
  // Writes every slot (used or not) into the file it was loaded from. Errors are ignored.
  void Save();
  // Empties every slot (empty texts, date 0).
  void Clear();

  // Slot accessors; a slot outside 0 … capacity − 1 throws nivra::Error("下标越界" + slot).
  const std::string& Name(std::int32_t slot) const;
  const std::string& Url(std::int32_t slot) const;
  const std::string& Rating(std::int32_t slot) const;
  double Date(std::int32_t slot) const;
  // Texts are replaced only when the trimmed new text differs from the stored one.
  void SetName(std::int32_t slot, std::string_view value);
  void SetUrl(std::int32_t slot, std::string_view value);
  void SetRating(std::int32_t slot, std::string_view value);
  void SetDate(std::int32_t slot, double value);

 private:
  std::size_t checked(std::int32_t slot) const;
  std::string section(std::int32_t slot) const;

  std::vector<std::string> names_, urls_, ratings_;
  std::vector<double> dates_;
  std::unique_ptr<platform::IniFile> file_;
  std::string sectionPrefix_;
  std::int32_t capacity_ = 0;
};

}  // namespace nivra::catalogue
