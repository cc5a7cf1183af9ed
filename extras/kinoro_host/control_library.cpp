#include "extras/kinoro_host/control_library.h"

#include <dlfcn.h>

#include <cstdio>

#include "platform/registry.h"

namespace nivra::kinoro_host {

bool parseGuid(const std::string& text, GUID* guid) {
  std::string t = text;
  if (!t.empty() && t.front() == '{') t = t.substr(1);
  if (!t.empty() && t.back() == '}') t.pop_back();
  unsigned d1 = 0, d2 = 0, d3 = 0, b[8] = {};
  if (std::sscanf(t.c_str(), "%8x-%4x-%4x-%2x%2x-%2x%2x%2x%2x%2x%2x", &d1, &d2, &d3, &b[0], &b[1],
                  &b[2], &b[3], &b[4], &b[5], &b[6], &b[7]) != 11)
    return false;
  guid->Data1 = d1;
  guid->Data2 = static_cast<unsigned short>(d2);
  guid->Data3 = static_cast<unsigned short>(d3);
  for (int i = 0; i < 8; ++i) guid->Data4[i] = static_cast<unsigned char>(b[i]);
  return true;
}

std::shared_ptr<ControlLibrary> ControlLibrary::forClass(const std::string& clsidText,
                                                         std::string* error) {
  static std::map<std::string, std::weak_ptr<ControlLibrary>> loaded;
  GUID clsid{};
  std::string braced = clsidText.front() == '{' ? clsidText : "{" + clsidText + "}";
  for (auto& c : braced) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (!parseGuid(braced, &clsid)) {
    *error = "not a class id: " + clsidText;
    return nullptr;
  }
  const auto path = platform::Registry::system().readString(
      platform::Hive::ClassesRoot, "CLSID\\" + braced + "\\InprocServer32", "");
  if (!path || path->empty()) {
    *error = "class not registered: " + braced;
    return nullptr;
  }
  if (auto existing = loaded[*path].lock()) return existing;
  auto library = std::shared_ptr<ControlLibrary>(new ControlLibrary());
  library->path_ = *path;
  library->clsid_ = clsid;
  library->handle_ = dlopen(path->c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library->handle_) {
    *error = dlerror();
    return nullptr;
  }
  auto symbol = [&](const char* name) { return dlsym(library->handle_, name); };
  *reinterpret_cast<void**>(&library->getClassObject_) = symbol("DllGetClassObject");
  *reinterpret_cast<void**>(&library->canUnloadNow_) = symbol("DllCanUnloadNow");
  ComFunctions& f = library->com_;
  *reinterpret_cast<void**>(&f.SysAllocStringLen) = symbol("SysAllocStringLen");
  *reinterpret_cast<void**>(&f.SysFreeString) = symbol("SysFreeString");
  *reinterpret_cast<void**>(&f.SysStringLen) = symbol("SysStringLen");
  *reinterpret_cast<void**>(&f.VariantInit) = symbol("VariantInit");
  *reinterpret_cast<void**>(&f.VariantClear) = symbol("VariantClear");
  if (!library->getClassObject_ || !f.SysAllocStringLen || !f.SysFreeString || !f.SysStringLen ||
      !f.VariantInit || !f.VariantClear) {
    *error = "not a control server: " + *path;
    return nullptr;
  }
  loaded[*path] = library;
  return library;
}

ControlLibrary::~ControlLibrary() {
  // The server stays loaded: its Qt and GStreamer state lives for the process.
}

HRESULT ControlLibrary::create(REFIID iid, void** object) const {
  IClassFactory* factory = nullptr;
  HRESULT hr = getClassObject_(&clsid_, &IID_IClassFactory, reinterpret_cast<void**>(&factory));
  if (FAILED(hr) || !factory) return FAILED(hr) ? hr : E_FAIL;
  hr = factory->lpVtbl->CreateInstance(factory, nullptr, iid, object);
  factory->lpVtbl->Release(factory);
  return hr;
}

bool ControlLibrary::canUnload() const { return canUnloadNow_ && canUnloadNow_() == S_OK; }

}  // namespace nivra::kinoro_host
