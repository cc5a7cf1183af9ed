#pragma once
// An in-process control server found through the registry: the class's InprocServer32 path in
// HKEY_CLASSES_ROOT, loaded with dlopen and reached only through its exports (the class object
// and the string and variant functions its results are freed with).

#include <map>
#include <memory>
#include <string>

#include "platform/com/com_abi.h"

namespace nivra::kinoro_host {

struct ComFunctions {
  BSTR (*SysAllocStringLen)(const OLECHAR*, UINT) = nullptr;
  void (*SysFreeString)(BSTR) = nullptr;
  UINT (*SysStringLen)(BSTR) = nullptr;
  void (*VariantInit)(VARIANT*) = nullptr;
  HRESULT (*VariantClear)(VARIANT*) = nullptr;
};

class ControlLibrary {
 public:
  ~ControlLibrary();
  // The server of `clsidText` ("{7E27DAB6-…}"), loaded once per process; null with `error` set
  // when the class is not registered or its file does not load.
  static std::shared_ptr<ControlLibrary> forClass(const std::string& clsidText, std::string* error);

  // IClassFactory::CreateInstance for the class, answering `iid`.
  HRESULT create(REFIID iid, void** object) const;
  const ComFunctions& com() const { return com_; }
  const std::string& path() const { return path_; }
  bool canUnload() const;

 private:
  void* handle_ = nullptr;
  std::string path_;
  CLSID clsid_{};
  HRESULT (*getClassObject_)(REFCLSID, REFIID, void**) = nullptr;
  HRESULT (*canUnloadNow_)() = nullptr;
  ComFunctions com_;
};

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (braces optional) as a GUID.
bool parseGuid(const std::string& text, GUID* guid);

}  // namespace nivra::kinoro_host
