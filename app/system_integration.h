#pragma once
// The autorun entry: a value "Nivra" under the current user's Run key whose data is the quoted
// program path followed by " /A", and on this platform also the desktop's autostart entry
// ($XDG_CONFIG_HOME/autostart/nivra.desktop). Errors are swallowed.

#include <filesystem>
#include <string>

namespace nivra::app {

// The key of the autorun value in the current user's hive.
inline constexpr const char* kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// Where the permission of the embeddable control to run on every site is kept (current user).
inline constexpr const char* kControlAllowedKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Ext\\Stats\\"
    "{7E27DAB6-C296-4561-A275-FFB7F34F35D7}\\iexplore\\AllowedDomains\\*";

// Registers the embeddable control library of `programDir` (its DllRegisterServer; a missing
// library or export is ignored) and allows it on every site. Errors are swallowed.
void RegisterControlLibrary(const std::filesystem::path& programDir);

// The data the entry holds for `programPath`.
std::string AutorunData(const std::string& programPath);
// Writes the entry (unless the value already equals the data, ignoring case) or removes it.
void SetAutorun(bool flag, const std::string& programPath);
// The autorun value's data; empty when missing or unreadable.
std::string ReadAutorun();

}  // namespace nivra::app
