#pragma once
// Puts a newer updater in place: the updater leaves it in "UpDate/" of the program's folder;
// the running copy goes to "UpBaks/" and the new one takes its place. A move that fails part-way
// puts the old copy back, so a working updater is never lost. Errors are swallowed.

#include <filesystem>
#include <string>
#include <vector>

namespace nivra::app {

inline constexpr const char* kUpdateFolder = "UpDate";
inline constexpr const char* kBackupFolder = "UpBaks";

// Moves every `names` entry (relative paths) found in root/UpDate/ to root/, the replaced file
// first going to root/UpBaks/. Nothing happens when root or root/UpDate is missing or UpBaks
// cannot be made.
void MoveNewFiles(const std::filesystem::path& root, const std::vector<std::string>& names);
// MoveNewFiles for the updater program when a new one waits in programDir/UpDate/.
void InstallNewUpdater(const std::filesystem::path& programDir);

}  // namespace nivra::app
