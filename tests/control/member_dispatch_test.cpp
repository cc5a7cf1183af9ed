// IKinoro through its vtable and through Invoke: the member table's layout, every row's types
// and access, the behaviours the control promises (booleans, Volume, URL, Version) and the
// failures with their error information.

#include <gtest/gtest.h>

#include <set>

#include "control/file_version.h"
#include "control/member_table.h"
#include "platform/version_info.h"
#include "player/links/url_link_encoder.h"
#include "tests/control/kinoro_test_util.h"
#include "tests/support/temp_dir.h"

namespace nivra::control::test {
namespace {

TEST(MemberTable, LaysOutTheVtableRowByRow) {
#define SLOT_CHECK_GET(Name) get_##Name
#define SLOT_CHECK_GETPUT(Name) get_##Name
#define SLOT_CHECK_GETPUTREF(Name) get_##Name
#define SLOT_CHECK_METHOD(Name) Name
#define SLOT_CHECK(order, dispid, Name, access, T, vt, hidden)                \
  EXPECT_EQ(offsetof(IKinoroVtbl, SLOT_CHECK_##access(Name)) / sizeof(void*), \
            static_cast<std::size_t>(memberByOrder(order).firstSlot))         \
      << #Name;                                                               \
  EXPECT_EQ(memberByOrder(order).name, #Name);
  KINORO_MEMBERS(SLOT_CHECK)
  // Anchors: IUnknown and IDispatch first, Font's three slots, 71 member slots in all.
  EXPECT_EQ(offsetof(IKinoroVtbl, get_Visible) / sizeof(void*), 7u);
  EXPECT_EQ(offsetof(IKinoroVtbl, get_Font) / sizeof(void*), 19u);
  EXPECT_EQ(offsetof(IKinoroVtbl, putref_Font) / sizeof(void*), 21u);
  EXPECT_EQ(offsetof(IKinoroVtbl, get_Volume) / sizeof(void*), 70u);
  EXPECT_EQ(offsetof(IKinoroVtbl, Stop) / sizeof(void*), 72u);
  EXPECT_EQ(offsetof(IKinoroVtbl, get_State) / sizeof(void*), 77u);
  EXPECT_EQ(sizeof(IKinoroVtbl) / sizeof(void*), 78u);
  EXPECT_EQ(kinoroSlotCount() - kDispatchSlots, 71);
  EXPECT_EQ(members().size(), 41u);
}

TEST(MemberTable, DispidsAreUniqueAndLeaveTheUnusedOnesFree) {
  std::set<DISPID> seen;
  for (const Member& m : members()) EXPECT_TRUE(seen.insert(m.dispid).second) << m.name;
  for (DISPID unused : {229, 230, 231, 232, 233, 235}) EXPECT_EQ(memberByDispid(unused), nullptr);
}

class EveryMember : public ::testing::TestWithParam<Member> {};

// A value of the member's type to write, given as the text a page would give, and what reads
// back: booleans as -1, other values unchanged.
VARIANT sampleFor(const Member& m) {
  switch (m.vt) {
    case VT_BOOL:
      return textArgument(u"2");  // any non-zero value is true
    case VT_BSTR:
      return textArgument(u"abc");
    case VT_I4:
    case VT_UI4:
      return textArgument(u"37");
    default: {
      VARIANT v;
      VariantInit(&v);
      return v;
    }
  }
}

TEST_P(EveryMember, GetsItsTypeAndPutsOnlyWhenWritable) {
  const Member& m = GetParam();
  auto control = createControl();
  Call get;
  invoke(control.get(), m.dispid, DISPATCH_PROPERTYGET | DISPATCH_METHOD, nullptr, &get);
  if (m.access == Access::Method) {
    EXPECT_EQ(get.hr, S_OK);
    EXPECT_EQ(get.result.vt, VT_EMPTY);
    Call property;
    invoke(control.get(), m.dispid, DISPATCH_PROPERTYGET, nullptr, &property);
    EXPECT_EQ(property.hr, DISP_E_MEMBERNOTFOUND);
    return;
  }
  ASSERT_EQ(get.hr, S_OK);
  EXPECT_EQ(get.result.vt, m.vt);
  if (m.vt == VT_BOOL) {
    EXPECT_TRUE(get.result.boolVal == 0 || get.result.boolVal == -1);
  }

  VARIANT sample = sampleFor(m);
  Call put;
  invoke(control.get(), m.dispid, DISPATCH_PROPERTYPUT, &sample, &put);
  if (!m.canPut()) {
    EXPECT_EQ(put.hr, DISP_E_MEMBERNOTFOUND);
  } else if (m.vt != VT_DISPATCH && m.name != "URL") {
    EXPECT_EQ(put.hr, S_OK);
    Call back;
    invoke(control.get(), m.dispid, DISPATCH_PROPERTYGET, nullptr, &back);
    ASSERT_EQ(back.hr, S_OK);
    if (m.vt == VT_BOOL) {
      EXPECT_EQ(back.result.boolVal, VARIANT_TRUE);
    }
    if (m.vt == VT_I4) {
      EXPECT_EQ(back.result.lVal, 37);
    }
    if (m.vt == VT_UI4) {
      EXPECT_EQ(back.result.ulVal, 37u);
    }
    if (m.vt == VT_BSTR) {
      EXPECT_EQ(com::bstrView(back.result.bstrVal), u"abc");
    }
  }
  VariantClear(&sample);
}

INSTANTIATE_TEST_SUITE_P(Table, EveryMember,
                         ::testing::ValuesIn(members().begin(), members().end()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MemberBehaviour, BooleansReadAsMinusOneAndAnyNonZeroPutIsTrue) {
  auto control = createControl();
  auto* v = control->lpVtbl;
  VARIANT_BOOL b = 5;
  ASSERT_EQ(v->get_Visible(control.get(), &b), S_OK);
  EXPECT_EQ(b, VARIANT_FALSE);  // created hidden
  ASSERT_EQ(v->put_Visible(control.get(), 2), S_OK);
  ASSERT_EQ(v->get_Visible(control.get(), &b), S_OK);
  EXPECT_EQ(b, VARIANT_TRUE);
  ASSERT_EQ(v->get_KeyPreview(control.get(), &b), S_OK);
  EXPECT_EQ(b, VARIANT_TRUE);
  ASSERT_EQ(v->put_Mute(control.get(), 1), S_OK);
  ASSERT_EQ(v->get_Mute(control.get(), &b), S_OK);
  EXPECT_EQ(b, VARIANT_TRUE);
}

TEST(MemberBehaviour, InitialFormValuesAndVolumeClampedByThePlayer) {
  auto control = createControl();
  auto* v = control->lpVtbl;
  BSTR caption = nullptr;
  ASSERT_EQ(v->get_Caption(control.get(), &caption), S_OK);
  EXPECT_EQ(com::bstrView(caption), u"Kinoro");
  SysFreeString(caption);
  LONG n = 0;
  v->get_PixelsPerInch(control.get(), &n);
  EXPECT_EQ(n, 96);
  v->get_AdW(control.get(), &n);
  EXPECT_EQ(n, 480);
  v->get_AdH(control.get(), &n);
  EXPECT_EQ(n, 360);
  v->put_Volume(control.get(), 150);
  v->get_Volume(control.get(), &n);
  EXPECT_EQ(n, 100);
  VARIANT minus = longArgument(-5);
  Call put;
  invoke(control.get(), 242, DISPATCH_PROPERTYPUT, &minus, &put);
  EXPECT_EQ(put.hr, S_OK);
  v->get_Volume(control.get(), &n);
  EXPECT_EQ(n, 0);
}

TEST(MemberBehaviour, VersionComesFromTheFileVersionWithAZeroHighHalf) {
  auto control = createControl();
  ULONGLONG version = 0;
  ASSERT_EQ(control->lpVtbl->get_Version(control.get(), &version), S_OK);
  // This binary's version block carries the project's version.
  EXPECT_EQ(version, versionNumber(NIVRA_PROJECT_VERSION));
  EXPECT_EQ(version >> 32, 0u);

  struct Row {
    const char* text;
    std::uint64_t expected;
  };
  for (auto [text, expected] :
       {Row{"1.1.0.88", 65537}, Row{"2.3", 0x00020003}, Row{"", 0xFFFFFFFF}, Row{"x.1", 0xFFFFFFFF},
        Row{"70000.1.0.0", 0xFFFFFFFF}, Row{"1", 0xFFFFFFFF}, Row{"1.2x", 0xFFFFFFFF}})
    EXPECT_EQ(versionNumber(text), expected) << text;
  nivra::test::TempDir dir;
  EXPECT_EQ(controlFileVersion(dir.write("plain.so", "no block here")), 0xFFFFFFFFu);
  EXPECT_EQ(controlFileVersion(
                dir.write("v.so", "xx" + platform::makeVersionBlock(0x804, 0x4B0, "1.1.0.88"))),
            65537u);
}

TEST(MemberBehaviour, UrlChecksTheLinkOpensItAndReadsBackEmpty) {
  auto control = createControl();
  auto& form = stubForm(control.get());
  const std::string video = player::EncodeLink("video|Demo|100|http://127.0.0.1/v.flv");
  const std::u16string video16(video.begin(), video.end());
  BSTR link = com::makeBstr(video16);
  ASSERT_EQ(control->lpVtbl->put_URL(control.get(), link), S_OK);
  SysFreeString(link);
  EXPECT_EQ(form.openedLink(), video);
  com::BstrPtr stale(com::makeBstr(u"not null"));  // out parameters are overwritten, not freed
  BSTR back = stale.get();
  ASSERT_EQ(control->lpVtbl->get_URL(control.get(), &back), S_OK);
  EXPECT_EQ(back, nullptr);

  // Blank text: nothing happens and the put succeeds.
  VARIANT blank = textArgument(u"   ");
  Call blankPut;
  invoke(control.get(), 240, DISPATCH_PROPERTYPUT, &blank, &blankPut);
  EXPECT_EQ(blankPut.hr, S_OK);
  VariantClear(&blank);

  // A "file" link: the time label says so, nothing is opened.
  const std::string file = player::EncodeLink("file|Old|1|x");
  VARIANT fileLink = textArgument(std::u16string(file.begin(), file.end()));
  Call filePut;
  invoke(control.get(), 240, DISPATCH_PROPERTYPUT, &fileLink, &filePut);
  EXPECT_EQ(filePut.hr, S_OK);
  EXPECT_EQ(form.timeLabel(), "失效的地址!");
  EXPECT_EQ(form.openedLink(), video);
  VariantClear(&fileLink);
}

TEST(MemberFailure, BadUrlFailsWithItsTextThroughBothPaths) {
  auto control = createControl();
  for (std::u16string bad : {u"http://example.com/a.flv", u"Nivra://zz", u"x"}) {
    SCOPED_TRACE(std::string(bad.begin(), bad.end()));
    // Through the vtable: a failing result and the thread's error information.
    BSTR text = com::makeBstr(bad);
    EXPECT_EQ(control->lpVtbl->put_URL(control.get(), text), E_FAIL);
    SysFreeString(text);
    IErrorInfo* info = nullptr;
    ASSERT_EQ(GetErrorInfo(0, &info), S_OK);
    BSTR description = nullptr;
    info->lpVtbl->GetDescription(info, &description);
    EXPECT_EQ(com::bstrView(description), u"非法地址!");
    SysFreeString(description);
    info->lpVtbl->Release(info);

    // Through Invoke: an exception record for the script's error.
    VARIANT argument = textArgument(bad);
    Call put;
    invoke(control.get(), 240, DISPATCH_PROPERTYPUT, &argument, &put);
    EXPECT_EQ(put.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(put.description(), u"非法地址!");
    EXPECT_EQ(put.exception.scode, E_FAIL);
    VariantClear(&argument);
  }
  EXPECT_EQ(stubForm(control.get()).openedLink(), "");
  ISupportErrorInfo* support = nullptr;
  ASSERT_EQ(control->lpVtbl->QueryInterface(control.get(), &IID_ISupportErrorInfo,
                                            reinterpret_cast<void**>(&support)),
            S_OK);
  EXPECT_EQ(support->lpVtbl->InterfaceSupportsErrorInfo(support, &IID_IKinoro), S_OK);
  support->lpVtbl->Release(support);
}

TEST(MemberFailure, DispatchRejectsWhatNoMemberTakes) {
  auto control = createControl();
  Call unknown;
  invoke(control.get(), 229, DISPATCH_PROPERTYGET, nullptr, &unknown);
  EXPECT_EQ(unknown.hr, DISP_E_MEMBERNOTFOUND);

  VARIANT text = textArgument(u"loud");
  Call mismatch;
  invoke(control.get(), 242, DISPATCH_PROPERTYPUT, &text, &mismatch);
  EXPECT_EQ(mismatch.hr, DISP_E_TYPEMISMATCH);
  EXPECT_EQ(mismatch.argErr, 0u);
  VariantClear(&text);

  VARIANT two[2] = {longArgument(1), longArgument(2)};
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{two, &named, 2, 1};
  EXPECT_EQ(control->lpVtbl->Invoke(control.get(), 242, &GUID_NULL, 0, DISPATCH_PROPERTYPUT,
                                    &params, nullptr, nullptr, nullptr),
            DISP_E_BADPARAMCOUNT);
  DISPPARAMS getWithArgument{two, nullptr, 1, 0};
  EXPECT_EQ(control->lpVtbl->Invoke(control.get(), 242, &GUID_NULL, 0, DISPATCH_PROPERTYGET,
                                    &getWithArgument, nullptr, nullptr, nullptr),
            DISP_E_BADPARAMCOUNT);
  // Font alone takes a reference put.
  VARIANT none;
  VariantInit(&none);
  none.vt = VT_DISPATCH;
  Call putRef;
  invoke(control.get(), 242, DISPATCH_PROPERTYPUTREF, &none, &putRef);
  EXPECT_EQ(putRef.hr, DISP_E_MEMBERNOTFOUND);
  Call fontRef;
  invoke(control.get(), -512, DISPATCH_PROPERTYPUTREF, &none, &fontRef);
  EXPECT_EQ(fontRef.hr, S_OK);
}

TEST(Names, ResolveWithoutRegardToCase) {
  auto control = createControl();
  struct Row {
    const char16_t* name;
    DISPID expected;
    HRESULT hr;
  };
  for (auto [name, expected, hr] :
       {Row{u"Volume", 242, S_OK}, Row{u"vOLUME", 242, S_OK}, Row{u"url", 240, S_OK},
        Row{u"CAPTION", -518, S_OK}, Row{u"stop", 243, S_OK},
        Row{u"Volumes", DISPID_UNKNOWN, DISP_E_UNKNOWNNAME},
        Row{u"", DISPID_UNKNOWN, DISP_E_UNKNOWNNAME}}) {
    std::u16string copy(name);
    LPOLESTR names[] = {copy.data()};
    DISPID id = 12345;
    EXPECT_EQ(control->lpVtbl->GetIDsOfNames(control.get(), &GUID_NULL, names, 1, 0, &id), hr);
    EXPECT_EQ(id, expected);
  }
  // Members take no named parameters.
  std::u16string member = u"Volume", parameter = u"value";
  LPOLESTR names[] = {member.data(), parameter.data()};
  DISPID ids[2];
  EXPECT_EQ(control->lpVtbl->GetIDsOfNames(control.get(), &GUID_NULL, names, 2, 0, ids),
            DISP_E_UNKNOWNNAME);
  EXPECT_EQ(ids[0], 242);
  EXPECT_EQ(ids[1], DISPID_UNKNOWN);
}

}  // namespace
}  // namespace nivra::control::test
