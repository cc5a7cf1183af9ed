#pragma once
// The version block compiled into every binary of the system (in place of a version resource)
// and its reader. The block holds entries "VarFileInfo\Translation=LLLL CCCC" (language and
// code-page words) and "StringFileInfo\<8 hex digits>\<Name>=<text>".

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace nivra::platform {

// The named entry of the string table that the block's first translation selects, read from
// the file's bytes; nullopt when the file has no block or no such entry.
std::optional<std::string> readVersionString(const std::filesystem::path& file, std::string_view name);
// The same over bytes already in memory.
std::optional<std::string> findVersionString(std::string_view bytes, std::string_view name);
// Builds a block with the given words and FileVersion (for tests and tools that make fixtures).
std::string makeVersionBlock(unsigned language, unsigned codePage, std::string_view fileVersion);

}  // namespace nivra::platform
