// Strings, variant lifetimes and the thread's error information.

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/com/com_abi.h"
#include "platform/com/com_util.h"

namespace {

// The byte count sits in the four bytes before the characters.
std::uint32_t* lengthPrefix(BSTR text) {
  return reinterpret_cast<std::uint32_t*>(reinterpret_cast<char*>(text) - sizeof(std::uint32_t));
}

// The error information object of SetErrorInfo: fixed texts, reference counted.
struct ErrorInfo {
  IErrorInfo iface;
  std::atomic<ULONG> refs{1};
  GUID guid;
  BSTR source;
  BSTR description;

  static ErrorInfo* of(IErrorInfo* self) { return reinterpret_cast<ErrorInfo*>(self); }

  static HRESULT queryInterface(IErrorInfo* self, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualGUID(iid, &IID_IUnknown) || IsEqualGUID(iid, &IID_IErrorInfo)) {
      addRef(self);
      *object = self;
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  static ULONG addRef(IErrorInfo* self) { return ++of(self)->refs; }
  static ULONG release(IErrorInfo* self) {
    ULONG left = --of(self)->refs;
    if (left == 0) {
      SysFreeString(of(self)->source);
      SysFreeString(of(self)->description);
      delete of(self);
    }
    return left;
  }
  static HRESULT copyText(BSTR text, BSTR* out) {
    if (!out) return E_POINTER;
    *out = text ? SysAllocStringLen(text, SysStringLen(text)) : nullptr;
    return S_OK;
  }
  static HRESULT getGuid(IErrorInfo* self, GUID* guid) {
    if (!guid) return E_POINTER;
    *guid = of(self)->guid;
    return S_OK;
  }
  static HRESULT getSource(IErrorInfo* self, BSTR* out) { return copyText(of(self)->source, out); }
  static HRESULT getDescription(IErrorInfo* self, BSTR* out) {
    return copyText(of(self)->description, out);
  }
  static HRESULT getHelpFile(IErrorInfo*, BSTR* out) { return copyText(nullptr, out); }
  static HRESULT getHelpContext(IErrorInfo*, DWORD* out) {
    if (!out) return E_POINTER;
    *out = 0;
    return S_OK;
  }
};

const IErrorInfoVtbl kErrorInfoVtbl = {
    ErrorInfo::queryInterface, ErrorInfo::addRef,         ErrorInfo::release,
    ErrorInfo::getGuid,        ErrorInfo::getSource,      ErrorInfo::getDescription,
    ErrorInfo::getHelpFile,    ErrorInfo::getHelpContext,
};

// The thread's slot; the reference is dropped when the thread ends.
struct ErrorSlot {
  IErrorInfo* info = nullptr;
  ~ErrorSlot() {
    if (info) info->lpVtbl->Release(info);
  }
};
thread_local ErrorSlot errorSlot;

}  // namespace

extern "C" {

BSTR SysAllocStringLen(const OLECHAR* text, UINT length) {
  const std::size_t bytes = std::size_t{length} * sizeof(OLECHAR);
  if (bytes > 0x7FFFFFF0u) return nullptr;
  auto* block = static_cast<char*>(std::malloc(sizeof(std::uint32_t) + bytes + sizeof(OLECHAR)));
  if (!block) return nullptr;
  const std::uint32_t prefix = static_cast<std::uint32_t>(bytes);
  std::memcpy(block, &prefix, sizeof prefix);
  auto* chars = reinterpret_cast<OLECHAR*>(block + sizeof(std::uint32_t));
  if (text)
    std::memcpy(chars, text, bytes);
  else
    std::memset(chars, 0, bytes);
  chars[length] = 0;
  return chars;
}

BSTR SysAllocString(const OLECHAR* text) {
  if (!text) return nullptr;
  UINT length = 0;
  while (text[length]) ++length;
  return SysAllocStringLen(text, length);
}

void SysFreeString(BSTR text) {
  if (text) std::free(lengthPrefix(text));
}

UINT SysStringByteLen(BSTR text) { return text ? *lengthPrefix(text) : 0; }

UINT SysStringLen(BSTR text) { return SysStringByteLen(text) / sizeof(OLECHAR); }

void VariantInit(VARIANTARG* value) {
  if (!value) return;
  std::memset(value, 0, sizeof *value);
  value->vt = VT_EMPTY;
}

HRESULT VariantClear(VARIANTARG* value) {
  if (!value) return E_INVALIDARG;
  if (value->vt & VT_ARRAY) return DISP_E_BADVARTYPE;
  if (!(value->vt & VT_BYREF)) {
    switch (value->vt) {
      case VT_BSTR:
        SysFreeString(value->bstrVal);
        break;
      case VT_UNKNOWN:
      case VT_DISPATCH:
        if (value->punkVal) value->punkVal->lpVtbl->Release(value->punkVal);
        break;
      default:
        break;
    }
  }
  VariantInit(value);
  return S_OK;
}

HRESULT VariantCopy(VARIANTARG* destination, const VARIANTARG* source) {
  if (!destination || !source) return E_INVALIDARG;
  if (source->vt & VT_ARRAY) return DISP_E_BADVARTYPE;
  VARIANT copy = *source;
  if (!(source->vt & VT_BYREF)) {
    if (source->vt == VT_BSTR && source->bstrVal) {
      copy.bstrVal = SysAllocStringLen(source->bstrVal, SysStringLen(source->bstrVal));
      if (!copy.bstrVal) return E_OUTOFMEMORY;
    } else if ((source->vt == VT_UNKNOWN || source->vt == VT_DISPATCH) && source->punkVal) {
      source->punkVal->lpVtbl->AddRef(source->punkVal);
    }
  }
  if (destination != source) VariantClear(destination);
  *destination = copy;
  return S_OK;
}

HRESULT VariantCopyInd(VARIANT* destination, const VARIANTARG* source) {
  if (!destination || !source) return E_INVALIDARG;
  if (!(source->vt & VT_BYREF)) return VariantCopy(destination, source);
  if (!source->byref) return E_INVALIDARG;
  const VARTYPE base = source->vt & ~VT_BYREF;
  if (base == VT_VARIANT) return VariantCopyInd(destination, source->pvarVal);
  VARIANT value;
  VariantInit(&value);
  value.vt = base;
  switch (base) {
    case VT_I1:
    case VT_UI1:
      value.bVal = *static_cast<BYTE*>(source->byref);
      break;
    case VT_I2:
    case VT_UI2:
    case VT_BOOL:
      value.iVal = *source->piVal;
      break;
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_ERROR:
    case VT_R4:
      std::memcpy(&value.lVal, source->byref, 4);
      break;
    case VT_I8:
    case VT_UI8:
    case VT_R8:
    case VT_CY:
    case VT_DATE:
      std::memcpy(&value.llVal, source->byref, 8);
      break;
    case VT_BSTR:
      value.bstrVal = *source->pbstrVal;
      break;
    case VT_UNKNOWN:
    case VT_DISPATCH:
      value.punkVal = *source->ppunkVal;
      break;
    default:
      return DISP_E_BADVARTYPE;
  }
  // `value` borrows; the copy owns.
  VARIANT copy;
  VariantInit(&copy);
  HRESULT hr = VariantCopy(&copy, &value);
  if (FAILED(hr)) return hr;
  VariantClear(destination);
  *destination = copy;
  return S_OK;
}

HRESULT SetErrorInfo(ULONG, IErrorInfo* info) {
  if (info) info->lpVtbl->AddRef(info);
  IErrorInfo* old = errorSlot.info;
  errorSlot.info = info;
  if (old) old->lpVtbl->Release(old);
  return S_OK;
}

HRESULT GetErrorInfo(ULONG, IErrorInfo** info) {
  if (!info) return E_INVALIDARG;
  *info = errorSlot.info;
  errorSlot.info = nullptr;
  return *info ? S_OK : S_FALSE;
}

}  // extern "C"

namespace nivra::com {

BSTR makeBstr(std::u16string_view text) {
  return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

std::u16string_view bstrView(const OLECHAR* text) {
  if (!text) return {};
  return {text, SysStringLen(const_cast<BSTR>(text))};
}

std::u16string_view oleView(const OLECHAR* text) {
  return text ? std::u16string_view(text) : std::u16string_view();
}

std::string guidText(const GUID& g) {
  char text[40];
  std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                unsigned(g.Data1), unsigned(g.Data2), unsigned(g.Data3), g.Data4[0], g.Data4[1],
                g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
  return text;
}

void setErrorDescription(std::u16string_view description, std::u16string_view source,
                         const IID& iid) {
  auto* info = new (std::nothrow) ErrorInfo{{&kErrorInfoVtbl}, {1}, iid, nullptr, nullptr};
  if (!info) return;
  info->source = makeBstr(source);
  info->description = makeBstr(description);
  SetErrorInfo(0, &info->iface);
  info->iface.lpVtbl->Release(&info->iface);
}

}  // namespace nivra::com
