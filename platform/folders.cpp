#include "platform/folders.h"

#include <dlfcn.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <system_error>

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

fs::path runtimeDir() {
  fs::path base = envPath("XDG_RUNTIME_DIR");
  fs::path dir = base.empty() ? fs::path("/tmp") / ("nivra-" + std::to_string(::getuid()))
                              : base / "nivra";
  if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return withSlash(dir);
  return withSlash(dir);
}

bool ensureDir(const fs::path& dir) {
  std::error_code ec;
  fs::create_directories(dir, ec);
  return fs::is_directory(dir, ec);
}

}  // namespace nivra::platform
