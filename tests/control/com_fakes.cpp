#include "tests/control/com_fakes.h"

namespace nivra::control::test {
namespace {

FakeSink* sinkOf(IDispatch* self) { return reinterpret_cast<FakeSink*>(self); }

const IDispatchVtbl kSinkVtbl = {
    [](IDispatch* self, REFIID iid, void** out) -> HRESULT {
      bool events = IsEqualGUID(iid, &DIID_IKinoroEvents) && sinkOf(self)->answersEvents;
      if (IsEqualGUID(iid, &IID_IUnknown) || IsEqualGUID(iid, &IID_IDispatch) || events) {
        ++sinkOf(self)->refs;
        *out = self;
        return S_OK;
      }
      *out = nullptr;
      return E_NOINTERFACE;
    },
    [](IDispatch* self) -> ULONG { return ++sinkOf(self)->refs; },
    [](IDispatch* self) -> ULONG { return --sinkOf(self)->refs; },
    [](IDispatch*, UINT* count) -> HRESULT {
      *count = 0;
      return S_OK;
    },
    [](IDispatch*, UINT, LCID, ITypeInfo**) -> HRESULT { return E_NOTIMPL; },
    [](IDispatch*, REFIID, LPOLESTR*, UINT, LCID, DISPID*) -> HRESULT { return E_NOTIMPL; },
    [](IDispatch* self, DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT*,
       EXCEPINFO*, UINT*) -> HRESULT {
      FakeSink* sink = sinkOf(self);
      if (flags != DISPATCH_METHOD) return E_INVALIDARG;
      sink->received.push_back(id);
      if (id == DISPID_OnKeyPress) {
        if (params->cArgs != 1 || params->rgvarg[0].vt != (VT_I2 | VT_BYREF)) return E_INVALIDARG;
        sink->keysSeen.push_back(*params->rgvarg[0].piVal);
        if (sink->keyReply >= 0) *params->rgvarg[0].piVal = sink->keyReply;
      } else if (params->cArgs != 0) {
        return E_INVALIDARG;
      }
      return S_OK;
    },
};

FakeBag* bagOf(IPropertyBag* self) { return reinterpret_cast<FakeBag*>(self); }

const IPropertyBagVtbl kBagVtbl = {
    [](IPropertyBag*, REFIID, void** out) -> HRESULT {
      *out = nullptr;
      return E_NOINTERFACE;
    },
    [](IPropertyBag*) -> ULONG { return 1; },
    [](IPropertyBag*) -> ULONG { return 1; },
    [](IPropertyBag* self, LPCOLESTR name, VARIANT* value, IErrorLog*) -> HRESULT {
      FakeBag* bag = bagOf(self);
      std::u16string key(com::oleView(name));
      bag->asked.push_back(key);
      if (key == bag->abortOn) return E_ABORT;
      auto it = bag->values.find(key);
      if (it == bag->values.end()) return E_INVALIDARG;
      value->vt = VT_BSTR;
      value->bstrVal = com::makeBstr(it->second);
      return S_OK;
    },
    [](IPropertyBag* self, LPCOLESTR name, VARIANT* value) -> HRESULT {
      if (value->vt == VT_DISPATCH) {  // objects are not kept as text
        bagOf(self)->written[std::u16string(com::oleView(name))] = u"<object>";
        return S_OK;
      }
      VARIANT text;
      VariantInit(&text);
      HRESULT hr = VariantChangeType(&text, value, 0, VT_BSTR);
      if (FAILED(hr)) return hr;
      bagOf(self)->written[std::u16string(com::oleView(name))] =
          std::u16string(com::bstrView(text.bstrVal));
      VariantClear(&text);
      return S_OK;
    },
};

const IErrorLogVtbl kLogVtbl = {
    [](IErrorLog*, REFIID, void** out) -> HRESULT {
      *out = nullptr;
      return E_NOINTERFACE;
    },
    [](IErrorLog*) -> ULONG { return 1; },
    [](IErrorLog*) -> ULONG { return 1; },
    [](IErrorLog* self, LPCOLESTR property, EXCEPINFO* error) -> HRESULT {
      reinterpret_cast<FakeErrorLog*>(self)->errors.emplace_back(
          com::oleView(property), com::bstrView(error->bstrDescription));
      return S_OK;
    },
};

}  // namespace

FakeSink::FakeSink() : iface{&kSinkVtbl} {}
FakeBag::FakeBag() : iface{&kBagVtbl} {}
FakeErrorLog::FakeErrorLog() : iface{&kLogVtbl} {}

}  // namespace nivra::control::test
