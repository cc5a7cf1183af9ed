// VariantChangeType: the conversions a dispatch call and a property bag need between numbers,
// booleans and text. Numbers round half to even when they lose their fraction; text is parsed
// in the C locale ("1.5", "-3", "True").

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <variant>

#include "platform/com/com_abi.h"
#include "platform/com/com_util.h"

namespace {

struct Empty {};
// A source value reduced to one of these; a std::monostate means "cannot convert".
using Value = std::variant<std::monostate, Empty, std::int64_t, std::uint64_t, double, bool,
                           std::u16string, IUnknown*>;

bool isKnown(VARTYPE vt) {
  switch (vt) {
    case VT_EMPTY:
    case VT_NULL:
    case VT_I2:
    case VT_I4:
    case VT_R4:
    case VT_R8:
    case VT_CY:
    case VT_DATE:
    case VT_BSTR:
    case VT_DISPATCH:
    case VT_ERROR:
    case VT_BOOL:
    case VT_UNKNOWN:
    case VT_DECIMAL:
    case VT_I1:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_I8:
    case VT_UI8:
    case VT_INT:
    case VT_UINT:
      return true;
    default:
      return false;
  }
}

Value read(const VARIANT& v) {
  switch (v.vt) {
    case VT_EMPTY:
      return Empty{};
    case VT_I1:
      return std::int64_t{v.cVal};
    case VT_I2:
      return std::int64_t{v.iVal};
    case VT_I4:
      return std::int64_t{v.lVal};
    case VT_INT:
      return std::int64_t{v.intVal};
    case VT_I8:
      return std::int64_t{v.llVal};
    case VT_UI1:
      return std::uint64_t{v.bVal};
    case VT_UI2:
      return std::uint64_t{v.uiVal};
    case VT_UI4:
      return std::uint64_t{v.ulVal};
    case VT_UINT:
      return std::uint64_t{v.uintVal};
    case VT_UI8:
      return std::uint64_t{v.ullVal};
    case VT_R4:
      return double{v.fltVal};
    case VT_R8:
      return v.dblVal;
    case VT_BOOL:
      return v.boolVal != 0;
    case VT_BSTR:
      return std::u16string(nivra::com::bstrView(v.bstrVal));
    case VT_UNKNOWN:
    case VT_DISPATCH:
      return v.punkVal;
    default:
      return std::monostate{};
  }
}

bool isSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

// ASCII text of a number; nullopt for other characters.
std::optional<std::string> asciiTrimmed(std::u16string_view text) {
  while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
  std::string out;
  for (char16_t c : text) {
    if (c > 0x7F) return std::nullopt;
    out.push_back(static_cast<char>(c));
  }
  return out;
}

bool equalsNoCase(const std::string& a, const char* b) {
  std::size_t i = 0;
  for (; i < a.size() && b[i]; ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != b[i]) return false;
  return i == a.size() && !b[i];
}

// Text as a number: an exact integer when it is one, else a floating value.
Value parseNumber(std::u16string_view text) {
  auto ascii = asciiTrimmed(text);
  if (!ascii || ascii->empty()) return std::monostate{};
  const char* begin = ascii->c_str();
  char* end = nullptr;
  errno = 0;
  if (ascii->front() == '-') {
    long long n = std::strtoll(begin, &end, 10);
    if (errno == 0 && *end == 0) return std::int64_t{n};
  } else {
    unsigned long long n = std::strtoull(begin, &end, 10);
    if (errno == 0 && *end == 0) return std::uint64_t{n};
  }
  errno = 0;
  double d = std::strtod(begin, &end);
  if (*end != 0 || !std::isfinite(d)) return std::monostate{};
  return d;
}

// Everything numeric as an exact integer or a double; bool counts as -1/0.
Value toNumber(const Value& v) {
  if (std::holds_alternative<Empty>(v)) return std::int64_t{0};
  if (auto* b = std::get_if<bool>(&v)) return std::int64_t{*b ? -1 : 0};
  if (auto* s = std::get_if<std::u16string>(&v)) {
    if (auto ascii = asciiTrimmed(*s)) {
      if (equalsNoCase(*ascii, "true")) return std::int64_t{-1};
      if (equalsNoCase(*ascii, "false")) return std::int64_t{0};
    }
    return parseNumber(*s);
  }
  if (std::holds_alternative<std::int64_t>(v) || std::holds_alternative<std::uint64_t>(v) ||
      std::holds_alternative<double>(v))
    return v;
  return std::monostate{};
}

// An integer in [lo, hi]; doubles round half to even. HRESULT on failure.
HRESULT toInteger(const Value& v, long double lo, long double hi, std::int64_t* signedOut,
                  std::uint64_t* unsignedOut) {
  Value n = toNumber(v);
  long double x;
  if (auto* i = std::get_if<std::int64_t>(&n))
    x = static_cast<long double>(*i);
  else if (auto* u = std::get_if<std::uint64_t>(&n))
    x = static_cast<long double>(*u);
  else if (auto* d = std::get_if<double>(&n))
    x = std::nearbyint(static_cast<long double>(*d));  // the default mode rounds half to even
  else
    return DISP_E_TYPEMISMATCH;
  if (x < lo || x > hi) return DISP_E_OVERFLOW;
  if (auto* u = std::get_if<std::uint64_t>(&n)) {
    *unsignedOut = *u;
    *signedOut = static_cast<std::int64_t>(*u);
  } else if (auto* i = std::get_if<std::int64_t>(&n)) {
    *signedOut = *i;
    *unsignedOut = static_cast<std::uint64_t>(*i);
  } else {
    *signedOut = static_cast<std::int64_t>(x);
    *unsignedOut = x < 0 ? 0 : static_cast<std::uint64_t>(x);
  }
  return S_OK;
}

HRESULT toDouble(const Value& v, double* out) {
  Value n = toNumber(v);
  if (auto* i = std::get_if<std::int64_t>(&n))
    *out = static_cast<double>(*i);
  else if (auto* u = std::get_if<std::uint64_t>(&n))
    *out = static_cast<double>(*u);
  else if (auto* d = std::get_if<double>(&n))
    *out = *d;
  else
    return DISP_E_TYPEMISMATCH;
  return S_OK;
}

std::u16string widen(const std::string& s) { return std::u16string(s.begin(), s.end()); }

HRESULT toText(const Value& v, USHORT flags, std::u16string* out) {
  char buffer[64];
  if (std::holds_alternative<Empty>(v)) {
    out->clear();
  } else if (auto* s = std::get_if<std::u16string>(&v)) {
    *out = *s;
  } else if (auto* b = std::get_if<bool>(&v)) {
    if (flags & VARIANT_ALPHABOOL)
      *out = *b ? u"True" : u"False";
    else
      *out = *b ? u"-1" : u"0";
  } else if (auto* i = std::get_if<std::int64_t>(&v)) {
    *out = widen(std::to_string(*i));
  } else if (auto* u = std::get_if<std::uint64_t>(&v)) {
    *out = widen(std::to_string(*u));
  } else if (auto* d = std::get_if<double>(&v)) {
    std::snprintf(buffer, sizeof buffer, "%.15G", *d);
    *out = widen(buffer);
  } else {
    return DISP_E_TYPEMISMATCH;
  }
  return S_OK;
}

HRESULT convert(const VARIANT& source, USHORT flags, VARTYPE type, VARIANT* result) {
  if (source.vt == VT_NULL || type == VT_NULL) {
    if (source.vt != type) return DISP_E_TYPEMISMATCH;
    result->vt = VT_NULL;
    return S_OK;
  }
  Value v = read(source);
  if (std::holds_alternative<std::monostate>(v)) return DISP_E_TYPEMISMATCH;
  // A float source keeps its own precision in text.
  if (source.vt == VT_R4 && type == VT_BSTR) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.7G", double{source.fltVal});
    result->vt = VT_BSTR;
    result->bstrVal = nivra::com::makeBstr(widen(buffer));
    return result->bstrVal ? S_OK : E_OUTOFMEMORY;
  }
  std::int64_t s = 0;
  std::uint64_t u = 0;
  HRESULT hr = S_OK;
  using L = std::numeric_limits<std::int64_t>;
  switch (type) {
    case VT_EMPTY:
      break;
    case VT_BOOL: {
      if (std::holds_alternative<IUnknown*>(v)) return DISP_E_TYPEMISMATCH;
      double d = 0;
      if (FAILED(hr = toDouble(v, &d))) return hr;
      result->boolVal = d != 0 ? VARIANT_TRUE : VARIANT_FALSE;
      break;
    }
    case VT_I1:
      hr = toInteger(v, -128, 127, &s, &u);
      result->cVal = static_cast<int8_t>(s);
      break;
    case VT_I2:
      hr = toInteger(v, -32768, 32767, &s, &u);
      result->iVal = static_cast<SHORT>(s);
      break;
    case VT_I4:
    case VT_INT:
      hr = toInteger(v, -2147483648.0L, 2147483647.0L, &s, &u);
      result->lVal = static_cast<LONG>(s);
      break;
    case VT_I8:
      hr = toInteger(v, L::min(), L::max(), &s, &u);
      result->llVal = s;
      break;
    case VT_UI1:
      hr = toInteger(v, 0, 255, &s, &u);
      result->bVal = static_cast<BYTE>(u);
      break;
    case VT_UI2:
      hr = toInteger(v, 0, 65535, &s, &u);
      result->uiVal = static_cast<USHORT>(u);
      break;
    case VT_UI4:
    case VT_UINT:
      hr = toInteger(v, 0, 4294967295.0L, &s, &u);
      result->ulVal = static_cast<ULONG>(u);
      break;
    case VT_UI8:
      hr = toInteger(v, 0, 18446744073709551615.0L, &s, &u);
      result->ullVal = u;
      break;
    case VT_R4: {
      double d = 0;
      if (FAILED(hr = toDouble(v, &d))) return hr;
      if (std::fabs(d) > std::numeric_limits<float>::max()) return DISP_E_OVERFLOW;
      result->fltVal = static_cast<float>(d);
      break;
    }
    case VT_R8:
      hr = toDouble(v, &result->dblVal);
      break;
    case VT_BSTR: {
      std::u16string text;
      if (FAILED(hr = toText(v, flags, &text))) return hr;
      result->bstrVal = nivra::com::makeBstr(text);
      if (!result->bstrVal) return E_OUTOFMEMORY;
      break;
    }
    case VT_UNKNOWN:
    case VT_DISPATCH: {
      auto* p = std::get_if<IUnknown*>(&v);
      if (!p) return DISP_E_TYPEMISMATCH;
      if (!*p) {
        result->punkVal = nullptr;
      } else if (type == VT_UNKNOWN) {
        hr = (*p)->lpVtbl->QueryInterface(*p, &IID_IUnknown,
                                          reinterpret_cast<void**>(&result->punkVal));
      } else {
        hr = (*p)->lpVtbl->QueryInterface(*p, &IID_IDispatch,
                                          reinterpret_cast<void**>(&result->pdispVal));
        if (FAILED(hr)) hr = DISP_E_TYPEMISMATCH;
      }
      break;
    }
    default:
      return DISP_E_TYPEMISMATCH;
  }
  if (FAILED(hr)) return hr;
  result->vt = type;
  return S_OK;
}

}  // namespace

extern "C" HRESULT VariantChangeType(VARIANTARG* destination, const VARIANTARG* source,
                                     USHORT flags, VARTYPE type) {
  if (!destination || !source) return E_INVALIDARG;
  if (!isKnown(type) || (!(source->vt & VT_BYREF) && !isKnown(source->vt)))
    return DISP_E_BADVARTYPE;
  VARIANT value;
  VariantInit(&value);
  HRESULT hr = VariantCopyInd(&value, source);
  if (FAILED(hr)) return hr;
  VARIANT result;
  VariantInit(&result);
  if (value.vt == type && type != VT_NULL) {
    result = value;  // takes over what the copy owns
    VariantInit(&value);
  } else {
    hr = convert(value, flags, type, &result);
    VariantClear(&value);
    if (FAILED(hr)) {
      VariantClear(&result);
      return hr;
    }
  }
  VariantClear(destination);
  *destination = result;
  return S_OK;
}
