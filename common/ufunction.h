#pragma once
// Common functions many windows use: data folders, a file's version text and date, name and host
// extraction, the activity stamp, the elevation test, the border hit test and command-line
// helpers. None keeps state beyond files; failures give empty texts, 0 or false.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace nivra::common {

// Special-folder ids the system asks for (the shell's numbering).
enum SpecialFolder : int {
  CSIDL_DESKTOP = 0x0000,
  CSIDL_PERSONAL = 0x0005,
  CSIDL_APPDATA = 0x001A,
  CSIDL_LOCAL_APPDATA = 0x001C,
  CSIDL_COMMON_APPDATA = 0x0023,
  CSIDL_PROFILE = 0x0028,
};

// The folder for `id` with a trailing "/"; empty for ids this platform has no folder for.
std::string GetSpecialFolder(int id);
// The per-user data folder with a trailing "/", created with its parents; empty when it cannot be.
std::string GetUserDataFolder();
// The all-users data folder, created the same way.
std::string GetCommonDataFolder();
// The FileVersion text compiled into a binary of the system; empty when it has none.
std::string GetFileVersionText(const std::string& fileName);
// The file's last-write time as a date-time (days since 1899-12-30, local); 0 when unreadable.
double GetFileDate(const std::string& fileName);
// The part after the last "/", "\" or ":".
std::string ExtractNameFromPath(std::string_view text);
// The lower-cased URL without "http://" (when it holds one) and without everything from the
// first "/" on.
std::string ExtractUrlHost(std::string_view url);
// Writes now as key "active" of section "active" in "active.ini" of the all-users folder.
void StampActive();
// True when the process runs with administrator rights, and when that cannot be asked.
bool IsProcessElevated();

// Hit-test codes of borderless windows.
enum HitTest : int {
  HTCLIENT = 1,
  HTLEFT = 10,
  HTRIGHT = 11,
  HTTOP = 12,
  HTTOPLEFT = 13,
  HTTOPRIGHT = 14,
  HTBOTTOM = 15,
  HTBOTTOMLEFT = 16,
  HTBOTTOMRIGHT = 17,
};
// Classifies a client point of a control of the given size with a 5-pixel border.
int BorderHitTest(int x, int y, int width, int height);

// True when any of `args` (the arguments after the program name) equals `text`, ignoring case.
bool HasCommandSwitch(const std::vector<std::string>& args, std::string_view text);
// Reads the token that starts at `pos` in `text` into `token` and returns the position after
// it: leading characters with codes 1..32 and pairs of double quotes are skipped, the token runs
// to the next character with a code of 32 or less outside quotes, quotes are dropped. UTF-8
// characters are stepped over whole.
std::size_t NextCommandToken(std::string_view text, std::size_t pos, std::string& token);

}  // namespace nivra::common
