#include "control/member_table.h"

namespace nivra::control {
namespace {

constexpr Access accessOf(std::string_view a) {
  return a == "GET"         ? Access::Get
         : a == "GETPUT"    ? Access::GetPut
         : a == "GETPUTREF" ? Access::GetPutRef
                            : Access::Method;
}

#define KINORO_MEMBER_ROW(order, dispid, Name, access, T, vt, hidden) \
  Member{order, dispid, #Name, accessOf(#access), vt, hidden != 0, 0},

constexpr auto kMembers = [] {
  std::array rows{KINORO_MEMBERS(KINORO_MEMBER_ROW)};
  int slot = kDispatchSlots;
  for (auto& row : rows) {
    row.firstSlot = slot;
    slot += row.slotCount();
  }
  return rows;
}();
#undef KINORO_MEMBER_ROW

#define KINORO_EVENT_ROW(dispid, Name, args) Event{dispid, #Name, args},
constexpr std::array kEvents{KINORO_EVENTS(KINORO_EVENT_ROW)};
#undef KINORO_EVENT_ROW

static_assert(kMembers.back().firstSlot + kMembers.back().slotCount() ==
                  static_cast<int>(sizeof(IKinoroVtbl) / sizeof(void*)),
              "the member table and the vtable disagree");

char16_t lowerAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? c + (u'a' - u'A') : c; }

}  // namespace

std::span<const Member> members() { return kMembers; }
std::span<const Event> events() { return kEvents; }
int kinoroSlotCount() { return kMembers.back().firstSlot + kMembers.back().slotCount(); }

const Member* memberByDispid(DISPID dispid) {
  for (const auto& m : kMembers)
    if (m.dispid == dispid) return &m;
  return nullptr;
}

const Member& memberByOrder(int order) { return kMembers[static_cast<std::size_t>(order - 1)]; }

bool equalsNoCase(std::u16string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (lowerAscii(a[i]) != lowerAscii(static_cast<char16_t>(b[i]))) return false;
  return true;
}

const Member* memberByName(std::u16string_view name) {
  for (const auto& m : kMembers)
    if (equalsNoCase(name, m.name)) return &m;
  return nullptr;
}

const Event* eventByName(std::u16string_view name) {
  for (const auto& e : kEvents)
    if (equalsNoCase(name, e.name)) return &e;
  return nullptr;
}

}  // namespace nivra::control
