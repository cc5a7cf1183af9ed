// Fuzzes the parser of scrolling-text lines (downloaded lists): any bytes parse, and the parts
// it gives are pieces of the line in order: the text lies before the value, the value is the
// line's tail after its first "=", and a colour fits 24 bits.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "ui/roll_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  const nivra::ui::RollEntry e = nivra::ui::ParseRollEntry(line);
  const std::size_t eq = line.find('=');
  if (eq == std::string_view::npos) {
    if (!e.text.empty() || !e.value.empty()) std::abort();
  } else {
    if (e.value != line.substr(eq + 1)) std::abort();
    if (!e.text.empty() && line.substr(0, eq).rfind(e.text) + e.text.size() != eq) std::abort();
  }
  if (e.color && *e.color > 0xFFFFFF) std::abort();
  return 0;
}
