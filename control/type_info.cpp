#include "control/type_info.h"

#include <memory>
#include <new>
#include <string>
#include <vector>

#include "platform/com/com_util.h"

namespace nivra::control {
namespace {

struct Function {
  MEMBERID memid;
  INVOKEKIND kind;
  VARTYPE result;     // VT_VOID for puts, methods and events
  VARTYPE parameter;  // VT_EMPTY: no parameter
  bool byReference;   // the parameter is in/out
  std::string_view name;
  std::string_view parameterName;
  int slot;  // vtable slot; -1 for a pure dispatch interface
  bool hidden;
};

struct TypeInfo {
  const ITypeInfoVtbl* lpVtbl;
  const GUID* guid;
  std::u16string_view name;
  std::u16string_view doc;
  WORD flags;
  WORD vtableSlots;
  std::vector<Function> functions;
  TYPEKIND kind = TKIND_DISPATCH;
  UINT index = 0;  // position in the type library
};

// The coclass's implemented interfaces: the reference number is the index.
struct ImplType {
  ITypeInfo* (*info)();
  INT flags;
};
const ImplType kClassImplTypes[] = {
    {kinoroTypeInfo, IMPLTYPEFLAG_FDEFAULT},
    {eventsTypeInfo, IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE},
};

TypeInfo* of(ITypeInfo* self) { return reinterpret_cast<TypeInfo*>(self); }

std::vector<Function> kinoroFunctions() {
  std::vector<Function> out;
  for (const Member& m : members()) {
    int slot = m.firstSlot;
    if (m.access == Access::Method) {
      out.push_back({m.dispid, INVOKE_FUNC, VT_VOID, VT_EMPTY, false, m.name, {}, slot, m.hidden});
      continue;
    }
    out.push_back(
        {m.dispid, INVOKE_PROPERTYGET, m.vt, VT_EMPTY, false, m.name, {}, slot++, m.hidden});
    if (m.canPut())
      out.push_back(
          {m.dispid, INVOKE_PROPERTYPUT, VT_VOID, m.vt, false, m.name, {}, slot++, m.hidden});
    if (m.access == Access::GetPutRef)
      out.push_back(
          {m.dispid, INVOKE_PROPERTYPUTREF, VT_VOID, m.vt, false, m.name, {}, slot++, m.hidden});
  }
  return out;
}

std::vector<Function> eventFunctions() {
  std::vector<Function> out;
  for (const Event& e : events()) {
    bool key = e.argumentCount == 1;
    out.push_back({e.dispid, INVOKE_FUNC, VT_VOID, key ? VARTYPE(VT_I2) : VARTYPE(VT_EMPTY), key,
                   e.name, key ? "Key" : "", -1, false});
  }
  return out;
}

const Function* findFunction(TypeInfo* info, MEMBERID id) {
  for (const auto& f : info->functions)
    if (f.memid == id) return &f;
  return nullptr;
}

BSTR asciiBstr(std::string_view text) {
  return com::makeBstr(std::u16string(text.begin(), text.end()));
}

HRESULT queryInterface(ITypeInfo* self, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (IsEqualGUID(iid, &IID_IUnknown) || IsEqualGUID(iid, &IID_ITypeInfo)) {
    *out = self;
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}
ULONG addRef(ITypeInfo*) { return 1; }
ULONG release(ITypeInfo*) { return 1; }

HRESULT getTypeAttr(ITypeInfo* self, TYPEATTR** attr) {
  if (!attr) return E_POINTER;
  auto* a = new (std::nothrow) TYPEATTR{};
  if (!a) return E_OUTOFMEMORY;
  TypeInfo* info = of(self);
  a->guid = *info->guid;
  a->lcid = 0x0409;
  a->memidConstructor = MEMBERID_NIL;
  a->memidDestructor = MEMBERID_NIL;
  a->typekind = info->kind;
  if (info->kind == TKIND_COCLASS) a->cImplTypes = static_cast<WORD>(std::size(kClassImplTypes));
  a->cFuncs = static_cast<WORD>(info->functions.size());
  a->cbSizeVft = static_cast<WORD>(info->vtableSlots * sizeof(void*));
  a->cbAlignment = alignof(void*);
  a->wTypeFlags = info->flags;
  a->wMajorVerNum = 1;
  a->tdescAlias.vt = VT_EMPTY;
  *attr = a;
  return S_OK;
}

// A function description and its one parameter in one block.
struct FuncBlock {
  FUNCDESC desc;
  ELEMDESC parameter;
  TYPEDESC pointee;
};

HRESULT getFuncDesc(ITypeInfo* self, UINT index, FUNCDESC** desc) {
  if (!desc) return E_POINTER;
  *desc = nullptr;
  TypeInfo* info = of(self);
  if (index >= info->functions.size()) return TYPE_E_ELEMENTNOTFOUND;
  const Function& f = info->functions[index];
  auto* block = new (std::nothrow) FuncBlock{};
  if (!block) return E_OUTOFMEMORY;
  FUNCDESC& d = block->desc;
  d.memid = f.memid;
  d.funckind = FUNC_DISPATCH;
  d.invkind = f.kind;
  d.callconv = CC_STDCALL;
  d.oVft = static_cast<SHORT>(f.slot < 0 ? 0 : f.slot * static_cast<int>(sizeof(void*)));
  d.elemdescFunc.tdesc.vt = f.result;
  d.wFuncFlags = f.hidden ? FUNCFLAG_FHIDDEN : 0;
  if (f.parameter != VT_EMPTY) {
    d.cParams = 1;
    d.lprgelemdescParam = &block->parameter;
    if (f.byReference) {
      block->pointee.vt = f.parameter;
      block->parameter.tdesc.vt = VT_PTR;
      block->parameter.tdesc.lptdesc = &block->pointee;
      block->parameter.paramdesc.wParamFlags = PARAMFLAG_FIN | PARAMFLAG_FOUT;
    } else {
      block->parameter.tdesc.vt = f.parameter;
      block->parameter.paramdesc.wParamFlags = PARAMFLAG_FIN;
    }
  }
  *desc = &block->desc;
  return S_OK;
}

HRESULT getNames(ITypeInfo* self, MEMBERID id, BSTR* names, UINT max, UINT* count) {
  if (!names || !count) return E_POINTER;
  *count = 0;
  const Function* f = findFunction(of(self), id);
  if (!f) return TYPE_E_ELEMENTNOTFOUND;
  if (max > 0) names[(*count)++] = asciiBstr(f->name);
  if (max > 1 && !f->parameterName.empty()) names[(*count)++] = asciiBstr(f->parameterName);
  return S_OK;
}

HRESULT getIDsOfNames(ITypeInfo* self, LPOLESTR* names, UINT count, MEMBERID* ids) {
  return dispidsOfNames(*of(self)->guid, names, count, ids);
}

HRESULT getDocumentation(ITypeInfo* self, MEMBERID id, BSTR* name, BSTR* doc, DWORD* help,
                         BSTR* helpFile) {
  TypeInfo* info = of(self);
  std::u16string memberName, memberDoc;
  if (id == MEMBERID_NIL) {
    memberName = info->name;
    memberDoc = info->doc;
  } else if (const Function* f = findFunction(info, id)) {
    memberName.assign(f->name.begin(), f->name.end());
  } else {
    return TYPE_E_ELEMENTNOTFOUND;
  }
  if (name) *name = com::makeBstr(memberName);
  if (doc) *doc = memberDoc.empty() ? nullptr : com::makeBstr(memberDoc);
  if (help) *help = 0;
  if (helpFile) *helpFile = nullptr;
  return S_OK;
}

HRESULT getVarDesc(ITypeInfo*, UINT, VARDESC** desc) {
  if (desc) *desc = nullptr;
  return TYPE_E_ELEMENTNOTFOUND;
}
bool isImplType(ITypeInfo* self, UINT index) {
  return of(self)->kind == TKIND_COCLASS && index < std::size(kClassImplTypes);
}
HRESULT getRefTypeOfImplType(ITypeInfo* self, UINT index, HREFTYPE* ref) {
  if (!ref) return E_POINTER;
  *ref = index;
  return isImplType(self, index) ? S_OK : TYPE_E_ELEMENTNOTFOUND;
}
HRESULT getImplTypeFlags(ITypeInfo* self, UINT index, INT* flags) {
  if (!flags) return E_POINTER;
  *flags = isImplType(self, index) ? kClassImplTypes[index].flags : 0;
  return isImplType(self, index) ? S_OK : TYPE_E_ELEMENTNOTFOUND;
}
HRESULT getRefTypeInfo(ITypeInfo* self, HREFTYPE ref, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = isImplType(self, ref) ? kClassImplTypes[ref].info() : nullptr;
  return *info ? S_OK : TYPE_E_ELEMENTNOTFOUND;
}
HRESULT getContainingTypeLib(ITypeInfo* self, ITypeLib** lib, UINT* index) {
  if (!lib) return E_POINTER;
  *lib = kinoroTypeLib();
  if (index) *index = of(self)->index;
  return S_OK;
}
void releaseTypeAttr(ITypeInfo*, TYPEATTR* attr) { delete attr; }
void releaseFuncDesc(ITypeInfo*, FUNCDESC* desc) { delete reinterpret_cast<FuncBlock*>(desc); }
void releaseVarDesc(ITypeInfo*, VARDESC*) {}

const ITypeInfoVtbl kTypeInfoVtbl = {
    queryInterface,
    addRef,
    release,
    getTypeAttr,
    [](ITypeInfo*, ITypeComp** comp) -> HRESULT {
      if (comp) *comp = nullptr;
      return E_NOTIMPL;
    },
    getFuncDesc,
    getVarDesc,
    getNames,
    getRefTypeOfImplType,
    getImplTypeFlags,
    getIDsOfNames,
    [](ITypeInfo*, void*, MEMBERID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) -> HRESULT {
      return E_NOTIMPL;  // hosts call the object's own Invoke
    },
    getDocumentation,
    [](ITypeInfo*, MEMBERID, INVOKEKIND, BSTR*, BSTR*, WORD*) -> HRESULT {
      return TYPE_E_ELEMENTNOTFOUND;
    },
    getRefTypeInfo,
    [](ITypeInfo*, MEMBERID, INVOKEKIND, void**) -> HRESULT { return E_NOTIMPL; },
    [](ITypeInfo*, IUnknown*, REFIID, void** out) -> HRESULT {
      if (out) *out = nullptr;
      return E_NOTIMPL;
    },
    [](ITypeInfo*, MEMBERID, BSTR* mops) -> HRESULT {
      if (mops) *mops = nullptr;
      return S_OK;
    },
    getContainingTypeLib,
    releaseTypeAttr,
    releaseFuncDesc,
    releaseVarDesc,
};

}  // namespace

ITypeInfo* kinoroTypeInfo() {
  static TypeInfo info{&kTypeInfoVtbl,
                       &IID_IKinoro,
                       u"IKinoro",
                       u"Dispatch interface for NivraPlayer Control",
                       TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION | TYPEFLAG_FDISPATCHABLE,
                       static_cast<WORD>(kinoroSlotCount()),
                       kinoroFunctions(),
                       TKIND_DISPATCH,
                       0};
  return reinterpret_cast<ITypeInfo*>(&info);
}

ITypeInfo* eventsTypeInfo() {
  static TypeInfo info{&kTypeInfoVtbl,
                       &DIID_IKinoroEvents,
                       u"IKinoroEvents",
                       u"Events interface for NivraPlayer Control",
                       TYPEFLAG_FDISPATCHABLE,
                       kDispatchSlots,
                       eventFunctions(),
                       TKIND_DISPATCH,
                       1};
  return reinterpret_cast<ITypeInfo*>(&info);
}

ITypeInfo* classTypeInfo() {
  static TypeInfo info{&kTypeInfoVtbl,
                       &CLSID_CoKinoro,
                       u"CoKinoro",
                       u"NivraPlayer Control",
                       TYPEFLAG_FCANCREATE | TYPEFLAG_FCONTROL,
                       0,
                       {},
                       TKIND_COCLASS,
                       2};
  return reinterpret_cast<ITypeInfo*>(&info);
}

HRESULT dispidsOfNames(const IID& iface, LPOLESTR* names, UINT count, DISPID* ids) {
  if (!ids || (count && !names)) return E_POINTER;
  for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
  if (count == 0) return S_OK;
  auto name = com::oleView(names[0]);
  std::string_view parameter;
  if (IsEqualGUID(&iface, &DIID_IKinoroEvents)) {
    const Event* e = eventByName(name);
    if (!e) return DISP_E_UNKNOWNNAME;
    ids[0] = e->dispid;
    if (e->argumentCount == 1) parameter = "Key";
  } else {
    const Member* m = memberByName(name);
    if (!m) return DISP_E_UNKNOWNNAME;
    ids[0] = m->dispid;
  }
  HRESULT hr = S_OK;
  for (UINT i = 1; i < count; ++i) {
    if (i == 1 && !parameter.empty() && equalsNoCase(com::oleView(names[i]), parameter))
      ids[i] = 0;
    else
      hr = DISP_E_UNKNOWNNAME;
  }
  return hr;
}

}  // namespace nivra::control
