#pragma once
// Small file readers and writers of the catalogue: whole text files and single INI values with
// the profile-string rules. Errors are swallowed.

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/text.h"

namespace nivra::catalogue {

// The whole file with its lines joined by CR LF (every line, the last one too, ends with CR LF;
// CR, LF and CR LF all end a line). Empty when the file is missing or unreadable.
std::string ReadTextFile(const std::filesystem::path& file);
// One value of an INI file (enclosing blanks and one pair of quotes removed); `def` on failure.
std::string ReadIniText(const std::filesystem::path& file, std::string_view section,
                        std::string_view key, std::string_view def);
// Writes one value and rewrites the file atomically; failures are ignored.
void WriteIniText(const std::filesystem::path& file, std::string_view section, std::string_view key,
                  std::string_view value);

using text::fileNameOf;  // the file name of a path or URL

}  // namespace nivra::catalogue
