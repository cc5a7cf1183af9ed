// IKinoro's vtable, laid out by the member table: each slot converts between its C type and a
// variant of the member's type and goes through the same operations as Invoke.

#include "control/kinoro_object.h"
#include "control/type_info.h"
#include "platform/com/com_util.h"

namespace nivra::control {
namespace {

KinoroObject* object(IKinoro* self) { return KinoroObject::of(self); }

// Moves a variant of the member's type into the slot's C type (the caller owns strings and
// interfaces it receives) and back.
template <class T>
T take(VARIANT& v) {
  if constexpr (std::is_same_v<T, VARIANT_BOOL>)
    return v.boolVal;
  else if constexpr (std::is_same_v<T, LONG>)
    return v.lVal;
  else if constexpr (std::is_same_v<T, ULONG>)
    return v.ulVal;
  else if constexpr (std::is_same_v<T, ULONGLONG>)
    return v.ullVal;
  else if constexpr (std::is_same_v<T, BSTR>)
    return v.bstrVal;
  else
    return v.pdispVal;
}
template <class T>
void lend(VARIANT& v, T value) {
  if constexpr (std::is_same_v<T, VARIANT_BOOL>)
    v.boolVal = value;
  else if constexpr (std::is_same_v<T, LONG>)
    v.lVal = value;
  else if constexpr (std::is_same_v<T, ULONG>)
    v.ulVal = value;
  else if constexpr (std::is_same_v<T, ULONGLONG>)
    v.ullVal = value;
  else if constexpr (std::is_same_v<T, BSTR>)
    v.bstrVal = value;
  else
    v.pdispVal = value;
}

template <int Order, class T>
HRESULT getSlot(IKinoro* self, T* value) {
  if (!value) return E_POINTER;
  VARIANT v;
  VariantInit(&v);
  MemberResult r = object(self)->get(memberByOrder(Order), &v);
  if (FAILED(r.hr)) return r.hr;
  *value = take<T>(v);
  return S_OK;
}

template <int Order, class T>
HRESULT putSlot(IKinoro* self, T value) {
  const Member& member = memberByOrder(Order);
  VARIANT v;
  VariantInit(&v);
  v.vt = member.vt;
  lend<T>(v, value);
  return object(self)->put(member, v).hr;  // `v` only borrows `value`
}

template <int Order>
HRESULT methodSlot(IKinoro* self) {
  return object(self)->call(memberByOrder(Order)).hr;
}

HRESULT queryInterface(IKinoro* self, REFIID iid, void** out) {
  return object(self)->queryInterface(iid, out);
}
ULONG addRef(IKinoro* self) { return object(self)->addRef(); }
ULONG release(IKinoro* self) { return object(self)->release(); }

HRESULT getTypeInfoCount(IKinoro*, UINT* count) {
  if (!count) return E_POINTER;
  *count = 1;
  return S_OK;
}

HRESULT getTypeInfo(IKinoro*, UINT index, LCID, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  *info = kinoroTypeInfo();
  (*info)->lpVtbl->AddRef(*info);
  return S_OK;
}

HRESULT getIDsOfNames(IKinoro*, REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  return dispidsOfNames(IID_IKinoro, names, count, ids);
}

HRESULT invoke(IKinoro* self, DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
               VARIANT* result, EXCEPINFO* exception, UINT* argErr) {
  return object(self)->invoke(id, flags, params, result, exception, argErr);
}

}  // namespace

#define KINORO_THUNKS_GET(order, T) &getSlot<order, T>,
#define KINORO_THUNKS_GETPUT(order, T) &getSlot<order, T>, &putSlot<order, T>,
#define KINORO_THUNKS_GETPUTREF(order, T) KINORO_THUNKS_GETPUT(order, T) & putSlot<order, T>,
#define KINORO_THUNKS_METHOD(order, T) &methodSlot<order>,
#define KINORO_THUNK_ROW(order, dispid, Name, access, T, vt, hidden) \
  KINORO_THUNKS_##access(order, T)

const IKinoroVtbl kKinoroVtbl = {
    queryInterface, addRef,        release, getTypeInfoCount,
    getTypeInfo,    getIDsOfNames, invoke,  KINORO_MEMBERS(KINORO_THUNK_ROW)};

}  // namespace nivra::control
