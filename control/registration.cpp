#include "control/registration.h"

#include <filesystem>

#include "control/kinoro_abi.h"
#include "platform/com/com_util.h"

namespace nivra::control {
namespace {

using platform::Hive;

constexpr const char* kDescription = "NivraPlayer Control";
constexpr const char* kProgId = "Kinoro.CoKinoro";
// The dispatch marshaller every dual and dispatch interface names.
constexpr const char* kDispatchProxy = "{00020424-0000-0000-C000-000000000046}";

std::string classKey() { return "CLSID\\" + com::guidText(CLSID_CoKinoro); }
std::string typeLibKey() { return "TypeLib\\" + com::guidText(LIBID_Kinoro); }
std::string interfaceKey(const IID& iid) { return "Interface\\" + com::guidText(iid); }

// The type library: its version key names the library file; the interfaces name the library.
std::vector<RegistryEntry> typeLibraryEntries(const std::string& file) {
  const std::string lib = typeLibKey() + "\\1.0";
  std::vector<RegistryEntry> out{
      {lib, "", "NivraPlayer Library"},
      {lib + "\\FLAGS", "", std::to_string(LIBFLAG_FCONTROL)},
      {lib + "\\0\\linux64", "", file},
      {lib + "\\HELPDIR", "", std::filesystem::path(file).parent_path().string()},
  };
  for (auto [iid, name] :
       {std::pair{&IID_IKinoro, "IKinoro"}, {&DIID_IKinoroEvents, "IKinoroEvents"}}) {
    const std::string key = interfaceKey(*iid);
    out.push_back({key, "", name});
    out.push_back({key + "\\ProxyStubClsid32", "", kDispatchProxy});
    out.push_back({key + "\\TypeLib", "", com::guidText(LIBID_Kinoro)});
    out.push_back({key + "\\TypeLib", "Version", "1.0"});
  }
  return out;
}

}  // namespace

std::vector<RegistryEntry> controlRegistration(const std::string& file) {
  const std::string k = classKey();
  const std::string p = kProgId;
  // This platform has no short names: a path with spaces is written as it is.
  auto out = typeLibraryEntries(file);
  const std::vector<RegistryEntry> classEntries{
      {k, "", kDescription},
      {k + "\\InprocServer32", "", file},
      {k + "\\InprocServer32", "ThreadingModel", "Apartment"},
      {p, "", kDescription},
      {p + "\\Clsid", "", com::guidText(CLSID_CoKinoro)},
      {k + "\\ProgID", "", p},
      {k + "\\Version", "", "1.0"},
      {k + "\\TypeLib", "", com::guidText(LIBID_Kinoro)},
      {k + "\\MiscStatus", "", "0"},
      {k + "\\MiscStatus\\1", "", std::to_string(205201)},
      {k + "\\ToolboxBitmap32", "", file + ",2"},
      {k + "\\Control", "", std::nullopt},
      {k + "\\Verb", "", std::nullopt},
      {k + "\\Verb\\0", "", "Properties,0,2"},
  };
  out.insert(out.end(), classEntries.begin(), classEntries.end());
  return out;
}

std::vector<std::string> controlKeysToRemove() {
  const std::string k = classKey();
  const std::string p = kProgId;
  return {typeLibKey(),
          interfaceKey(IID_IKinoro),
          interfaceKey(DIID_IKinoroEvents),
          k + "\\Verb\\0",
          k + "\\Verb",
          k + "\\Control",
          k + "\\ToolboxBitmap32",
          k + "\\MiscStatus\\1",
          k + "\\MiscStatus",
          k + "\\TypeLib",
          k + "\\Version",
          k + "\\ProgID",
          p + "\\Clsid",
          p,
          k + "\\InprocServer32",
          k};
}

HRESULT registerControl(platform::Registry& registry, const std::string& file) {
  for (const auto& entry : controlRegistration(file)) {
    bool ok = entry.data
                  ? registry.writeString(Hive::ClassesRoot, entry.key, entry.name, *entry.data)
                  : registry.createKey(Hive::ClassesRoot, entry.key);
    if (!ok) return E_FAIL;
  }
  return S_OK;
}

HRESULT unregisterControl(platform::Registry& registry) {
  for (const auto& key : controlKeysToRemove()) {
    // A key that is already gone is not a failure.
    if (registry.keyExists(Hive::ClassesRoot, key) && !registry.deleteKey(Hive::ClassesRoot, key))
      return E_FAIL;
  }
  return S_OK;
}

}  // namespace nivra::control
