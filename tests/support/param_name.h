#pragma once
// Readable names for the cases of parameterised tests. GoogleTest takes letters, digits and '_'
// only in a case name, and CTest lists every case by it.

#include <cctype>
#include <string>
#include <string_view>

namespace nivra::test {

// `text` with each run of other bytes (punctuation, spaces, UTF-8 of other scripts) turned into
// one '_', without '_' at either end; "empty" when nothing is left.
inline std::string CaseName(std::string_view text) {
  std::string name;
  for (const char ch : text) {
    if (std::isalnum(static_cast<unsigned char>(ch)) && static_cast<unsigned char>(ch) < 0x80)
      name += ch;
    else if (!name.empty() && name.back() != '_')
      name += '_';
  }
  while (!name.empty() && name.back() == '_') name.pop_back();
  return name.empty() ? "empty" : name;
}

}  // namespace nivra::test
