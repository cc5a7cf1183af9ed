// The exports of libkinoro.so: the class object, the unload check and self-registration.
// Nothing here runs before a host calls in.

#include "control/kinoro_object.h"
#include "control/registration.h"
#include "control/tkinoro.h"
#include "platform/registry.h"

#define KINORO_EXPORT extern "C" __attribute__((visibility("default")))

namespace nivra::control {
namespace {

// The one class factory: a static object; locks keep the library loaded.
HRESULT factoryQueryInterface(IClassFactory* self, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (IsEqualGUID(iid, &IID_IUnknown) || IsEqualGUID(iid, &IID_IClassFactory)) {
    *out = self;
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

const IClassFactoryVtbl kFactoryVtbl = {
    factoryQueryInterface,
    [](IClassFactory*) -> ULONG { return 2; },
    [](IClassFactory*) -> ULONG { return 1; },
    [](IClassFactory*, IUnknown* outer, REFIID iid, void** out) -> HRESULT {
      if (!out) return E_POINTER;
      *out = nullptr;
      if (outer) return CLASS_E_NOAGGREGATION;
      return KinoroObject::create(iid, out, makeTKinoro);
    },
    [](IClassFactory*, BOOL lock) -> HRESULT {
      countLock(lock ? +1 : -1);
      return S_OK;
    },
};
IClassFactory factory{&kFactoryVtbl};

}  // namespace
}  // namespace nivra::control

using namespace nivra::control;

KINORO_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!clsid || !IsEqualGUID(clsid, &CLSID_CoKinoro)) return CLASS_E_CLASSNOTAVAILABLE;
  if (!iid) return E_INVALIDARG;
  return factoryQueryInterface(&factory, iid, out);
}

KINORO_EXPORT HRESULT DllCanUnloadNow() { return libraryInUse() ? S_FALSE : S_OK; }

KINORO_EXPORT HRESULT DllRegisterServer() {
  try {
    auto registry = nivra::platform::Registry::system();
    return registerControl(registry, libraryFile().string());
  } catch (...) {
    return E_FAIL;
  }
}

KINORO_EXPORT HRESULT DllUnregisterServer() {
  try {
    auto registry = nivra::platform::Registry::system();
    return unregisterControl(registry);
  } catch (...) {
    return E_FAIL;
  }
}
