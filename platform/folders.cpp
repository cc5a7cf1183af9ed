#include "platform/folders.h"

#include <dlfcn.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>
#include <system_error>

#include "platform/debug_output.h"
#include "platform/module_names.h"

namespace nivra::platform {
namespace fs = std::filesystem;
namespace {

fs::path envPath(const char* name) {
  const char* v = std::getenv(name);
  return (v && *v) ? fs::path(v) : fs::path();
}

fs::path withSlash(fs::path p) { return p / ""; }

}  // namespace

fs::path homeDir() {
  if (auto h = envPath("HOME"); !h.empty()) return h;
  if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) return pw->pw_dir;
  return "/tmp";
}

fs::path userDataDir() {
  fs::path base = envPath("XDG_DATA_HOME");
  if (base.empty()) base = homeDir() / ".local" / "share";
  return withSlash(base / names::kAppName);
}

fs::path commonDataDir() {
  if (auto p = envPath("NIVRA_COMMON_DATA_DIR"); !p.empty()) return withSlash(p);
  return withSlash(fs::path("/var/lib") / names::kAppName);
}

fs::path configHome() {
  if (auto p = envPath("XDG_CONFIG_HOME"); !p.empty()) return p;
  return homeDir() / ".config";
}

fs::path selfExecutable() {
  std::error_code ec;
  fs::path p = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::path() : p;
}

fs::path moduleDir() {
  Dl_info info{};
  if (::dladdr(reinterpret_cast<void*>(&moduleDir), &info) && info.dli_fname) {
    std::string name = info.dli_fname;
    if (name.find(".so") != std::string::npos) {
      std::error_code ec;
      fs::path canonical = fs::canonical(name, ec);
      if (!ec) return withSlash(canonical.parent_path());
    }
  }
  return withSlash(selfExecutable().parent_path());
}

namespace {

// True when `dir` is a folder (not a link) of this user that no one else may enter.
bool isPrivateFolder(const fs::path& dir) {
  struct stat st {};
  return ::lstat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
         (st.st_mode & 07777) == 0700;
}

// Creates `dir` as a private folder, or accepts it when it already is one.
bool makeOrAcceptPrivateFolder(const fs::path& dir) {
  if (::mkdir(dir.c_str(), 0700) == 0)
    return ::chmod(dir.c_str(), 0700) == 0 && isPrivateFolder(dir);
  return errno == EEXIST && isPrivateFolder(dir);
}

fs::path tempBase() {
  fs::path base = envPath("TMPDIR");
  return base.empty() ? fs::path("/tmp") : base;
}

// A folder of the usual name that this user does not own outright (someone else made it, or
// it is a link, or others may write into it) is never used: the process takes a fresh private
// folder instead, remembered for the rest of its life. Single-instance detection then no longer
// reaches other processes, which is the lesser harm.
fs::path refusedFallback(const fs::path& refused) {
  static std::mutex mutex;
  static std::map<fs::path, fs::path> fresh;
  std::lock_guard lock(mutex);
  if (auto it = fresh.find(refused); it != fresh.end() && isPrivateFolder(it->second))
    return it->second;
  debugOutput("runtime folder refused (not a private folder of this user): " + refused.string());
  std::string pattern = (tempBase() / ("nivra-" + std::to_string(::getuid()) + "-XXXXXX")).string();
  // When nothing safe can be made, a path below a file: every lock and socket there fails.
  if (!::mkdtemp(pattern.data())) return "/dev/null/nivra";
  fresh[refused] = pattern;
  return pattern;
}

}  // namespace

fs::path runtimeDir() {
  fs::path base = envPath("XDG_RUNTIME_DIR");
  fs::path dir =
      base.empty() ? tempBase() / ("nivra-" + std::to_string(::getuid())) : base / "nivra";
  if (makeOrAcceptPrivateFolder(dir)) return withSlash(dir);
  return withSlash(refusedFallback(dir));
}

bool ensureDir(const fs::path& dir) {
  std::error_code ec;
  fs::create_directories(dir, ec);
  return fs::is_directory(dir, ec);
}

}  // namespace nivra::platform
