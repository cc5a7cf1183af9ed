// The type library "Kinoro": IKinoro, IKinoroEvents and CoKinoro, as a host reaches them from
// any of their type infos.

#include <new>

#include "control/type_info.h"
#include "platform/com/com_util.h"

namespace nivra::control {
namespace {

ITypeInfo* typeAt(UINT index) {
  switch (index) {
    case 0:
      return kinoroTypeInfo();
    case 1:
      return eventsTypeInfo();
    case 2:
      return classTypeInfo();
    default:
      return nullptr;
  }
}
constexpr UINT kTypeCount = 3;

HRESULT queryInterface(ITypeLib* self, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (IsEqualGUID(iid, &IID_IUnknown) || IsEqualGUID(iid, &IID_ITypeLib)) {
    *out = self;
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}
ULONG noCount(ITypeLib*) { return 1; }

HRESULT getTypeInfo(ITypeLib*, UINT index, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = typeAt(index);
  return *info ? S_OK : TYPE_E_ELEMENTNOTFOUND;
}

HRESULT getTypeInfoType(ITypeLib*, UINT index, TYPEKIND* kind) {
  if (!kind) return E_POINTER;
  if (index >= kTypeCount) return TYPE_E_ELEMENTNOTFOUND;
  *kind = index == 2 ? TKIND_COCLASS : TKIND_DISPATCH;
  return S_OK;
}

HRESULT getTypeInfoOfGuid(ITypeLib*, REFGUID guid, ITypeInfo** info) {
  if (!info || !guid) return E_POINTER;
  for (UINT i = 0; i < kTypeCount; ++i) {
    ITypeInfo* candidate = typeAt(i);
    TYPEATTR* attr = nullptr;
    if (FAILED(candidate->lpVtbl->GetTypeAttr(candidate, &attr))) continue;
    const bool match = IsEqualGUID(&attr->guid, guid);
    candidate->lpVtbl->ReleaseTypeAttr(candidate, attr);
    if (match) {
      *info = candidate;
      return S_OK;
    }
  }
  *info = nullptr;
  return TYPE_E_ELEMENTNOTFOUND;
}

HRESULT getLibAttr(ITypeLib*, TLIBATTR** attr) {
  if (!attr) return E_POINTER;
  *attr = new (std::nothrow) TLIBATTR{LIBID_Kinoro, 0x0409, SYS_WIN64, 1, 0, LIBFLAG_FCONTROL};
  return *attr ? S_OK : E_OUTOFMEMORY;
}

HRESULT getDocumentation(ITypeLib*, INT index, BSTR* name, BSTR* doc, DWORD* help, BSTR* helpFile) {
  if (index == -1) {
    if (name) *name = com::makeBstr(u"Kinoro");
    if (doc) *doc = com::makeBstr(u"NivraPlayer Library");
    if (help) *help = 0;
    if (helpFile) *helpFile = nullptr;
    return S_OK;
  }
  ITypeInfo* info = index >= 0 ? typeAt(static_cast<UINT>(index)) : nullptr;
  if (!info) return TYPE_E_ELEMENTNOTFOUND;
  return info->lpVtbl->GetDocumentation(info, MEMBERID_NIL, name, doc, help, helpFile);
}

// A type's name or a member's name, without regard to case.
HRESULT isName(ITypeLib*, LPOLESTR name, ULONG, BOOL* found) {
  if (!name || !found) return E_POINTER;
  auto text = com::oleView(name);
  *found = memberByName(text) || eventByName(text) || equalsNoCase(text, "IKinoro") ||
           equalsNoCase(text, "IKinoroEvents") || equalsNoCase(text, "CoKinoro");
  return S_OK;
}

const ITypeLibVtbl kTypeLibVtbl = {
    queryInterface,
    noCount,
    noCount,
    [](ITypeLib*) -> UINT { return kTypeCount; },
    getTypeInfo,
    getTypeInfoType,
    getTypeInfoOfGuid,
    getLibAttr,
    [](ITypeLib*, ITypeComp** comp) -> HRESULT {
      if (comp) *comp = nullptr;
      return E_NOTIMPL;
    },
    getDocumentation,
    isName,
    [](ITypeLib*, LPOLESTR, ULONG, ITypeInfo**, MEMBERID*, USHORT* found) -> HRESULT {
      if (found) *found = 0;
      return E_NOTIMPL;
    },
    [](ITypeLib*, TLIBATTR* attr) { delete attr; },
};

ITypeLib typeLib{&kTypeLibVtbl};

}  // namespace

ITypeLib* kinoroTypeLib() { return &typeLib; }

}  // namespace nivra::control
