// The control object's interfaces besides IKinoro: connection points, object safety,
// property-bag persistence, error-information support and the minimal OLE embedding.

#include <atomic>
#include <new>

#include "control/kinoro_object.h"
#include "control/type_info.h"
#include "platform/com/com_util.h"

namespace nivra::control {
namespace {

template <class Self>
KinoroObject* object(Self* self) {
  return KinoroObject::of(self);
}
template <class Self>
HRESULT queryInterface(Self* self, REFIID iid, void** out) {
  return object(self)->queryInterface(iid, out);
}
template <class Self>
ULONG addRef(Self* self) {
  return object(self)->addRef();
}
template <class Self>
ULONG release(Self* self) {
  return object(self)->release();
}
#define COM_FORWARD_IUNKNOWN(Self) queryInterface<Self>, addRef<Self>, release<Self>

// ---- connection point container ----
HRESULT findConnectionPoint(IConnectionPointContainer* self, REFIID iid, IConnectionPoint** point) {
  if (!point) return E_POINTER;
  *point = nullptr;
  if (!IsEqualGUID(iid, &DIID_IKinoroEvents)) return CONNECT_E_NOCONNECTION;
  object(self)->addRef();
  *point = object(self)->connectionPoint();
  return S_OK;
}

// ---- the connection point (its own identity, kept alive by the object) ----
HRESULT pointQueryInterface(IConnectionPoint* self, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (IsEqualGUID(iid, &IID_IUnknown) || IsEqualGUID(iid, &IID_IConnectionPoint)) {
    object(self)->addRef();
    *out = self;
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

// A snapshot of the connections (none or the one sink).
struct ConnectionList {
  IEnumConnections iface;
  std::atomic<ULONG> refs{1};
  IUnknown* sink;  // held
  ULONG position = 0;

  static ConnectionList* of(IEnumConnections* self) {
    return reinterpret_cast<ConnectionList*>(self);
  }
  static IEnumConnections* make(IUnknown* sink, ULONG position);
};

const IEnumConnectionsVtbl kConnectionListVtbl = {
    [](IEnumConnections* self, REFIID iid, void** out) -> HRESULT {
      if (!out) return E_POINTER;
      if (IsEqualGUID(iid, &IID_IUnknown) || IsEqualGUID(iid, &IID_IEnumConnections)) {
        ++ConnectionList::of(self)->refs;
        *out = self;
        return S_OK;
      }
      *out = nullptr;
      return E_NOINTERFACE;
    },
    [](IEnumConnections* self) -> ULONG { return ++ConnectionList::of(self)->refs; },
    [](IEnumConnections* self) -> ULONG {
      auto* list = ConnectionList::of(self);
      ULONG left = --list->refs;
      if (left == 0) {
        if (list->sink) list->sink->lpVtbl->Release(list->sink);
        delete list;
      }
      return left;
    },
    [](IEnumConnections* self, ULONG count, CONNECTDATA* items, ULONG* fetched) -> HRESULT {
      if (!items) return E_POINTER;
      auto* list = ConnectionList::of(self);
      ULONG given = 0;
      if (count > 0 && list->sink && list->position == 0) {
        list->sink->lpVtbl->AddRef(list->sink);
        items[0] = CONNECTDATA{list->sink, 1};
        list->position = 1;
        given = 1;
      }
      if (fetched) *fetched = given;
      return given == count ? S_OK : S_FALSE;
    },
    [](IEnumConnections* self, ULONG count) -> HRESULT {
      auto* list = ConnectionList::of(self);
      ULONG total = list->sink ? 1 : 0;
      ULONG left = total - list->position;
      list->position += count < left ? count : left;
      return count <= left ? S_OK : S_FALSE;
    },
    [](IEnumConnections* self) -> HRESULT {
      ConnectionList::of(self)->position = 0;
      return S_OK;
    },
    [](IEnumConnections* self, IEnumConnections** copy) -> HRESULT {
      if (!copy) return E_POINTER;
      auto* list = ConnectionList::of(self);
      *copy = ConnectionList::make(list->sink, list->position);
      return *copy ? S_OK : E_OUTOFMEMORY;
    },
};

IEnumConnections* ConnectionList::make(IUnknown* sink, ULONG position) {
  auto* list = new (std::nothrow) ConnectionList{{&kConnectionListVtbl}, {1}, sink, position};
  if (!list) return nullptr;
  if (sink) sink->lpVtbl->AddRef(sink);
  return &list->iface;
}

// ---- IObjectSafety ----
HRESULT getSafety(IObjectSafety* self, REFIID iid, DWORD* supported, DWORD* enabled) {
  return object(self)->getSafety(iid, supported, enabled);
}
HRESULT setSafety(IObjectSafety* self, REFIID iid, DWORD mask, DWORD enabled) {
  return object(self)->setSafety(iid, mask, enabled);
}

// ---- IPersistPropertyBag ----
HRESULT getClassId(IPersistPropertyBag*, CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = CLSID_CoKinoro;
  return S_OK;
}

// ---- IOleObject: the site, the extent and the misc status; the rest is not offered ----
constexpr DWORD kMiscStatus = 205201;  // see the class registration's MiscStatus\1

// The host's window as its site tells it (IOleWindow, which in-place sites derive from).
HWND siteWindow(IOleClientSite* site) {
  if (!site) return 0;
  auto window = com::queryInterface<IOleWindow>(reinterpret_cast<IUnknown*>(site), IID_IOleWindow);
  HWND handle = 0;
  if (window && FAILED(window->lpVtbl->GetWindow(window.get(), &handle))) handle = 0;
  return handle;
}

HRESULT setClientSite(IOleObject* self, IOleClientSite* site) {
  KinoroObject* o = object(self);
  if (site) reinterpret_cast<IUnknown*>(site)->lpVtbl->AddRef(reinterpret_cast<IUnknown*>(site));
  if (o->site)
    reinterpret_cast<IUnknown*>(o->site)->lpVtbl->Release(reinterpret_cast<IUnknown*>(o->site));
  o->site = site;
  if (HWND host = siteWindow(site)) o->form().setHostWindow(host);
  return S_OK;
}

constexpr LONG kVerbHide = -3;

// Showing verbs place the form in the given window (else the site's) and rectangle.
HRESULT doVerb(IOleObject* self, LONG verb, MSG*, IOleClientSite* site, LONG, HWND parent,
               const RECT* position) {
  KinoroObject* o = object(self);
  if (verb == kVerbHide) {
    o->form().showInHost(false);
    return S_OK;
  }
  if (verb != OLEIVERB_PRIMARY && verb != OLEIVERB_SHOW && verb != OLEIVERB_INPLACEACTIVATE)
    return E_NOTIMPL;
  if (!parent) parent = siteWindow(site ? site : o->site);
  if (parent) o->form().setHostWindow(parent);
  if (position)
    o->form().place(position->left, position->top, position->right - position->left,
                    position->bottom - position->top);
  o->form().showInHost(true);
  return S_OK;
}
HRESULT getClientSite(IOleObject* self, IOleClientSite** site) {
  if (!site) return E_POINTER;
  *site = object(self)->site;
  if (*site) reinterpret_cast<IUnknown*>(*site)->lpVtbl->AddRef(reinterpret_cast<IUnknown*>(*site));
  return S_OK;
}

}  // namespace

const IConnectionPointContainerVtbl kContainerVtbl = {
    COM_FORWARD_IUNKNOWN(IConnectionPointContainer),
    [](IConnectionPointContainer*, IEnumConnectionPoints** points) -> HRESULT {
      if (points) *points = nullptr;
      return E_NOTIMPL;
    },
    findConnectionPoint,
};

const IConnectionPointVtbl kPointVtbl = {
    pointQueryInterface,
    addRef<IConnectionPoint>,
    release<IConnectionPoint>,
    [](IConnectionPoint*, IID* iid) -> HRESULT {
      if (!iid) return E_POINTER;
      *iid = DIID_IKinoroEvents;
      return S_OK;
    },
    [](IConnectionPoint* self, IConnectionPointContainer** container) -> HRESULT {
      return object(self)->queryInterface(&IID_IConnectionPointContainer,
                                          reinterpret_cast<void**>(container));
    },
    [](IConnectionPoint* self, IUnknown* sink, DWORD* cookie) -> HRESULT {
      return object(self)->advise(sink, cookie);
    },
    [](IConnectionPoint* self, DWORD cookie) -> HRESULT { return object(self)->unadvise(cookie); },
    [](IConnectionPoint* self, IEnumConnections** list) -> HRESULT {
      if (!list) return E_POINTER;
      *list = ConnectionList::make(object(self)->connection(), 0);
      return *list ? S_OK : E_OUTOFMEMORY;
    },
};

const IObjectSafetyVtbl kSafetyVtbl = {COM_FORWARD_IUNKNOWN(IObjectSafety), getSafety, setSafety};

const IPersistPropertyBagVtbl kBagVtbl = {
    COM_FORWARD_IUNKNOWN(IPersistPropertyBag),
    getClassId,
    [](IPersistPropertyBag*) -> HRESULT { return S_OK; },
    [](IPersistPropertyBag* self, IPropertyBag* bag, IErrorLog* log) -> HRESULT {
      return object(self)->loadProperties(bag, log);
    },
    [](IPersistPropertyBag* self, IPropertyBag* bag, BOOL, BOOL) -> HRESULT {
      return object(self)->saveProperties(bag);
    },
};

const ISupportErrorInfoVtbl kErrorVtbl = {
    COM_FORWARD_IUNKNOWN(ISupportErrorInfo),
    [](ISupportErrorInfo*, REFIID iid) -> HRESULT {
      return IsEqualGUID(iid, &IID_IKinoro) ? S_OK : S_FALSE;
    },
};

const IOleObjectVtbl kOleObjectVtbl = {
    COM_FORWARD_IUNKNOWN(IOleObject),
    setClientSite,
    getClientSite,
    [](IOleObject*, LPCOLESTR, LPCOLESTR) -> HRESULT { return S_OK; },
    [](IOleObject*, DWORD) -> HRESULT { return S_OK; },
    [](IOleObject*, DWORD, IMoniker*) -> HRESULT { return E_NOTIMPL; },
    [](IOleObject*, DWORD, DWORD, IMoniker** moniker) -> HRESULT {
      if (moniker) *moniker = nullptr;
      return E_NOTIMPL;
    },
    [](IOleObject*, IDataObject*, BOOL, DWORD) -> HRESULT { return E_NOTIMPL; },
    [](IOleObject*, DWORD, IDataObject** data) -> HRESULT {
      if (data) *data = nullptr;
      return E_NOTIMPL;
    },
    doVerb,
    [](IOleObject*, IEnumOLEVERB** verbs) -> HRESULT {
      if (verbs) *verbs = nullptr;
      return E_NOTIMPL;
    },
    [](IOleObject*) -> HRESULT { return S_OK; },
    [](IOleObject*) -> HRESULT { return S_OK; },
    [](IOleObject*, CLSID* clsid) -> HRESULT {
      if (!clsid) return E_POINTER;
      *clsid = CLSID_CoKinoro;
      return S_OK;
    },
    [](IOleObject*, DWORD, LPOLESTR* type) -> HRESULT {
      if (type) *type = nullptr;
      return E_NOTIMPL;
    },
    [](IOleObject* self, DWORD aspect, SIZEL* size) -> HRESULT {
      if (!size) return E_POINTER;
      if (aspect != DVASPECT_CONTENT) return E_FAIL;
      object(self)->extent = *size;
      return S_OK;
    },
    [](IOleObject* self, DWORD aspect, SIZEL* size) -> HRESULT {
      if (!size) return E_POINTER;
      if (aspect != DVASPECT_CONTENT) return E_FAIL;
      *size = object(self)->extent;
      return S_OK;
    },
    [](IOleObject*, IAdviseSink*, DWORD* connection) -> HRESULT {
      if (connection) *connection = 0;
      return E_NOTIMPL;
    },
    [](IOleObject*, DWORD) -> HRESULT { return E_NOTIMPL; },
    [](IOleObject*, IEnumSTATDATA** list) -> HRESULT {
      if (list) *list = nullptr;
      return E_NOTIMPL;
    },
    [](IOleObject*, DWORD, DWORD* status) -> HRESULT {
      if (!status) return E_POINTER;
      *status = kMiscStatus;
      return S_OK;
    },
    [](IOleObject*, LOGPALETTE*) -> HRESULT { return E_NOTIMPL; },
};

const IOleInPlaceObjectVtbl kInPlaceVtbl = {
    COM_FORWARD_IUNKNOWN(IOleInPlaceObject),
    // The form's native window (an X11 window id); a form without one fails.
    [](IOleInPlaceObject* self, HWND* window) -> HRESULT {
      if (!window) return E_POINTER;
      *window = object(self)->form().nativeWindow();
      return *window ? S_OK : E_FAIL;
    },
    [](IOleInPlaceObject*, BOOL) -> HRESULT { return E_NOTIMPL; },
    [](IOleInPlaceObject* self) -> HRESULT {
      object(self)->form().showInHost(false);
      return S_OK;
    },
    [](IOleInPlaceObject*) -> HRESULT { return S_OK; },
    [](IOleInPlaceObject* self, const RECT* position, const RECT*) -> HRESULT {
      if (!position) return E_POINTER;
      object(self)->form().place(position->left, position->top, position->right - position->left,
                                 position->bottom - position->top);
      return S_OK;
    },
    [](IOleInPlaceObject*) -> HRESULT { return E_NOTIMPL; },
};

const IProvideClassInfoVtbl kClassInfoVtbl = {
    COM_FORWARD_IUNKNOWN(IProvideClassInfo),
    [](IProvideClassInfo*, ITypeInfo** info) -> HRESULT {
      if (!info) return E_POINTER;
      *info = classTypeInfo();
      return S_OK;
    },
};

}  // namespace nivra::control
