#pragma once
// The control's Version member: from the FileVersion "a.b.c.d" of the file's version block,
// major * 65536 + minor in the low 32 bits; 0xFFFFFFFF when the file has no version.

#include <cstdint>
#include <filesystem>
#include <string_view>

namespace nivra::control {

std::uint64_t versionNumber(std::string_view fileVersion);
std::uint64_t controlFileVersion(const std::filesystem::path& file);

}  // namespace nivra::control
