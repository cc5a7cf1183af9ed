#include "platform/version_info.h"

#include <cstdio>

#include "platform/atomic_file.h"
#include "platform/text.h"

namespace nivra::platform {
namespace {

// Built at run time so that the reader's own code holds no copy of the marker.
std::string blockStart() { return std::string(1, '\x01') + "NIVRA" + "_VERSIONINFO" + '\x02'; }
constexpr char kBlockEnd = '\x03';

std::optional<std::string> entry(std::string_view block, std::string_view name) {
  for (std::string_view line : text::splitLines(block)) {
    std::size_t eq = line.find('=');
    if (eq != std::string_view::npos && text::equalsNoCase(line.substr(0, eq), name))
      return std::string(line.substr(eq + 1));
  }
  return std::nullopt;
}

}  // namespace

std::string makeVersionBlock(unsigned language, unsigned codePage, std::string_view fileVersion) {
  char words[32];
  std::snprintf(words, sizeof words, "%04X %04X", language & 0xFFFF, codePage & 0xFFFF);
  char digits[16];
  std::snprintf(digits, sizeof digits, "%04X%04X", language & 0xFFFF, codePage & 0xFFFF);
  return blockStart() + "VarFileInfo\\Translation=" + words + "\nStringFileInfo\\" + digits +
         "\\FileVersion=" + std::string(fileVersion) + "\nStringFileInfo\\" + digits +
         "\\ProductName=Nivra\n" + kBlockEnd;
}

std::optional<std::string> findVersionString(std::string_view bytes, std::string_view name) {
  const std::string start = blockStart();
  for (std::size_t at = bytes.find(start); at != std::string_view::npos;
       at = bytes.find(start, at + 1)) {
    std::size_t body = at + start.size();
    std::size_t end = bytes.find(kBlockEnd, body);
    if (end == std::string_view::npos || end - body > 4096) continue;
    std::string_view block = bytes.substr(body, end - body);
    auto translation = entry(block, "VarFileInfo\\Translation");
    if (!translation) continue;
    // The language word times 65536 plus the code-page word, as 8 upper-case hex digits.
    auto space = translation->find(' ');
    if (space == std::string::npos) continue;
    auto lang = text::parseInteger("0x" + translation->substr(0, space));
    auto page = text::parseInteger("0x" + translation->substr(space + 1));
    if (!lang || !page) continue;
    char digits[16];
    std::snprintf(digits, sizeof digits, "%08X",
                  static_cast<unsigned>((*lang & 0xFFFF) * 65536 + (*page & 0xFFFF)));
    return entry(block, "StringFileInfo\\" + std::string(digits) + "\\" + std::string(name));
  }
  return std::nullopt;
}

std::optional<std::string> readVersionString(const std::filesystem::path& file, std::string_view name) {
  auto bytes = readWholeFile(file, 512u << 20);
  if (!bytes) return std::nullopt;
  return findVersionString(*bytes, name);
}

}  // namespace nivra::platform
