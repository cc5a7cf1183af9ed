/* The layout rows computed by the C compiler (C11, pedantic): a C host sees the same tables. */
#include <stddef.h>

#include "platform/com/com_abi.h"
#include "tests/platform/com/abi_rows.h"

#define SLOT_OF(Vtbl, slot, expected) offsetof(Vtbl, slot) / sizeof(void*),
#define LAYOUT_OF(name, expression, expected) expression,

const size_t com_abi_c_slots[] = {COM_ABI_SLOT_ROWS(SLOT_OF)};
const size_t com_abi_c_layout[] = {COM_ABI_LAYOUT_ROWS(LAYOUT_OF)};

/* A string round trip through the C view of the functions. */
int com_abi_c_bstr_round_trip(void) {
  static const OLECHAR text[] = {'K', 'i', 'n', 'o', 'r', 'o', 0};
  BSTR copy = SysAllocString(text);
  int ok = copy && SysStringLen(copy) == 6 && copy[6] == 0 && copy[0] == 'K';
  SysFreeString(copy);
  return ok;
}
