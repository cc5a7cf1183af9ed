#pragma once
// Whole-file rewrites that a crash can never leave half-written: the data goes to a temporary
// file in the same folder, is flushed to disk, and is renamed over the old file.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace nivra::platform {

// Returns false (and leaves the old file untouched) on any failure.
bool writeFileAtomically(const std::filesystem::path& path, std::string_view bytes);
// The whole file, or nullopt when it cannot be read. Files above `maxBytes` count as unreadable.
std::optional<std::string> readWholeFile(const std::filesystem::path& path,
                                         std::size_t maxBytes = 64u << 20);

}  // namespace nivra::platform
