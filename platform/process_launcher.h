#pragma once
// Starts programs from an argument vector, never through a shell. Started programs are detached
// (double fork), so no child is left for the caller to reap.

#include <filesystem>
#include <string>
#include <vector>

namespace nivra::platform {

// Starts `program` (a path, or a name looked up on PATH) with `args`. True when the program
// image was executed.
bool launchProcess(const std::string& program, const std::vector<std::string>& args);
// Opens a document or address with the desktop's default handler ("open" verb): xdg-open.
bool openWithDefaultHandler(const std::string& target);
// Starts a program with elevated rights ("Runas" verb): pkexec.
bool launchElevated(const std::string& program, const std::vector<std::string>& args);
// The full path of `program` on PATH (or as given, when it holds a "/"); empty when not found.
std::filesystem::path findProgram(const std::string& program);

}  // namespace nivra::platform
