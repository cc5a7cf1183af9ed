#include "control/file_version.h"

#include <charconv>

#include "platform/version_info.h"

namespace nivra::control {
namespace {
constexpr std::uint64_t kNoVersion = 0xFFFFFFFFu;

// Reads the next 16-bit number of `text`; false when there is none.
bool readPart(std::string_view& text, std::uint32_t* part) {
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), *part);
  if (ec != std::errc() || end == text.data() || *part > 0xFFFF) return false;
  text.remove_prefix(static_cast<std::size_t>(end - text.data()));
  return true;
}
}  // namespace

std::uint64_t versionNumber(std::string_view text) {
  std::uint32_t major = 0, minor = 0;
  if (!readPart(text, &major) || text.empty() || text.front() != '.') return kNoVersion;
  text.remove_prefix(1);
  if (!readPart(text, &minor)) return kNoVersion;
  if (!text.empty() && text.front() != '.') return kNoVersion;
  return (std::uint64_t{major} << 16) | minor;
}

std::uint64_t controlFileVersion(const std::filesystem::path& file) {
  auto text = platform::readVersionString(file, "FileVersion");
  return text ? versionNumber(*text) : kNoVersion;
}

}  // namespace nivra::control
