#include "catalogue/text_files.h"

#include "platform/atomic_file.h"
#include "platform/ini_file.h"

namespace nivra::catalogue {

std::string ReadTextFile(const std::filesystem::path& file) {
  auto bytes = platform::readWholeFile(file);
  if (!bytes) return {};
  std::string out;
  out.reserve(bytes->size() + bytes->size() / 16);
  std::size_t start = 0;
  const std::string& s = *bytes;
  while (start < s.size()) {
    std::size_t end = s.find_first_of("\r\n", start);
    if (end == std::string::npos) end = s.size();
    out.append(s, start, end - start).append("\r\n");
    if (end < s.size() && s[end] == '\r' && end + 1 < s.size() && s[end + 1] == '\n') ++end;
    start = end + 1;
  }
  return out;
}

std::string ReadIniText(const std::filesystem::path& file, std::string_view section,
                        std::string_view key, std::string_view def) {
  platform::IniFile ini(file);
  ini.load();
  return ini.readString(section, key, def);
}

void WriteIniText(const std::filesystem::path& file, std::string_view section, std::string_view key,
                  std::string_view value) {
  platform::IniFile ini(file);
  std::error_code ec;
  // A file that exists but cannot be read is left alone rather than replaced by one value.
  if (!ini.load() && std::filesystem::exists(file, ec)) return;
  if (ec) return;
  ini.writeString(section, key, value);
  ini.save();
}


}  // namespace nivra::catalogue
