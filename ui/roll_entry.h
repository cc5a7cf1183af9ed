#pragma once
// One line of a scrolling-text list: "name=value", or "{BBGGRR}name=value" with a colour
// prefix. The shown text is the name; a line without "=" shows nothing. Qt-free: the lines
// come from downloaded lists, so this parser sees outside input.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace nivra::ui {

struct RollEntry {
  std::string text;                    // the part shown
  std::optional<std::uint32_t> color;  // 0x00BBGGRR from the prefix; none: the font's colour
  std::string value;                   // the part after the first "="
};

RollEntry ParseRollEntry(std::string_view line);

}  // namespace nivra::ui
