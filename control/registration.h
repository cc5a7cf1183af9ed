#pragma once
// The control's class registration under HKEY_CLASSES_ROOT: the type library, the class, its
// ProgID and their subkeys, written in one order and removed in another.

#include <optional>
#include <string>
#include <vector>

#include "platform/com/com_abi.h"
#include "platform/registry.h"

namespace nivra::control {

struct RegistryEntry {
  std::string key;
  std::string name;                 // empty: the key's default value
  std::optional<std::string> data;  // nullopt: an empty key
};

// What DllRegisterServer writes, in order, for the library at `libraryFile`.
std::vector<RegistryEntry> controlRegistration(const std::string& libraryFile);
// The keys DllUnregisterServer removes, in order.
std::vector<std::string> controlKeysToRemove();

// S_OK, or E_FAIL at the first write or removal that fails (what was done before stays).
HRESULT registerControl(platform::Registry& registry, const std::string& libraryFile);
HRESULT unregisterControl(platform::Registry& registry);

}  // namespace nivra::control
