#pragma once
// VARIANTs of the member types, as the form's gets return them (the caller owns them).

#include <string_view>

#include "platform/com/com_util.h"

namespace nivra::control {

inline VARIANT boolValue(bool b) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BOOL;
  v.boolVal = b ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}
inline VARIANT longValue(LONG n) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = n;
  return v;
}
inline VARIANT unsignedValue(ULONG n) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_UI4;
  v.ulVal = n;
  return v;
}
inline VARIANT textValue(std::u16string_view text) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = com::makeBstr(text);
  return v;
}

}  // namespace nivra::control
