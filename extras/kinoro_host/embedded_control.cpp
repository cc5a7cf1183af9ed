#include "extras/kinoro_host/embedded_control.h"

#include <atomic>

namespace nivra::kinoro_host {
namespace {

template <class T>
void release(T*& p) {
  if (p) reinterpret_cast<IUnknown*>(p)->lpVtbl->Release(reinterpret_cast<IUnknown*>(p));
  p = nullptr;
}

template <class T>
T* query(void* object, const IID& iid) {
  void* out = nullptr;
  auto* unknown = static_cast<IUnknown*>(object);
  return SUCCEEDED(unknown->lpVtbl->QueryInterface(unknown, &iid, &out)) ? static_cast<T*>(out)
                                                                         : nullptr;
}

std::u16string utf16(const QString& s) {
  return std::u16string(reinterpret_cast<const char16_t*>(s.utf16()),
                        static_cast<std::size_t>(s.size()));
}

}  // namespace

// ---- the event sink: an IDispatch that answers the control's source interface ----
struct EmbeddedControl::Sink {
  IDispatch iface;
  EmbeddedControl* owner;
  std::atomic<ULONG> refs{1};

  static Sink* of(IDispatch* self) { return reinterpret_cast<Sink*>(self); }
  static const IDispatchVtbl kVtbl;
};

const IDispatchVtbl EmbeddedControl::Sink::kVtbl = {
    [](IDispatch* self, REFIID iid, void** out) -> HRESULT {
      Sink* s = of(self);
      if (IsEqualGUID(iid, &IID_IUnknown) || IsEqualGUID(iid, &IID_IDispatch) ||
          IsEqualGUID(iid, &s->owner->eventsIid_)) {
        ++s->refs;
        *out = self;
        return S_OK;
      }
      *out = nullptr;
      return E_NOINTERFACE;
    },
    [](IDispatch* self) -> ULONG { return ++of(self)->refs; },
    [](IDispatch* self) -> ULONG { return --of(self)->refs; },  // owned by the control holder
    [](IDispatch*, UINT* count) -> HRESULT {
      *count = 0;
      return S_OK;
    },
    [](IDispatch*, UINT, LCID, ITypeInfo** info) -> HRESULT {
      *info = nullptr;
      return E_NOTIMPL;
    },
    [](IDispatch*, REFIID, LPOLESTR*, UINT, LCID, DISPID*) -> HRESULT { return E_NOTIMPL; },
    [](IDispatch* self, DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
       UINT*) -> HRESULT {
      EmbeddedControl* owner = of(self)->owner;
      auto it = owner->eventNames_.find(id);
      if (owner->onEvent_)
        owner->onEvent_(it != owner->eventNames_.end() ? it->second : QString::number(id));
      return S_OK;
    },
};

// ---- the site: tells the control the window it lives in ----
struct EmbeddedControl::Site {
  IOleWindow iface;
  HWND window;
  static const IOleWindowVtbl kVtbl;
};

const IOleWindowVtbl EmbeddedControl::Site::kVtbl = {
    [](IOleWindow* self, REFIID iid, void** out) -> HRESULT {
      if (IsEqualGUID(iid, &IID_IUnknown) || IsEqualGUID(iid, &IID_IOleWindow)) {
        *out = self;
        return S_OK;
      }
      *out = nullptr;
      return E_NOINTERFACE;
    },
    [](IOleWindow*) -> ULONG { return 2; },  // lives as long as the control holder
    [](IOleWindow*) -> ULONG { return 1; },
    [](IOleWindow* self, HWND* window) -> HRESULT {
      *window = reinterpret_cast<Site*>(self)->window;
      return S_OK;
    },
    [](IOleWindow*, BOOL) -> HRESULT { return E_NOTIMPL; },
};

// ---- a property bag over the element's <param>s ----
namespace {
struct ParamBag {
  IPropertyBag iface;
  const EmbeddedControl::Params* params;
  const ComFunctions* com;
};

const IPropertyBagVtbl kBagVtbl = {
    [](IPropertyBag*, REFIID, void** out) -> HRESULT {
      *out = nullptr;
      return E_NOINTERFACE;
    },
    [](IPropertyBag*) -> ULONG { return 1; },
    [](IPropertyBag*) -> ULONG { return 1; },
    [](IPropertyBag* self, LPCOLESTR name, VARIANT* value, IErrorLog*) -> HRESULT {
      auto* bag = reinterpret_cast<ParamBag*>(self);
      const QString wanted = QString::fromUtf16(name);
      for (const auto& [key, text] : *bag->params) {
        if (QString::fromStdString(key).compare(wanted, Qt::CaseInsensitive) != 0) continue;
        const std::u16string t = utf16(QString::fromStdString(text));
        value->vt = VT_BSTR;
        value->bstrVal = bag->com->SysAllocStringLen(t.data(), static_cast<UINT>(t.size()));
        return S_OK;
      }
      return E_INVALIDARG;
    },
    [](IPropertyBag*, LPCOLESTR, VARIANT*) -> HRESULT { return E_NOTIMPL; },
};
}  // namespace

std::unique_ptr<EmbeddedControl> EmbeddedControl::create(const std::string& clsid,
                                                         const Params& params,
                                                         std::uintptr_t hostWindow, QRect rect,
                                                         EventHandler onEvent, std::string* error) {
  std::unique_ptr<EmbeddedControl> c(new EmbeddedControl());
  c->onEvent_ = std::move(onEvent);
  c->library_ = ControlLibrary::forClass(clsid, error);
  if (!c->library_) return nullptr;
  HRESULT hr = c->library_->create(&IID_IDispatch, reinterpret_cast<void**>(&c->control_));
  if (FAILED(hr) || !c->control_) {
    *error = "CreateInstance failed: " + std::to_string(hr);
    return nullptr;
  }
  if (!c->start(params, hostWindow, rect, error)) return nullptr;
  return c;
}

// The source interface and its event names, from the class's type information.
void EmbeddedControl::learnEvents() {
  auto* provider = query<IProvideClassInfo>(control_, IID_IProvideClassInfo);
  if (!provider) return;
  ITypeInfo* coclass = nullptr;
  provider->lpVtbl->GetClassInfo(provider, &coclass);
  release(provider);
  if (!coclass) return;
  TYPEATTR* attr = nullptr;
  coclass->lpVtbl->GetTypeAttr(coclass, &attr);
  const UINT implTypes = attr ? attr->cImplTypes : 0;
  if (attr) coclass->lpVtbl->ReleaseTypeAttr(coclass, attr);
  for (UINT i = 0; i < implTypes; ++i) {
    INT flags = 0;
    HREFTYPE ref = 0;
    if (FAILED(coclass->lpVtbl->GetImplTypeFlags(coclass, i, &flags)) ||
        !(flags & IMPLTYPEFLAG_FSOURCE) ||
        FAILED(coclass->lpVtbl->GetRefTypeOfImplType(coclass, i, &ref)))
      continue;
    ITypeInfo* events = nullptr;
    if (FAILED(coclass->lpVtbl->GetRefTypeInfo(coclass, ref, &events)) || !events) continue;
    TYPEATTR* ea = nullptr;
    if (SUCCEEDED(events->lpVtbl->GetTypeAttr(events, &ea)) && ea) {
      eventsIid_ = ea->guid;
      for (WORD f = 0; f < ea->cFuncs; ++f) {
        FUNCDESC* fd = nullptr;
        if (FAILED(events->lpVtbl->GetFuncDesc(events, f, &fd)) || !fd) continue;
        BSTR name = nullptr;
        events->lpVtbl->GetDocumentation(events, fd->memid, &name, nullptr, nullptr, nullptr);
        eventNames_[fd->memid] = text(name);
        library_->com().SysFreeString(name);
        events->lpVtbl->ReleaseFuncDesc(events, fd);
      }
      events->lpVtbl->ReleaseTypeAttr(events, ea);
    }
    release(events);
  }
  release(coclass);
}

bool EmbeddedControl::start(const Params& params, std::uintptr_t hostWindow, QRect rect,
                            std::string* error) {
  // A browser asks before scripting the control with the page's data.
  if (auto* safety = query<IObjectSafety>(control_, IID_IObjectSafety)) {
    const DWORD both = INTERFACESAFE_FOR_UNTRUSTED_CALLER | INTERFACESAFE_FOR_UNTRUSTED_DATA;
    HRESULT hr = safety->lpVtbl->SetInterfaceSafetyOptions(safety, &IID_IDispatch, both, both);
    release(safety);
    if (FAILED(hr)) {
      *error = "the control is not safe for scripting";
      return false;
    }
  }
  learnEvents();
  sink_ = std::make_unique<Sink>();
  sink_->iface.lpVtbl = &Sink::kVtbl;
  sink_->owner = this;
  if (auto* container = query<IConnectionPointContainer>(control_, IID_IConnectionPointContainer)) {
    container->lpVtbl->FindConnectionPoint(container, &eventsIid_, &point_);
    release(container);
  }
  if (point_) point_->lpVtbl->Advise(point_, reinterpret_cast<IUnknown*>(&sink_->iface), &cookie_);

  site_ = std::make_unique<Site>();
  site_->iface.lpVtbl = &Site::kVtbl;
  site_->window = hostWindow;
  if (auto* ole = query<IOleObject>(control_, IID_IOleObject)) {
    ole->lpVtbl->SetClientSite(ole, reinterpret_cast<IOleClientSite*>(&site_->iface));
    release(ole);
  }
  if (auto* persist = query<IPersistPropertyBag>(control_, IID_IPersistPropertyBag)) {
    ParamBag bag{{&kBagVtbl}, &params, &library_->com()};
    persist->lpVtbl->InitNew(persist);
    HRESULT hr = persist->lpVtbl->Load(persist, &bag.iface, nullptr);
    release(persist);
    if (FAILED(hr)) {
      *error = "loading the params failed";
      return false;
    }
  }
  if (auto* ole = query<IOleObject>(control_, IID_IOleObject)) {
    RECT r{rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
    ole->lpVtbl->DoVerb(ole, OLEIVERB_INPLACEACTIVATE, nullptr,
                        reinterpret_cast<IOleClientSite*>(&site_->iface), 0, hostWindow, &r);
    release(ole);
  }
  return true;
}

EmbeddedControl::~EmbeddedControl() {
  if (point_) {
    point_->lpVtbl->Unadvise(point_, cookie_);
    release(point_);
  }
  if (control_) {
    if (auto* ole = query<IOleObject>(control_, IID_IOleObject)) {
      ole->lpVtbl->SetClientSite(ole, nullptr);
      release(ole);
    }
  }
  // The last reference: the control closes its player and says OnDestroy (no sink any more).
  release(control_);
}

void EmbeddedControl::place(QRect rect) {
  auto* inPlace = query<IOleInPlaceObject>(control_, IID_IOleInPlaceObject);
  if (!inPlace) return;
  RECT r{rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
  inPlace->lpVtbl->SetObjectRects(inPlace, &r, &r);
  release(inPlace);
}

std::uintptr_t EmbeddedControl::window() const {
  auto* inPlace = query<IOleInPlaceObject>(control_, IID_IOleInPlaceObject);
  if (!inPlace) return 0;
  HWND w = 0;
  inPlace->lpVtbl->GetWindow(inPlace, &w);
  release(inPlace);
  return w;
}

BSTR EmbeddedControl::bstr(const QString& s) const {
  const std::u16string t = utf16(s);
  return library_->com().SysAllocStringLen(t.data(), static_cast<UINT>(t.size()));
}

QString EmbeddedControl::text(BSTR b) const {
  if (!b) return {};
  return QString::fromUtf16(b, library_->com().SysStringLen(b));
}

QVariant EmbeddedControl::toQt(const VARIANT& v) const {
  switch (v.vt) {
    case VT_BOOL:
      return QVariant(v.boolVal != 0);
    case VT_I2:
      return QVariant(static_cast<int>(v.iVal));
    case VT_I4:
      return QVariant(static_cast<int>(v.lVal));
    case VT_UI4:
      return QVariant(static_cast<qulonglong>(v.ulVal));
    case VT_I8:
      return QVariant(static_cast<qlonglong>(v.llVal));
    case VT_UI8:
      return QVariant(static_cast<qulonglong>(v.ullVal));
    case VT_R8:
      return QVariant(v.dblVal);
    case VT_BSTR:
      return QVariant(text(v.bstrVal));
    default:
      return {};
  }
}

ScriptResult EmbeddedControl::invoke(const QString& name, WORD flags, VARIANT* argument) {
  ScriptResult r;
  std::u16string n = utf16(name);
  LPOLESTR names[] = {n.data()};
  DISPID id = 0;
  if (FAILED(control_->lpVtbl->GetIDsOfNames(control_, &GUID_NULL, names, 1, 0, &id))) {
    r.error = "no member named " + name;
    return r;
  }
  DISPID named = DISPID_PROPERTYPUT;
  const bool put = flags == DISPATCH_PROPERTYPUT;
  DISPPARAMS params{argument, put ? &named : nullptr, argument ? 1u : 0u, put ? 1u : 0u};
  VARIANT result;
  library_->com().VariantInit(&result);
  EXCEPINFO exception{};
  UINT argErr = 0;
  HRESULT hr = control_->lpVtbl->Invoke(control_, id, &GUID_NULL, 0, flags, &params, &result,
                                        &exception, &argErr);
  if (SUCCEEDED(hr)) {
    r.ok = true;
    r.value = toQt(result);
  } else {
    r.error =
        hr == DISP_E_EXCEPTION && exception.bstrDescription
            ? text(exception.bstrDescription)
            : QStringLiteral("error 0x%1").arg(static_cast<quint32>(hr), 8, 16, QLatin1Char('0'));
  }
  library_->com().SysFreeString(exception.bstrSource);
  library_->com().SysFreeString(exception.bstrDescription);
  library_->com().SysFreeString(exception.bstrHelpFile);
  library_->com().VariantClear(&result);
  return r;
}

ScriptResult EmbeddedControl::get(const QString& name) {
  return invoke(name, DISPATCH_PROPERTYGET, nullptr);
}

// Page values arrive as text, numbers or booleans; the control coerces them to its types.
ScriptResult EmbeddedControl::put(const QString& name, const QVariant& value) {
  VARIANT v;
  library_->com().VariantInit(&v);
  if (value.typeId() == QMetaType::Bool) {
    v.vt = VT_BOOL;
    v.boolVal = value.toBool() ? VARIANT_TRUE : VARIANT_FALSE;
  } else if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Int ||
             value.typeId() == QMetaType::LongLong) {
    v.vt = VT_R8;
    v.dblVal = value.toDouble();
  } else {
    v.vt = VT_BSTR;
    v.bstrVal = bstr(value.toString());
  }
  ScriptResult r = invoke(name, DISPATCH_PROPERTYPUT, &v);
  library_->com().VariantClear(&v);
  return r;
}

ScriptResult EmbeddedControl::call(const QString& name) {
  return invoke(name, DISPATCH_METHOD, nullptr);
}

}  // namespace nivra::kinoro_host
