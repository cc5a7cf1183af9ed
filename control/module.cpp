// The library's object and lock counts and its own file.

#include <dlfcn.h>

#include <atomic>
#include <filesystem>
#include <system_error>

#include "control/kinoro_object.h"

namespace nivra::control {
namespace {
std::atomic<int> objects{0};
std::atomic<int> locks{0};
}  // namespace

void countObject(int delta) { objects += delta; }
void countLock(int delta) { locks += delta; }
bool libraryInUse() { return objects > 0 || locks > 0; }

std::filesystem::path libraryFile() {
  Dl_info info{};
  if (!dladdr(reinterpret_cast<void*>(&libraryFile), &info) || !info.dli_fname) return {};
  std::error_code ec;
  auto path = std::filesystem::absolute(info.dli_fname, ec);
  return ec ? std::filesystem::path(info.dli_fname) : path.lexically_normal();
}

}  // namespace nivra::control
