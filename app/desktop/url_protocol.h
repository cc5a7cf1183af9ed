#pragma once
// The "Nivra://" URL protocol: the classes-root keys that hand such links to this program, and on
// this platform also the desktop's side: a handler entry for x-scheme-handler/nivra made the
// default in mimeapps.list, and the application entry that offers the program for media files.
// Everything is written only when the protocol is not yet registered for this program's path,
// so a moved program registers again and a user's later choice of handler is otherwise kept.
// Errors are swallowed.

#include <filesystem>
#include <string>

namespace nivra::app {

inline constexpr const char* kUrlProtocolKey = "Nivra";
inline constexpr const char* kUrlHandlerEntry = "nivra-url.desktop";
inline constexpr const char* kApplicationEntry = "nivra.desktop";
inline constexpr const char* kUrlSchemeMime = "x-scheme-handler/nivra";
// xdg-open without a desktop looks the scheme up as typed ("Nivra://"), so that spelling is
// registered too.
inline constexpr const char* kUrlSchemeMimeAsTyped = "x-scheme-handler/Nivra";

// The command the protocol runs: the quoted program path, a space and "%1" in quotes.
std::string UrlProtocolCommand(const std::string& programPath);
// Writes the protocol keys and the desktop entries unless the registered icon path already
// equals `programPath` (ignoring case).
void RegisterUrlProtocol(const std::string& programPath);

// $XDG_DATA_HOME/applications (default ~/.local/share/applications).
std::filesystem::path applicationsDir();
// $XDG_CONFIG_HOME/mimeapps.list.
std::filesystem::path mimeAppsList();
// The text of mimeapps.list with `mimeType` made to open with `entry` in its
// "[Default Applications]" section; every other line is kept as it was.
std::string WithDefaultApplication(const std::string& mimeAppsText, const std::string& mimeType,
                                   const std::string& entry);
// The media types the application entry offers the program for.
const char* MediaMimeTypes();

}  // namespace nivra::app
