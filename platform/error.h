#pragma once
// The one exception type of the system: errors that reach the user carry their exact UTF-8 text.

#include <stdexcept>
#include <string>

namespace nivra {

class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& text) : std::runtime_error(text) {}
};

}  // namespace nivra
