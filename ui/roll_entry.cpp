#include "ui/roll_entry.h"

namespace nivra::ui {
namespace {

// Hexadecimal digits that make a number of at most 32 bits; none for anything else.
std::optional<std::uint32_t> ParseHexColour(std::string_view digits) {
  if (digits.empty() || digits.size() > 8) return std::nullopt;
  std::uint32_t value = 0;
  for (char ch : digits) {
    int d;
    if (ch >= '0' && ch <= '9') {
      d = ch - '0';
    } else if (ch >= 'a' && ch <= 'f') {
      d = ch - 'a' + 10;
    } else if (ch >= 'A' && ch <= 'F') {
      d = ch - 'A' + 10;
    } else {
      return std::nullopt;
    }
    value = value * 16 + static_cast<std::uint32_t>(d);
  }
  return value & 0xFFFFFF;
}

}  // namespace

RollEntry ParseRollEntry(std::string_view line) {
  RollEntry entry;
  const std::size_t eq = line.find('=');
  if (eq != std::string_view::npos) entry.value = std::string(line.substr(eq + 1));
  std::size_t textStart = 0;
  if (!line.empty() && line.front() == '{') {
    const std::size_t close = line.find('}');
    if (close != std::string_view::npos) {
      entry.color = ParseHexColour(line.substr(1, close - 1));
      textStart = close + 1;
    }
  }
  // The text runs up to the first "="; without one (or with "=" inside the prefix) it is empty.
  if (eq != std::string_view::npos && eq >= textStart)
    entry.text = std::string(line.substr(textStart, eq - textStart));
  return entry;
}

}  // namespace nivra::ui
