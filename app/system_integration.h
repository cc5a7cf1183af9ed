#pragma once
// The autorun entry: a value "Nivra" under the current user's Run key whose data is the quoted
// program path followed by " /A", and on this platform also the desktop's autostart entry
// ($XDG_CONFIG_HOME/autostart/nivra.desktop). Errors are swallowed.

#include <string>

namespace nivra::app {

// The key of the autorun value in the current user's hive.
inline constexpr const char* kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// The data the entry holds for `programPath`.
std::string AutorunData(const std::string& programPath);
// Writes the entry (unless the value already equals the data, ignoring case) or removes it.
void SetAutorun(bool flag, const std::string& programPath);
// The autorun value's data; empty when missing or unreadable.
std::string ReadAutorun();

}  // namespace nivra::app
