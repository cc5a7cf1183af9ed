#pragma once
// The form behind the control object: what IKinoro's members read, write and call, and the
// notices the form gives its control object, which turns them into IKinoroEvents calls.

#include <cstdint>

#include "control/member_table.h"

namespace nivra::control {

// The control object's side: events for the host's sink.
class FormNotifications {
 public:
  virtual ~FormNotifications() = default;
  // An event without arguments (DISPID of KINORO_EVENTS).
  virtual void raiseEvent(DISPID event) = 0;
  // OnKeyPress: the character the host leaves (its low byte; 0 suppresses the key).
  virtual char16_t raiseKeyPress(char16_t key) = 0;
};

// Member operations. `out` arrives VT_EMPTY and leaves holding a value of the member's type,
// owned by the caller; a put receives a value of the member's type, booleans as -1/0. Failures
// throw nivra::Error with the text the host shows.
class KinoroForm {
 public:
  virtual ~KinoroForm() = default;
  virtual void get(const Member& member, VARIANT* out) = 0;
  virtual void put(const Member& member, const VARIANT& value) = 0;
  virtual void call(const Member& member) = 0;

  // Placing the form in its host: its native window (0 when it has none), its rectangle in the
  // host's window, the host's window to live in, shown or hidden.
  virtual std::uintptr_t nativeWindow() { return 0; }
  virtual void place(int /*left*/, int /*top*/, int /*width*/, int /*height*/) {}
  virtual void setHostWindow(std::uintptr_t /*window*/) {}
  virtual void showInHost(bool /*visible*/) {}
};

}  // namespace nivra::control
