#include "app/system_integration.h"

#include <dlfcn.h>

#include <cstdint>
#include <filesystem>
#include <system_error>

#include "app/desktop/desktop_entry.h"
#include "platform/atomic_file.h"
#include "platform/folders.h"
#include "platform/module_names.h"
#include "platform/registry.h"
#include "platform/text.h"

namespace nivra::app {
namespace fs = std::filesystem;
using platform::Hive;
using platform::Registry;

namespace {

fs::path autostartEntry() { return platform::configHome() / "autostart" / "nivra.desktop"; }

void writeAutostartEntry(const std::string& programPath) {
  const fs::path entry = autostartEntry();
  if (!platform::ensureDir(entry.parent_path())) return;
  const std::string text = std::string("[Desktop Entry]\n") +
                           "Type=Application\n"
                           "Name=Nivra\n"
                           "Exec=" +
                           DesktopExec(programPath, "/A") +
                           "\n"
                           "X-GNOME-Autostart-enabled=true\n";
  platform::writeFileAtomically(entry, text);
}

}  // namespace

std::string AutorunData(const std::string& programPath) { return "\"" + programPath + "\" /A"; }

void SetAutorun(bool flag, const std::string& programPath) {
  Registry reg = Registry::system();
  if (flag) {
    const std::string data = AutorunData(programPath);
    auto current = reg.readString(Hive::CurrentUser, kRunKey, platform::names::kAppName);
    if (!current || !text::equalsNoCase(*current, data)) {
      reg.writeString(Hive::CurrentUser, kRunKey, platform::names::kAppName, data);
      writeAutostartEntry(programPath);
    }
  } else {
    reg.deleteValue(Hive::CurrentUser, kRunKey, platform::names::kAppName);
    std::error_code ec;
    fs::remove(autostartEntry(), ec);
  }
}

std::string ReadAutorun() {
  return Registry::system()
      .readString(Hive::CurrentUser, kRunKey, platform::names::kAppName)
      .value_or("");
}

}  // namespace nivra::app

namespace nivra::app {

void RegisterControlLibrary(const std::filesystem::path& programDir) {
  try {
    const fs::path library = programDir / platform::names::kControlLibrary;
    if (fs::exists(library)) {
      if (void* handle = ::dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL)) {
        using Register = std::int32_t (*)();
        if (auto reg = reinterpret_cast<Register>(::dlsym(handle, "DllRegisterServer"))) reg();
        ::dlclose(handle);
      }
    }
    Registry::system().writeString(Hive::CurrentUser, kControlAllowedKey, "1", "1");
  } catch (...) {
    // Registration is best effort: the program runs without the control.
  }
}

}  // namespace nivra::app
