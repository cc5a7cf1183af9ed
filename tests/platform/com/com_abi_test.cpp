// The binary layout of the interface tables and data structures, as C and C++ see them, and
// the lifetimes of strings and variants.

#include "platform/com/com_abi.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>

#include "platform/com/com_util.h"
#include "tests/platform/com/abi_rows.h"

extern "C" {
extern const size_t com_abi_c_slots[];
extern const size_t com_abi_c_layout[];
int com_abi_c_bstr_round_trip(void);
}

namespace nivra::com {
namespace {

struct LayoutRow {
  const char* name;
  std::size_t cxx;
  std::size_t expected;
};

#define SLOT_ROW(Vtbl, slot, expected) \
  {#Vtbl "::" #slot, offsetof(Vtbl, slot) / sizeof(void*), expected},
#define LAYOUT_ROW(name, expression, expected) {#name, expression, expected},
const LayoutRow kSlots[] = {COM_ABI_SLOT_ROWS(SLOT_ROW)};
const LayoutRow kLayout[] = {COM_ABI_LAYOUT_ROWS(LAYOUT_ROW)};

TEST(ComAbiLayout, SlotsAreInTheOrderHostsCallThemFromCAndCxx) {
  for (std::size_t i = 0; i < std::size(kSlots); ++i) {
    SCOPED_TRACE(kSlots[i].name);
    EXPECT_EQ(kSlots[i].cxx, kSlots[i].expected);
    EXPECT_EQ(com_abi_c_slots[i], kSlots[i].expected);
  }
  // Whole tables: no slot missing at the end.
  EXPECT_EQ(sizeof(ITypeInfoVtbl), 22 * sizeof(void*));
  EXPECT_EQ(sizeof(IOleObjectVtbl), 24 * sizeof(void*));
  EXPECT_EQ(sizeof(ITypeLibVtbl), 13 * sizeof(void*));
}

TEST(ComAbiLayout, DataStructuresHaveTheSixtyFourBitLayout) {
  for (std::size_t i = 0; i < std::size(kLayout); ++i) {
    SCOPED_TRACE(kLayout[i].name);
    EXPECT_EQ(kLayout[i].cxx, kLayout[i].expected);
    EXPECT_EQ(com_abi_c_layout[i], kLayout[i].expected);
  }
  EXPECT_EQ(com_abi_c_bstr_round_trip(), 1);
}

TEST(ComAbiLayout, GuidTextIsUpperCaseWithBraces) {
  EXPECT_EQ(guidText(IID_IDispatch), "{00020400-0000-0000-C000-000000000046}");
  EXPECT_EQ(guidText(IID_IObjectSafety), "{CB5BDC81-93C1-11CF-8F20-00805F2CD064}");
  EXPECT_TRUE(IsEqualGUID(&IID_IUnknown, &IID_IUnknown));
  EXPECT_FALSE(IsEqualGUID(&IID_IUnknown, &IID_IDispatch));
}

TEST(Bstr, CarriesItsByteLengthBeforeTheTextAndAZeroAfterIt) {
  const char16_t text[] = u"a\0b";  // an embedded zero is part of the string
  BSTR s = SysAllocStringLen(text, 3);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(SysStringLen(s), 3u);
  EXPECT_EQ(SysStringByteLen(s), 6u);
  std::uint32_t prefix = 0;
  std::memcpy(&prefix, reinterpret_cast<char*>(s) - 4, 4);
  EXPECT_EQ(prefix, 6u);
  EXPECT_EQ(s[1], 0);
  EXPECT_EQ(s[2], u'b');
  EXPECT_EQ(s[3], 0);
  EXPECT_EQ(bstrView(s), std::u16string_view(text, 3));
  SysFreeString(s);
}

TEST(Bstr, NullStandsForTheEmptyString) {
  EXPECT_EQ(SysAllocString(nullptr), nullptr);
  EXPECT_EQ(SysStringLen(nullptr), 0u);
  EXPECT_TRUE(bstrView(nullptr).empty());
  SysFreeString(nullptr);
  BSTR zeroed = SysAllocStringLen(nullptr, 2);  // room for two characters, left zero
  ASSERT_NE(zeroed, nullptr);
  EXPECT_EQ(SysStringLen(zeroed), 2u);
  EXPECT_EQ(zeroed[0], 0);
  SysFreeString(zeroed);
  BSTR upToZero = SysAllocString(u"ab\0cd");
  EXPECT_EQ(SysStringLen(upToZero), 2u);
  SysFreeString(upToZero);
}

// An object that counts its references.
struct Counted {
  IUnknown iface;
  int refs = 1;
  static Counted* of(IUnknown* p) { return reinterpret_cast<Counted*>(p); }
};
const IUnknownVtbl kCountedVtbl = {
    [](IUnknown* self, REFIID iid, void** out) -> HRESULT {
      if (IsEqualGUID(iid, &IID_IUnknown)) {
        ++Counted::of(self)->refs;
        *out = self;
        return S_OK;
      }
      *out = nullptr;
      return E_NOINTERFACE;
    },
    [](IUnknown* self) -> ULONG { return ++Counted::of(self)->refs; },
    [](IUnknown* self) -> ULONG { return --Counted::of(self)->refs; },
};

TEST(VariantLifetime, CopyOwnsItsStringAndReferenceAndClearGivesThemBack) {
  Counted object{{&kCountedVtbl}};
  VARIANT text, unknown, copy;
  VariantInit(&text);
  VariantInit(&unknown);
  VariantInit(&copy);
  text.vt = VT_BSTR;
  text.bstrVal = makeBstr(u"Kinoro");
  unknown.vt = VT_UNKNOWN;
  unknown.punkVal = &object.iface;
  object.iface.lpVtbl->AddRef(&object.iface);

  ASSERT_EQ(VariantCopy(&copy, &text), S_OK);
  EXPECT_NE(copy.bstrVal, text.bstrVal);
  EXPECT_EQ(bstrView(copy.bstrVal), u"Kinoro");
  // Copying over a variant that holds a string frees that string first (ASan sees a leak else).
  ASSERT_EQ(VariantCopy(&copy, &unknown), S_OK);
  EXPECT_EQ(object.refs, 3);
  EXPECT_EQ(VariantClear(&copy), S_OK);
  EXPECT_EQ(copy.vt, VT_EMPTY);
  EXPECT_EQ(object.refs, 2);
  EXPECT_EQ(VariantClear(&unknown), S_OK);
  EXPECT_EQ(object.refs, 1);
  VariantClear(&text);
}

TEST(VariantLifetime, ByReferenceValuesAreBorrowedAndCopiedAsTheirTarget) {
  BSTR owned = makeBstr(u"x");
  SHORT key = 97;
  VARIANT ref;
  VariantInit(&ref);
  ref.vt = VT_BSTR | VT_BYREF;
  ref.pbstrVal = &owned;
  VARIANT copy;
  VariantInit(&copy);
  ASSERT_EQ(VariantCopyInd(&copy, &ref), S_OK);
  EXPECT_EQ(copy.vt, VT_BSTR);
  EXPECT_NE(copy.bstrVal, owned);
  VariantClear(&copy);
  VariantClear(&ref);  // does not free what it points to
  EXPECT_EQ(bstrView(owned), u"x");
  SysFreeString(owned);

  ref.vt = VT_I2 | VT_BYREF;
  ref.piVal = &key;
  ASSERT_EQ(VariantChangeType(&copy, &ref, 0, VT_I4), S_OK);
  EXPECT_EQ(copy.lVal, 97);
}

TEST(VariantLifetime, InPlaceChangeReleasesTheOldValue) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = makeBstr(u"150");
  ASSERT_EQ(VariantChangeType(&v, &v, 0, VT_I4), S_OK);  // the string is freed, not leaked
  EXPECT_EQ(v.vt, VT_I4);
  EXPECT_EQ(v.lVal, 150);
  ASSERT_EQ(VariantChangeType(&v, &v, 0, VT_BSTR), S_OK);
  EXPECT_EQ(bstrView(v.bstrVal), u"150");
  // A failed change leaves the destination as it was.
  VARIANT out;
  VariantInit(&out);
  out.vt = VT_I4;
  out.lVal = 7;
  v.bstrVal[0] = u'x';
  EXPECT_EQ(VariantChangeType(&out, &v, 0, VT_I4), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(out.vt, VT_I4);
  EXPECT_EQ(out.lVal, 7);
  VariantClear(&v);
}

// ---- coercions ----

enum class Kind { Text, I4, R8, Bool, Empty, Null, UI8 };
struct Coercion {
  const char* name;
  Kind from;
  const char16_t* text;
  double number;
  VARTYPE to;
  USHORT flags;
  HRESULT hr;
  const char16_t* expectedText;  // when `to` is VT_BSTR
  double expected;               // numbers and booleans otherwise
};

VARIANT makeSource(const Coercion& c) {
  VARIANT v;
  VariantInit(&v);
  switch (c.from) {
    case Kind::Text:
      v.vt = VT_BSTR;
      v.bstrVal = SysAllocString(c.text);
      break;
    case Kind::I4:
      v.vt = VT_I4;
      v.lVal = static_cast<LONG>(c.number);
      break;
    case Kind::R8:
      v.vt = VT_R8;
      v.dblVal = c.number;
      break;
    case Kind::Bool:
      v.vt = VT_BOOL;
      v.boolVal = c.number ? VARIANT_TRUE : VARIANT_FALSE;
      break;
    case Kind::UI8:
      v.vt = VT_UI8;
      v.ullVal = static_cast<ULONGLONG>(c.number);
      break;
    case Kind::Null:
      v.vt = VT_NULL;
      break;
    case Kind::Empty:
      break;
  }
  return v;
}

double numberOf(const VARIANT& v) {
  switch (v.vt) {
    case VT_I2:
      return v.iVal;
    case VT_I4:
      return v.lVal;
    case VT_UI4:
      return v.ulVal;
    case VT_UI8:
      return static_cast<double>(v.ullVal);
    case VT_R8:
      return v.dblVal;
    case VT_BOOL:
      return v.boolVal;
    case VT_UI1:
      return v.bVal;
    default:
      return -12345;
  }
}

class VariantCoercion : public ::testing::TestWithParam<Coercion> {};

TEST_P(VariantCoercion, ConvertsOrFailsWithTheRightCode) {
  const Coercion& c = GetParam();
  VARIANT source = makeSource(c);
  VARIANT result;
  VariantInit(&result);
  EXPECT_EQ(VariantChangeType(&result, &source, c.flags, c.to), c.hr);
  if (c.hr == S_OK) {
    EXPECT_EQ(result.vt, c.to);
    if (c.to == VT_BSTR)
      EXPECT_EQ(bstrView(result.bstrVal), std::u16string_view(c.expectedText));
    else
      EXPECT_EQ(numberOf(result), c.expected);
  } else {
    EXPECT_EQ(result.vt, VT_EMPTY);
  }
  VariantClear(&result);
  VariantClear(&source);
}

const Coercion kCoercions[] = {
    // Text from a property bag into the member types.
    {"TextToLong", Kind::Text, u"42", 0, VT_I4, 0, S_OK, nullptr, 42},
    {"TextWithSpacesToLong", Kind::Text, u" -7 ", 0, VT_I4, 0, S_OK, nullptr, -7},
    {"TextFractionRoundsHalfToEvenDown", Kind::Text, u"2.5", 0, VT_I4, 0, S_OK, nullptr, 2},
    {"TextFractionRoundsHalfToEvenUp", Kind::Text, u"3.5", 0, VT_I4, 0, S_OK, nullptr, 4},
    {"TextNotANumber", Kind::Text, u"abc", 0, VT_I4, 0, DISP_E_TYPEMISMATCH, nullptr, 0},
    {"EmptyTextIsNoNumber", Kind::Text, u"", 0, VT_I4, 0, DISP_E_TYPEMISMATCH, nullptr, 0},
    {"TextBeyondLong", Kind::Text, u"3000000000", 0, VT_I4, 0, DISP_E_OVERFLOW, nullptr, 0},
    {"TextToUnsignedLong", Kind::Text, u"3000000000", 0, VT_UI4, 0, S_OK, nullptr, 3000000000.0},
    {"NegativeTextToUnsigned", Kind::Text, u"-1", 0, VT_UI4, 0, DISP_E_OVERFLOW, nullptr, 0},
    {"TextTrueToBool", Kind::Text, u"True", 0, VT_BOOL, 0, S_OK, nullptr, -1},
    {"TextFalseAnyCaseToBool", Kind::Text, u"fALSE", 0, VT_BOOL, 0, S_OK, nullptr, 0},
    {"TextTwoToBool", Kind::Text, u"2", 0, VT_BOOL, 0, S_OK, nullptr, -1},
    {"TextZeroToBool", Kind::Text, u"0", 0, VT_BOOL, 0, S_OK, nullptr, 0},
    {"TextWordToBool", Kind::Text, u"yes", 0, VT_BOOL, 0, DISP_E_TYPEMISMATCH, nullptr, 0},
    {"TextTrueToLong", Kind::Text, u"true", 0, VT_I4, 0, S_OK, nullptr, -1},
    {"TextToDouble", Kind::Text, u"1e3", 0, VT_R8, 0, S_OK, nullptr, 1000},
    {"TextToUnsigned64", Kind::Text, u"4294967297", 0, VT_UI8, 0, S_OK, nullptr, 4294967297.0},
    {"NonAsciiText", Kind::Text, u"４２", 0, VT_I4, 0, DISP_E_TYPEMISMATCH, nullptr, 0},
    // Values a script passes into typed members.
    {"DoubleHalfToShortEven", Kind::R8, nullptr, 2.5, VT_I2, 0, S_OK, nullptr, 2},
    {"LongBeyondShort", Kind::I4, nullptr, 70000, VT_I2, 0, DISP_E_OVERFLOW, nullptr, 0},
    {"NegativeLongToByte", Kind::I4, nullptr, -1, VT_UI1, 0, DISP_E_OVERFLOW, nullptr, 0},
    {"LongToBool", Kind::I4, nullptr, 5, VT_BOOL, 0, S_OK, nullptr, -1},
    {"BoolToLong", Kind::Bool, nullptr, 1, VT_I4, 0, S_OK, nullptr, -1},
    {"LargeUnsigned64ToLong", Kind::UI8, nullptr, 5e9, VT_I4, 0, DISP_E_OVERFLOW, nullptr, 0},
    {"EmptyToLong", Kind::Empty, nullptr, 0, VT_I4, 0, S_OK, nullptr, 0},
    {"NullToLong", Kind::Null, nullptr, 0, VT_I4, 0, DISP_E_TYPEMISMATCH, nullptr, 0},
    {"UnknownTargetType", Kind::I4, nullptr, 1, 0x7FF, 0, DISP_E_BADVARTYPE, nullptr, 0},
    // Values read back as text.
    {"LongToText", Kind::I4, nullptr, -5, VT_BSTR, 0, S_OK, u"-5", 0},
    {"DoubleToText", Kind::R8, nullptr, 0.5, VT_BSTR, 0, S_OK, u"0.5", 0},
    {"BoolToText", Kind::Bool, nullptr, 1, VT_BSTR, 0, S_OK, u"-1", 0},
    {"BoolToAlphaText", Kind::Bool, nullptr, 0, VT_BSTR, VARIANT_ALPHABOOL, S_OK, u"False", 0},
    {"EmptyToText", Kind::Empty, nullptr, 0, VT_BSTR, 0, S_OK, u"", 0},
};

INSTANTIATE_TEST_SUITE_P(Table, VariantCoercion, ::testing::ValuesIn(kCoercions),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ErrorInformation, IsPerThreadAndHandedOverOnce) {
  setErrorDescription(u"非法地址!", u"Kinoro", IID_IDispatch);
  IErrorInfo* info = nullptr;
  ASSERT_EQ(GetErrorInfo(0, &info), S_OK);
  BSTR description = nullptr;
  ASSERT_EQ(info->lpVtbl->GetDescription(info, &description), S_OK);
  EXPECT_EQ(bstrView(description), u"非法地址!");
  SysFreeString(description);
  GUID guid{};
  info->lpVtbl->GetGUID(info, &guid);
  EXPECT_TRUE(IsEqualGUID(&guid, &IID_IDispatch));
  EXPECT_EQ(info->lpVtbl->Release(info), 0u);
  EXPECT_EQ(GetErrorInfo(0, &info), S_FALSE);
  EXPECT_EQ(info, nullptr);
}

}  // namespace
}  // namespace nivra::com
