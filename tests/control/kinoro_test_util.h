#pragma once
// Creating a control object in-process and calling it the way a host does.

#include <gtest/gtest.h>

#include <string>

#include "control/kinoro_object.h"
#include "control/stub_form.h"
#include "control/variant_values.h"
#include "platform/com/com_util.h"

namespace nivra::control::test {

inline com::ComPtr<IKinoro> createControl() {
  com::ComPtr<IKinoro> control;
  EXPECT_EQ(KinoroObject::create(&IID_IKinoro, reinterpret_cast<void**>(control.put())), S_OK);
  return control;
}

// The stand-in form behind a control made by createControl().
inline StubKinoroForm& stubForm(IKinoro* control) {
  return static_cast<StubKinoroForm&>(KinoroObject::of(control)->form());
}

// IDispatch::Invoke as a script engine calls it; the result variant is the caller's to clear.
struct Call {
  HRESULT hr = E_UNEXPECTED;
  VARIANT result;
  EXCEPINFO exception{};
  UINT argErr = 99;
  Call() { VariantInit(&result); }
  Call(const Call&) = delete;
  std::u16string description() const {
    return std::u16string(com::bstrView(exception.bstrDescription));
  }
  ~Call() {
    VariantClear(&result);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
  }
};

inline void invoke(IKinoro* control, DISPID id, WORD flags, VARIANT* argument, Call* call) {
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{argument, argument && flags != DISPATCH_METHOD ? &named : nullptr,
                    argument ? 1u : 0u, argument && flags != DISPATCH_METHOD ? 1u : 0u};
  call->hr = control->lpVtbl->Invoke(control, id, &GUID_NULL, 0, flags, &params, &call->result,
                                     &call->exception, &call->argErr);
}

// Arguments as a script engine passes them (the caller clears them).
inline VARIANT textArgument(std::u16string_view text) { return textValue(text); }
inline VARIANT longArgument(LONG n) { return longValue(n); }

}  // namespace nivra::control::test
