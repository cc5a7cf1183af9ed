#include "platform/registry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "platform/atomic_file.h"
#include "platform/folders.h"
#include "platform/module_names.h"

namespace nivra::platform {
namespace fs = std::filesystem;

Registry::Registry(fs::path userDir, fs::path installDir)
    : userDir_(std::move(userDir)), installDir_(std::move(installDir)) {}

Registry Registry::system() {
  return Registry(configHome() / names::kAppName / "registry", moduleDir() / "registry");
}

const char* Registry::rootName(Hive hive) {
  switch (hive) {
    case Hive::ClassesRoot: return "HKEY_CLASSES_ROOT";
    case Hive::CurrentUser: return "HKEY_CURRENT_USER";
    case Hive::LocalMachine: return "HKEY_LOCAL_MACHINE";
  }
  return "";
}

const char* Registry::fileName(Hive hive) {
  switch (hive) {
    case Hive::ClassesRoot: return "HKCR.reg";
    case Hive::CurrentUser: return "HKCU.reg";
    case Hive::LocalMachine: return "HKLM.reg";
  }
  return "";
}

RegHive Registry::load(const fs::path& dir, Hive hive) const {
  auto text = readWholeFile(dir / fileName(hive), 8u << 20);
  return RegHive::parse(rootName(hive), text ? *text : std::string());
}

bool Registry::keyExists(Hive hive, std::string_view key) const {
  return load(userDir_, hive).keyExists(key) || load(installDir_, hive).keyExists(key);
}

std::optional<RegValue> Registry::value(Hive hive, std::string_view key, std::string_view name) const {
  if (auto v = load(userDir_, hive).value(key, name)) return v;
  return load(installDir_, hive).value(key, name);
}

std::optional<std::string> Registry::readString(Hive hive, std::string_view key,
                                                std::string_view name) const {
  auto v = value(hive, key, name);
  if (v && std::holds_alternative<std::string>(*v)) return std::get<std::string>(*v);
  return std::nullopt;
}

std::optional<std::uint32_t> Registry::readDword(Hive hive, std::string_view key,
                                                 std::string_view name) const {
  auto v = value(hive, key, name);
  if (v && std::holds_alternative<std::uint32_t>(*v)) return std::get<std::uint32_t>(*v);
  return std::nullopt;
}

template <class Change>
bool Registry::modify(Hive hive, Change&& change) {
  if (!ensureDir(userDir_)) return false;
  const fs::path lockPath = userDir_ / (std::string(fileName(hive)) + ".lock");
  int lock = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (lock < 0) return false;
  ::flock(lock, LOCK_EX);
  RegHive data = load(userDir_, hive);
  bool ok = change(data) && writeFileAtomically(userDir_ / fileName(hive), data.text());
  ::close(lock);  // releases the flock
  return ok;
}

bool Registry::createKey(Hive hive, std::string_view key) {
  return modify(hive, [&](RegHive& h) {
    h.createKey(key);
    return true;
  });
}

bool Registry::writeString(Hive hive, std::string_view key, std::string_view name,
                           std::string_view value) {
  return modify(hive, [&](RegHive& h) {
    h.setValue(key, name, std::string(value));
    return true;
  });
}

bool Registry::writeDword(Hive hive, std::string_view key, std::string_view name, std::uint32_t value) {
  return modify(hive, [&](RegHive& h) {
    h.setValue(key, name, value);
    return true;
  });
}

bool Registry::deleteValue(Hive hive, std::string_view key, std::string_view name) {
  return modify(hive, [&](RegHive& h) { return h.deleteValue(key, name); });
}

bool Registry::deleteKey(Hive hive, std::string_view key) {
  return modify(hive, [&](RegHive& h) { return h.deleteKey(key); });
}

}  // namespace nivra::platform
