#pragma once
// The folders of the system on this platform. None of these functions creates anything except
// runtimeDir(), which creates its private folder.

#include <filesystem>

namespace nivra::platform {

// $HOME (or the password database's home when HOME is unset).
std::filesystem::path homeDir();
// $XDG_DATA_HOME/Nivra/ (default ~/.local/share/Nivra/): per-user data.
std::filesystem::path userDataDir();
// $NIVRA_COMMON_DATA_DIR or /var/lib/Nivra/: data shared by all users.
std::filesystem::path commonDataDir();
// $XDG_CONFIG_HOME (default ~/.config).
std::filesystem::path configHome();
// The folder of the running executable, or of the shared library this code is linked into.
std::filesystem::path moduleDir();
// The running executable's full path.
std::filesystem::path selfExecutable();
// $XDG_RUNTIME_DIR/nivra/ (fallback ${TMPDIR:-/tmp}/nivra-<uid>/), created with mode 0700 when
// missing. A folder of that name that is not a 0700 folder of this user (a link, another user's,
// open to others) is refused: the process uses a fresh private folder of its own instead.
std::filesystem::path runtimeDir();
// Creates the folder with all missing parents; true when it exists afterwards.
bool ensureDir(const std::filesystem::path& dir);

}  // namespace nivra::platform
