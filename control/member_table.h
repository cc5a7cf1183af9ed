#pragma once
// The IKinoro member table as data: one row per member of kinoro_abi.h, with the vtable slot
// each member's first operation takes. Dispatch, type information and property-bag loading
// all read this table.

#include <array>
#include <optional>
#include <span>
#include <string_view>

#include "control/kinoro_abi.h"

namespace nivra::control {

enum class Access { Get, GetPut, GetPutRef, Method };

struct Member {
  int order;  // 1-based position in the interface
  DISPID dispid;
  std::string_view name;
  Access access;
  VARTYPE vt;  // VT_EMPTY for a method
  bool hidden;
  int firstSlot;  // vtable slot of the get (or of the method); IUnknown and IDispatch take 0..6

  constexpr bool canGet() const { return access != Access::Method; }
  constexpr bool canPut() const { return access == Access::GetPut || access == Access::GetPutRef; }
  constexpr int slotCount() const {
    return access == Access::GetPutRef ? 3 : access == Access::GetPut ? 2 : 1;
  }
};

struct Event {
  DISPID dispid;
  std::string_view name;
  int argumentCount;
};

inline constexpr int kDispatchSlots = 7;

std::span<const Member> members();
std::span<const Event> events();
// Slots of the whole IKinoro vtable.
int kinoroSlotCount();

const Member* memberByDispid(DISPID dispid);
const Member& memberByOrder(int order);
// Case-insensitive (ASCII) name lookup over 16-bit text.
const Member* memberByName(std::u16string_view name);
const Event* eventByName(std::u16string_view name);

bool equalsNoCase(std::u16string_view a, std::string_view b);

}  // namespace nivra::control
