#include "control/kinoro_object.h"

#include <new>

#include "control/stub_form.h"
#include "platform/com/com_util.h"
#include "platform/debug_output.h"
#include "platform/error.h"
#include "player/links/utf16_text.h"

namespace nivra::control {
namespace {

const char16_t kErrorSource[] = u"Kinoro";

// Fills a host's exception record with a member's failure.
void fillException(EXCEPINFO* exception, const MemberResult& r) {
  *exception = EXCEPINFO{};
  exception->bstrSource = com::makeBstr(kErrorSource);
  exception->bstrDescription = com::makeBstr(r.error);
  exception->scode = r.hr;
}

}  // namespace

std::unique_ptr<KinoroForm> makeStubForm(FormNotifications& notifications,
                                         const std::filesystem::path& libraryFile) {
  return std::make_unique<StubKinoroForm>(notifications, libraryFile);
}

KinoroObject::KinoroObject(FormMaker makeForm)
    : kinoroFace_{&kKinoroVtbl, this},
      containerFace_{&kContainerVtbl, this},
      pointFace_{&kPointVtbl, this},
      safetyFace_{&kSafetyVtbl, this},
      bagFace_{&kBagVtbl, this},
      errorFace_{&kErrorVtbl, this},
      oleFace_{&kOleObjectVtbl, this},
      inPlaceFace_{&kInPlaceVtbl, this},
      classInfoFace_{&kClassInfoVtbl, this},
      form_(makeForm(*this, libraryFile())) {
  countObject(+1);
}

KinoroObject::~KinoroObject() {
  // The form goes first (its player closes), then the host hears OnDestroy.
  form_.reset();
  platform::debugOutput("DestroyEvent begin");
  raiseEvent(DISPID_OnDestroy);
  platform::debugOutput("DestroyEvent end");
  if (eventSink_) eventSink_->lpVtbl->Release(eventSink_);
  if (connection_) connection_->lpVtbl->Release(connection_);
  if (site) reinterpret_cast<IUnknown*>(site)->lpVtbl->Release(reinterpret_cast<IUnknown*>(site));
  countObject(-1);
}

HRESULT KinoroObject::create(REFIID iid, void** object, FormMaker makeForm) {
  if (!object) return E_POINTER;
  *object = nullptr;
  KinoroObject* created = nullptr;
  try {
    created = new KinoroObject(makeForm);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (const std::exception& e) {
    platform::debugOutput(std::string("CreateInstance failed: ") + e.what());
    return E_FAIL;
  }
  created->addRef();
  HRESULT hr = created->queryInterface(iid, object);
  created->release();
  return hr;
}

HRESULT KinoroObject::queryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  const struct {
    const IID* iid;
    Face* face;
  } table[] = {
      {&IID_IUnknown, &kinoroFace_},
      {&IID_IDispatch, &kinoroFace_},
      {&IID_IKinoro, &kinoroFace_},
      {&IID_IConnectionPointContainer, &containerFace_},
      {&IID_IObjectSafety, &safetyFace_},
      {&IID_IPersist, &bagFace_},
      {&IID_IPersistPropertyBag, &bagFace_},
      {&IID_ISupportErrorInfo, &errorFace_},
      {&IID_IOleObject, &oleFace_},
      {&IID_IOleWindow, &inPlaceFace_},
      {&IID_IOleInPlaceObject, &inPlaceFace_},
      {&IID_IProvideClassInfo, &classInfoFace_},
  };
  for (const auto& entry : table) {
    if (IsEqualGUID(iid, entry.iid)) {
      addRef();
      *object = entry.face;
      return S_OK;
    }
  }
  return E_NOINTERFACE;
}

ULONG KinoroObject::addRef() { return ++refs_; }

ULONG KinoroObject::release() {
  ULONG left = --refs_;
  if (left == 0) {
    // Calls back from OnDestroy may AddRef and Release again; they must not reach 0 twice.
    refs_ = 1;
    delete this;
  }
  return left;
}

MemberResult KinoroObject::guarded(const Member& member, auto&& operation) {
  MemberResult r;
  try {
    operation();
    return r;
  } catch (const Error& e) {
    r.error = player::Utf8ToUtf16(e.what());
  } catch (const std::exception& e) {
    r.error = player::Utf8ToUtf16(e.what());
  }
  (void)member;
  r.hr = E_FAIL;
  com::setErrorDescription(r.error, kErrorSource, IID_IKinoro);
  return r;
}

MemberResult KinoroObject::get(const Member& member, VARIANT* out) {
  VariantClear(out);
  MemberResult r = guarded(member, [&] { form_->get(member, out); });
  if (SUCCEEDED(r.hr) && out->vt != member.vt) {
    r.hr = VariantChangeType(out, out, 0, member.vt);
    if (FAILED(r.hr)) VariantClear(out);
  }
  if (SUCCEEDED(r.hr) && member.vt == VT_BOOL)
    out->boolVal = out->boolVal ? VARIANT_TRUE : VARIANT_FALSE;
  return r;
}

MemberResult KinoroObject::put(const Member& member, const VARIANT& value) {
  VARIANT normalised = value;  // borrows what `value` owns
  if (member.vt == VT_BOOL) normalised.boolVal = value.boolVal ? VARIANT_TRUE : VARIANT_FALSE;
  return guarded(member, [&] { form_->put(member, normalised); });
}

MemberResult KinoroObject::call(const Member& member) {
  return guarded(member, [&] { form_->call(member); });
}

HRESULT KinoroObject::invoke(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
                             EXCEPINFO* exception, UINT* argErr) {
  const Member* member = memberByDispid(id);
  if (!member) return DISP_E_MEMBERNOTFOUND;
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  if (!params) params = &none;
  if (params->cArgs && !params->rgvarg) return E_INVALIDARG;
  MemberResult r;
  if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
    if (!member->canPut()) return DISP_E_MEMBERNOTFOUND;
    if ((flags & DISPATCH_PROPERTYPUTREF) && member->access != Access::GetPutRef)
      return DISP_E_MEMBERNOTFOUND;
    if (params->cArgs != 1) return DISP_E_BADPARAMCOUNT;
    if (params->cNamedArgs > 1 ||
        (params->cNamedArgs == 1 && params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT))
      return DISP_E_PARAMNOTFOUND;
    VARIANT value;
    VariantInit(&value);
    HRESULT hr = VariantChangeType(&value, &params->rgvarg[0], 0, member->vt);
    if (FAILED(hr)) {
      if (argErr) *argErr = 0;
      return hr;
    }
    r = put(*member, value);
    VariantClear(&value);
  } else if (params->cNamedArgs) {
    return DISP_E_NONAMEDARGS;
  } else if (params->cArgs) {
    return DISP_E_BADPARAMCOUNT;
  } else if (member->access == Access::Method) {
    if (!(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
    r = call(*member);
    if (result) VariantInit(result);
  } else {
    if (!(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
    VARIANT value;
    VariantInit(&value);
    r = get(*member, &value);
    if (result)
      *result = value;
    else
      VariantClear(&value);
  }
  if (SUCCEEDED(r.hr)) return S_OK;
  if (!exception) return r.hr;
  fillException(exception, r);
  return DISP_E_EXCEPTION;
}

HRESULT KinoroObject::advise(IUnknown* sink, DWORD* cookie) {
  if (!cookie) return E_POINTER;
  *cookie = 0;
  if (!sink) return E_POINTER;
  if (connection_) return CONNECT_E_ADVISELIMIT;
  auto events = com::queryInterface<IDispatch>(sink, DIID_IKinoroEvents);
  if (!events) return CONNECT_E_CANNOTCONNECT;
  sink->lpVtbl->AddRef(sink);
  connection_ = sink;
  eventSink_ = events.release();
  *cookie = 1;
  return S_OK;
}

HRESULT KinoroObject::unadvise(DWORD cookie) {
  if (cookie != 1 || !connection_) return CONNECT_E_NOCONNECTION;
  IDispatch* events = std::exchange(eventSink_, nullptr);
  IUnknown* sink = std::exchange(connection_, nullptr);
  events->lpVtbl->Release(events);
  sink->lpVtbl->Release(sink);
  return S_OK;
}

void KinoroObject::raiseEvent(DISPID event) {
  if (!eventSink_) return;
  auto sink = com::ComPtr<IDispatch>::share(eventSink_);  // the handler may disconnect
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  sink->lpVtbl->Invoke(sink.get(), event, &GUID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr,
                       nullptr);
}

char16_t KinoroObject::raiseKeyPress(char16_t key) {
  if (!eventSink_) return key;
  auto sink = com::ComPtr<IDispatch>::share(eventSink_);
  SHORT code = static_cast<SHORT>(static_cast<std::uint16_t>(key));
  VARIANT argument;
  VariantInit(&argument);
  argument.vt = VT_I2 | VT_BYREF;
  argument.piVal = &code;
  DISPPARAMS params{&argument, nullptr, 1, 0};
  sink->lpVtbl->Invoke(sink.get(), DISPID_OnKeyPress, &GUID_NULL, 0, DISPATCH_METHOD, &params,
                       nullptr, nullptr, nullptr);
  return static_cast<char16_t>(static_cast<std::uint16_t>(code) & 0xFF);
}

HRESULT KinoroObject::getSafety(REFIID iid, DWORD* supported, DWORD* enabled) {
  if (!supported || !enabled) return E_POINTER;
  void* probe = nullptr;
  HRESULT hr = queryInterface(iid, &probe);
  if (FAILED(hr)) {
    *supported = *enabled = 0;
    return hr;
  }
  release();
  *supported = INTERFACESAFE_FOR_UNTRUSTED_CALLER | INTERFACESAFE_FOR_UNTRUSTED_DATA;
  *enabled = safetyOptions_ & *supported;
  return S_OK;
}

HRESULT KinoroObject::setSafety(REFIID iid, DWORD mask, DWORD enabled) {
  void* probe = nullptr;
  HRESULT hr = queryInterface(iid, &probe);
  if (FAILED(hr)) return hr;
  release();
  safetyOptions_ = mask & enabled;
  return hr;
}

HRESULT KinoroObject::loadProperties(IPropertyBag* bag, IErrorLog* log) {
  if (!bag) return E_POINTER;
  for (const Member& member : members()) {
    if (!member.canPut()) continue;
    std::u16string name(member.name.begin(), member.name.end());
    VARIANT value;
    VariantInit(&value);
    HRESULT hr = bag->lpVtbl->Read(bag, name.c_str(), &value, log);
    if (hr == E_ABORT) return E_FAIL;
    if (FAILED(hr)) continue;  // the bag does not hold it
    MemberResult r;
    r.hr = VariantChangeType(&value, &value, 0, member.vt);
    if (SUCCEEDED(r.hr)) r = put(member, value);
    VariantClear(&value);
    if (FAILED(r.hr) && log) {
      EXCEPINFO error{};
      fillException(&error, r);
      log->lpVtbl->AddError(log, name.c_str(), &error);
      SysFreeString(error.bstrSource);
      SysFreeString(error.bstrDescription);
    }
  }
  return S_OK;
}

HRESULT KinoroObject::saveProperties(IPropertyBag* bag) {
  if (!bag) return E_POINTER;
  for (const Member& member : members()) {
    if (!member.canPut()) continue;
    std::u16string name(member.name.begin(), member.name.end());
    VARIANT value;
    VariantInit(&value);
    MemberResult r = get(member, &value);
    HRESULT hr = SUCCEEDED(r.hr) ? bag->lpVtbl->Write(bag, name.c_str(), &value) : r.hr;
    VariantClear(&value);
    if (FAILED(hr)) return hr;
  }
  return S_OK;
}

}  // namespace nivra::control
