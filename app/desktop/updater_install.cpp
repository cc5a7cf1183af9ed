#include "app/desktop/updater_install.h"

#include <system_error>

#include "platform/debug_output.h"
#include "platform/folders.h"
#include "platform/module_names.h"

namespace nivra::app {
namespace fs = std::filesystem;

namespace {

bool present(const fs::path& p) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(p, ec));
}

// rename(2) replaces an existing file; a folder in the way is not replaced.
bool moveReplacing(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  fs::rename(from, to, ec);
  return !ec;
}

void clearOldBackup(const fs::path& backup) {
  if (!present(backup)) return;
  std::error_code ec;
  if (fs::remove(backup, ec) && !ec) return;
  moveReplacing(backup, fs::path(backup) += ".bak");
}

void installOne(const fs::path& root, const fs::path& upd, const fs::path& bak,
                const std::string& name) {
  const fs::path target = root / name, fresh = upd / name, backup = bak / name;
  if (!present(fresh)) return;
  if (!platform::ensureDir(target.parent_path()) || !platform::ensureDir(backup.parent_path()))
    return;
  const bool hadOld = present(target);
  if (hadOld && !moveReplacing(target, backup)) return;  // the old copy stays where it is

  std::error_code ec;
  bool installed = fs::copy_file(fresh, target, fs::copy_options::overwrite_existing, ec) && !ec;
  if (installed)
    fs::remove(fresh, ec);
  else
    installed = moveReplacing(fresh, target);
  if (installed && fs::is_regular_file(target, ec)) return;
  // Neither way gave a program file: whatever lies there goes, and the old copy comes back.
  platform::debugOutput("InstallNewUpdater: " + name + " not replaced");
  fs::remove_all(target, ec);
  if (hadOld) moveReplacing(backup, target);
}

}  // namespace

void MoveNewFiles(const fs::path& root, const std::vector<std::string>& names) {
  const fs::path upd = root / kUpdateFolder, bak = root / kBackupFolder;
  std::error_code ec;
  if (!fs::is_directory(root, ec) || !fs::is_directory(upd, ec)) return;
  if (!platform::ensureDir(bak) || !fs::is_directory(bak, ec)) return;
  for (const auto& name : names) clearOldBackup(bak / name);
  for (const auto& name : names) installOne(root, upd, bak, name);
}

void InstallNewUpdater(const fs::path& programDir) {
  if (!present(programDir / kUpdateFolder / platform::names::kUpdater)) return;
  MoveNewFiles(programDir, {platform::names::kUpdater});
}

}  // namespace nivra::app
