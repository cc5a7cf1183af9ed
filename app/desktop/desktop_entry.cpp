#include "app/desktop/desktop_entry.h"

#include <filesystem>
#include <string_view>
#include <system_error>

namespace nivra::app {

std::string DesktopEntry::text() const {
  std::string out = "[Desktop Entry]\nType=Application\nName=" + name + "\nExec=" + exec + "\n";
  if (!icon.empty()) out += "Icon=" + icon + "\n";
  if (!mimeTypes.empty()) out += "MimeType=" + mimeTypes + "\n";
  if (!categories.empty()) out += "Categories=" + categories + "\n";
  if (noDisplay) out += "NoDisplay=true\n";
  return out + "Terminal=false\n";
}

std::string DesktopQuoted(const std::string& path) {
  // Quoting only where the format needs it keeps plain Exec lines readable by the simple
  // launchers (xdg-open without a desktop takes the first word as it is).
  constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";
  const bool quote = path.empty() || path.find_first_of(kReserved) != std::string::npos;
  std::string out = quote ? "\"" : "";
  for (char c : path) {
    if (quote && (c == '"' || c == '`' || c == '$' || c == '\\')) out += '\\';
    out += c;
    if (c == '%') out += '%';  // "%%" is a literal percent sign, not a field code
  }
  return quote ? out + "\"" : out;
}

std::string DesktopExec(const std::string& programPath, const std::string& arguments) {
  return DesktopQuoted(programPath) + " " + arguments;
}

std::string DesktopIcon(const std::string& programPath) {
  const auto icon = std::filesystem::path(programPath).parent_path() / "nivra.png";
  std::error_code ec;
  return std::filesystem::is_regular_file(icon, ec) ? icon.string() : "video-x-generic";
}

}  // namespace nivra::app
