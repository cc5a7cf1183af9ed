#pragma once
// Desktop entry files (the freedesktop.org format) of the program: the text of an application
// entry and the quoting its Exec line needs.

#include <string>

namespace nivra::app {

struct DesktopEntry {
  std::string name;
  std::string exec;       // the whole Exec line value, already quoted
  std::string mimeTypes;  // ";"-terminated list, empty for none
  std::string icon;       // a theme icon name or an absolute path, empty for none
  std::string categories;
  bool noDisplay = false;  // hidden from menus (a handler only)

  std::string text() const;
};

// A path as one word of an Exec line: in double quotes (with \ " ` $ escaped) when it holds a
// character the format reserves, as it is otherwise; "%" doubled either way.
std::string DesktopQuoted(const std::string& path);
// The quoted program path followed by a space and `arguments`.
std::string DesktopExec(const std::string& programPath, const std::string& arguments);
// "nivra.png" beside the program when it exists, else the desktop's generic video icon.
std::string DesktopIcon(const std::string& programPath);

}  // namespace nivra::app
