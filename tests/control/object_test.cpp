// The control object's other faces: identity and reference counts, events through the
// connection point, object safety, property-bag persistence and type information.

#include <gtest/gtest.h>

#include <algorithm>

#include "control/type_info.h"
#include "player/links/url_link_encoder.h"
#include "tests/control/com_fakes.h"
#include "tests/control/kinoro_test_util.h"

namespace nivra::control::test {
namespace {

template <class T>
com::ComPtr<T> query(IKinoro* control, const IID& iid) {
  return com::queryInterface<T>(control, iid);
}

TEST(ObjectIdentity, EveryFaceLeadsToOneObjectAndReleasesToNothing) {
  ASSERT_FALSE(libraryInUse());
  {
    auto control = createControl();
    EXPECT_TRUE(libraryInUse());
    auto unknown = query<IUnknown>(control.get(), IID_IUnknown);
    for (const IID* iid :
         {&IID_IDispatch, &IID_IConnectionPointContainer, &IID_IObjectSafety,
          &IID_IPersistPropertyBag, &IID_IPersist, &IID_ISupportErrorInfo, &IID_IOleObject,
          &IID_IOleWindow, &IID_IOleInPlaceObject, &IID_IProvideClassInfo}) {
      auto face = query<IUnknown>(control.get(), *iid);
      ASSERT_TRUE(face) << com::guidText(*iid);
      EXPECT_EQ(query<IUnknown>(reinterpret_cast<IKinoro*>(face.get()), IID_IUnknown).get(),
                unknown.get());
    }
    EXPECT_FALSE(query<IUnknown>(control.get(), IID_IClassFactory));
    auto ole = query<IOleObject>(control.get(), IID_IOleObject);
    DWORD status = 0;
    ole->lpVtbl->GetMiscStatus(ole.get(), DVASPECT_CONTENT, &status);
    EXPECT_EQ(status, 0x32191u);
  }
  EXPECT_FALSE(libraryInUse());
}

struct Connected {
  FakeSink sink;  // outlives the control, which may still call it when it goes
  com::ComPtr<IKinoro> control = createControl();
  com::ComPtr<IConnectionPoint> point;
  DWORD cookie = 0;

  HRESULT connect() {
    auto container = query<IConnectionPointContainer>(control.get(), IID_IConnectionPointContainer);
    HRESULT hr =
        container->lpVtbl->FindConnectionPoint(container.get(), &DIID_IKinoroEvents, point.put());
    if (FAILED(hr)) return hr;
    return point->lpVtbl->Advise(point.get(), sink.unknown(), &cookie);
  }
  StubKinoroForm& form() { return stubForm(control.get()); }
};

TEST(Events, ReachTheConnectedSinkWithTheirDispids) {
  Connected c;
  ASSERT_EQ(c.connect(), S_OK);
  EXPECT_EQ(c.cookie, 1u);
  c.form().click();
  EXPECT_EQ(c.sink.received, std::vector<DISPID>{DISPID_OnClick});

  // One sink per control.
  FakeSink second;
  DWORD cookie = 0;
  EXPECT_EQ(c.point->lpVtbl->Advise(c.point.get(), second.unknown(), &cookie),
            CONNECT_E_ADVISELIMIT);
  EXPECT_EQ(second.refs, 1);

  IEnumConnections* list = nullptr;
  ASSERT_EQ(c.point->lpVtbl->EnumConnections(c.point.get(), &list), S_OK);
  CONNECTDATA data[2]{};
  ULONG fetched = 0;
  EXPECT_EQ(list->lpVtbl->Next(list, 2, data, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 1u);
  EXPECT_EQ(data[0].pUnk, c.sink.unknown());
  data[0].pUnk->lpVtbl->Release(data[0].pUnk);
  list->lpVtbl->Release(list);

  EXPECT_EQ(c.point->lpVtbl->Unadvise(c.point.get(), 7), CONNECT_E_NOCONNECTION);
  EXPECT_EQ(c.point->lpVtbl->Unadvise(c.point.get(), c.cookie), S_OK);
  EXPECT_EQ(c.sink.refs, 1);
  c.form().click();
  EXPECT_EQ(c.sink.received.size(), 1u);
}

TEST(Events, KeyPressGoesOutByReferenceAndTheLowByteComesBack) {
  struct Row {
    SHORT reply;
    char16_t expected;
  };
  Connected c;
  ASSERT_EQ(c.connect(), S_OK);
  for (auto [reply, expected] : {Row{-1, u'a'}, Row{0, 0}, Row{u'b', u'b'}, Row{0x141, 0x41}}) {
    c.sink.keyReply = reply;
    EXPECT_EQ(c.form().keyPress(u'a'), expected) << reply;
  }
  EXPECT_EQ(c.sink.keysSeen, (std::vector<SHORT>{97, 97, 97, 97}));
  // Zero-extended: a character above 0x7FFF goes out as its 16 bits.
  c.sink.keyReply = -1;
  c.form().keyPress(char16_t(0x9000));
  EXPECT_EQ(static_cast<std::uint16_t>(c.sink.keysSeen.back()), 0x9000);
}

TEST(Events, WithoutASinkNothingIsSentAndASinkWithoutTheInterfaceIsRefused) {
  Connected c;
  c.sink.answersEvents = false;
  EXPECT_EQ(c.connect(), CONNECT_E_CANNOTCONNECT);
  EXPECT_EQ(c.sink.refs, 1);
  c.form().click();
  EXPECT_EQ(c.form().keyPress(u'q'), u'q');
  EXPECT_TRUE(c.sink.received.empty());

  auto container = query<IConnectionPointContainer>(c.control.get(), IID_IConnectionPointContainer);
  IConnectionPoint* other = reinterpret_cast<IConnectionPoint*>(1);
  EXPECT_EQ(container->lpVtbl->FindConnectionPoint(container.get(), &IID_IDispatch, &other),
            CONNECT_E_NOCONNECTION);
  EXPECT_EQ(other, nullptr);
}

TEST(Events, DestroyIsTheLastEventAndTheSinkIsLetGo) {
  FakeSink sink;
  {
    Connected c;
    ASSERT_EQ(c.connect(), S_OK);
    c.sink.answersEvents = true;
    // Move the connection to the outer sink so it outlives the control.
    c.point->lpVtbl->Unadvise(c.point.get(), c.cookie);
    ASSERT_EQ(c.point->lpVtbl->Advise(c.point.get(), sink.unknown(), &c.cookie), S_OK);
    EXPECT_GT(sink.refs, 1);
  }
  EXPECT_EQ(sink.received, std::vector<DISPID>{DISPID_OnDestroy});
  EXPECT_EQ(sink.refs, 1);
  EXPECT_FALSE(libraryInUse());
}

TEST(ObjectSafety, EveryInterfaceOfTheControlIsSafeUnderOneMask) {
  auto control = createControl();
  auto safety = query<IObjectSafety>(control.get(), IID_IObjectSafety);
  DWORD supported = 99, enabled = 99;
  ASSERT_EQ(
      safety->lpVtbl->GetInterfaceSafetyOptions(safety.get(), &IID_IDispatch, &supported, &enabled),
      S_OK);
  EXPECT_EQ(supported, 3u);
  EXPECT_EQ(enabled, 0u);

  EXPECT_EQ(safety->lpVtbl->SetInterfaceSafetyOptions(safety.get(), &IID_IDispatch, 3, 1), S_OK);
  safety->lpVtbl->GetInterfaceSafetyOptions(safety.get(), &IID_IPersistPropertyBag, &supported,
                                            &enabled);
  EXPECT_EQ(enabled, 1u);  // mask AND enabled, shared by all interfaces

  EXPECT_EQ(safety->lpVtbl->GetInterfaceSafetyOptions(safety.get(), &IID_IClassFactory, &supported,
                                                      &enabled),
            E_NOINTERFACE);
  EXPECT_EQ(supported, 0u);
  EXPECT_EQ(enabled, 0u);
  EXPECT_EQ(safety->lpVtbl->SetInterfaceSafetyOptions(safety.get(), &IID_IClassFactory, 3, 3),
            E_NOINTERFACE);
  safety->lpVtbl->GetInterfaceSafetyOptions(safety.get(), &IID_IKinoro, &supported, &enabled);
  EXPECT_EQ(enabled, 1u);
  EXPECT_EQ(
      safety->lpVtbl->GetInterfaceSafetyOptions(safety.get(), &IID_IKinoro, nullptr, &enabled),
      E_POINTER);
}

struct BagLoad {
  com::ComPtr<IKinoro> control = createControl();
  FakeBag bag;
  FakeErrorLog log;
  HRESULT load() {
    auto persist = query<IPersistPropertyBag>(control.get(), IID_IPersistPropertyBag);
    return persist->lpVtbl->Load(persist.get(), &bag.iface, &log.iface);
  }
  LONG volume() {
    LONG n = -1;
    control->lpVtbl->get_Volume(control.get(), &n);
    return n;
  }
};

TEST(PropertyBag, LoadsTextParametersThroughThePutsInTableOrder) {
  BagLoad b;
  const std::string link = player::EncodeLink("video|Demo|1|http://127.0.0.1/v.flv");
  b.bag.values = {{u"URL", std::u16string(link.begin(), link.end())},
                  {u"Volume", u"150"},
                  {u"Visible", u"True"},
                  {u"AdW", u"640"},
                  {u"Caption", u"Page"}};
  ASSERT_EQ(b.load(), S_OK);
  EXPECT_EQ(b.volume(), 100);
  VARIANT_BOOL visible = 0;
  b.control->lpVtbl->get_Visible(b.control.get(), &visible);
  EXPECT_EQ(visible, VARIANT_TRUE);
  LONG adw = 0;
  b.control->lpVtbl->get_AdW(b.control.get(), &adw);
  EXPECT_EQ(adw, 640);
  EXPECT_EQ(stubForm(b.control.get()).openedLink(), link);
  // Only writable properties are asked for, in the interface's order: URL before Volume.
  auto at = [&](const char16_t* name) {
    return std::find(b.bag.asked.begin(), b.bag.asked.end(), name) - b.bag.asked.begin();
  };
  EXPECT_LT(at(u"URL"), at(u"Volume"));
  EXPECT_LT(at(u"Volume"), at(u"AdW"));
  EXPECT_EQ(at(u"Active"), static_cast<long>(b.bag.asked.size()));
  EXPECT_EQ(at(u"State"), static_cast<long>(b.bag.asked.size()));
  EXPECT_TRUE(b.log.errors.empty());
}

TEST(PropertyBag, AFailingPropertyIsLoggedAndSkippedAndAnAbortEndsTheLoad) {
  BagLoad skipped;
  skipped.bag.values = {{u"URL", u"http://not.a.link/"}, {u"Volume", u"20"}, {u"Mute", u"maybe"}};
  EXPECT_EQ(skipped.load(), S_OK);
  EXPECT_EQ(skipped.volume(), 20);
  ASSERT_EQ(skipped.log.errors.size(), 2u);
  EXPECT_EQ(skipped.log.errors[0].first, u"Mute");  // no boolean text
  EXPECT_EQ(skipped.log.errors[1].first, u"URL");
  EXPECT_EQ(skipped.log.errors[1].second, u"非法地址!");

  BagLoad aborted;
  aborted.bag.values = {{u"Volume", u"20"}};
  aborted.bag.abortOn = u"Mute";  // Mute comes before Volume
  EXPECT_EQ(aborted.load(), E_FAIL);
  EXPECT_EQ(aborted.volume(), 100);
}

TEST(PropertyBag, SavesTheWritablePropertiesAsTheyRead) {
  BagLoad b;
  b.control->lpVtbl->put_Volume(b.control.get(), 33);
  auto persist = query<IPersistPropertyBag>(b.control.get(), IID_IPersistPropertyBag);
  ASSERT_EQ(persist->lpVtbl->Save(persist.get(), &b.bag.iface, 1, 1), S_OK);
  EXPECT_EQ(b.bag.written[u"Volume"], u"33");
  EXPECT_EQ(b.bag.written[u"Caption"], u"Kinoro");
  EXPECT_EQ(b.bag.written.count(u"State"), 0u);
  CLSID clsid{};
  persist->lpVtbl->GetClassID(persist.get(), &clsid);
  EXPECT_TRUE(IsEqualGUID(&clsid, &CLSID_CoKinoro));
}

TEST(TypeInformation, DescribesEverySlotWithItsDispidKindAndHiddenFlag) {
  auto control = createControl();
  UINT count = 0;
  control->lpVtbl->GetTypeInfoCount(control.get(), &count);
  EXPECT_EQ(count, 1u);
  com::ComPtr<ITypeInfo> info;
  ASSERT_EQ(control->lpVtbl->GetTypeInfo(control.get(), 0, 0, info.put()), S_OK);
  TYPEATTR* attr = nullptr;
  ASSERT_EQ(info->lpVtbl->GetTypeAttr(info.get(), &attr), S_OK);
  EXPECT_TRUE(IsEqualGUID(&attr->guid, &IID_IKinoro));
  EXPECT_EQ(attr->cFuncs, 71);
  EXPECT_EQ(attr->cbSizeVft, 78 * sizeof(void*));
  EXPECT_EQ(attr->wTypeFlags, TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION | TYPEFLAG_FDISPATCHABLE);
  const WORD functions = attr->cFuncs;
  info->lpVtbl->ReleaseTypeAttr(info.get(), attr);

  int slot = kDispatchSlots;
  for (WORD i = 0; i < functions; ++i, ++slot) {
    FUNCDESC* desc = nullptr;
    ASSERT_EQ(info->lpVtbl->GetFuncDesc(info.get(), i, &desc), S_OK);
    const Member* m = memberByDispid(desc->memid);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(desc->oVft / static_cast<int>(sizeof(void*)), slot) << m->name;
    const int offset = slot - m->firstSlot;
    const INVOKEKIND kind = m->access == Access::Method ? INVOKE_FUNC
                            : offset == 0               ? INVOKE_PROPERTYGET
                            : offset == 1               ? INVOKE_PROPERTYPUT
                                                        : INVOKE_PROPERTYPUTREF;
    EXPECT_EQ(desc->invkind, kind) << m->name;
    EXPECT_EQ((desc->wFuncFlags & FUNCFLAG_FHIDDEN) != 0, m->hidden) << m->name;
    if (kind == INVOKE_PROPERTYGET) {
      EXPECT_EQ(desc->elemdescFunc.tdesc.vt, m->vt);
    }
    if (kind == INVOKE_PROPERTYPUT) {
      ASSERT_EQ(desc->cParams, 1);
      EXPECT_EQ(desc->lprgelemdescParam[0].tdesc.vt, m->vt);
    }
    info->lpVtbl->ReleaseFuncDesc(info.get(), desc);
  }
  BSTR name = nullptr;
  UINT got = 0;
  ASSERT_EQ(info->lpVtbl->GetNames(info.get(), 242, &name, 1, &got), S_OK);
  EXPECT_EQ(com::bstrView(name), u"Volume");
  SysFreeString(name);
  BSTR doc = nullptr;
  info->lpVtbl->GetDocumentation(info.get(), MEMBERID_NIL, &name, &doc, nullptr, nullptr);
  EXPECT_EQ(com::bstrView(name), u"IKinoro");
  EXPECT_EQ(com::bstrView(doc), u"Dispatch interface for NivraPlayer Control");
  SysFreeString(name);
  SysFreeString(doc);
}

TEST(TypeInformation, EventsAreMethodsAndKeyPressTakesAShortByReference) {
  ITypeInfo* info = eventsTypeInfo();
  TYPEATTR* attr = nullptr;
  ASSERT_EQ(info->lpVtbl->GetTypeAttr(info, &attr), S_OK);
  EXPECT_TRUE(IsEqualGUID(&attr->guid, &DIID_IKinoroEvents));
  EXPECT_EQ(attr->cFuncs, 10);
  info->lpVtbl->ReleaseTypeAttr(info, attr);
  FUNCDESC* desc = nullptr;
  ASSERT_EQ(info->lpVtbl->GetFuncDesc(info, 6, &desc), S_OK);
  EXPECT_EQ(desc->memid, DISPID_OnKeyPress);
  EXPECT_EQ(desc->invkind, INVOKE_FUNC);
  ASSERT_EQ(desc->cParams, 1);
  EXPECT_EQ(desc->lprgelemdescParam[0].tdesc.vt, VT_PTR);
  EXPECT_EQ(desc->lprgelemdescParam[0].tdesc.lptdesc->vt, VT_I2);
  info->lpVtbl->ReleaseFuncDesc(info, desc);
  std::u16string event = u"onkeypress", key = u"KEY";
  LPOLESTR names[] = {event.data(), key.data()};
  MEMBERID ids[2];
  EXPECT_EQ(info->lpVtbl->GetIDsOfNames(info, names, 2, ids), S_OK);
  EXPECT_EQ(ids[0], 207);
  EXPECT_EQ(ids[1], 0);
}

TEST(TypeInformation, AHostFindsTheEventInterfaceThroughTheClassAndTheLibrary) {
  auto control = createControl();
  auto provide = query<IProvideClassInfo>(control.get(), IID_IProvideClassInfo);
  ASSERT_TRUE(provide);
  ITypeInfo* coclass = nullptr;
  ASSERT_EQ(provide->lpVtbl->GetClassInfo(provide.get(), &coclass), S_OK);
  TYPEATTR* attr = nullptr;
  ASSERT_EQ(coclass->lpVtbl->GetTypeAttr(coclass, &attr), S_OK);
  EXPECT_TRUE(IsEqualGUID(&attr->guid, &CLSID_CoKinoro));
  EXPECT_EQ(attr->typekind, TKIND_COCLASS);
  EXPECT_EQ(attr->wTypeFlags, TYPEFLAG_FCANCREATE | TYPEFLAG_FCONTROL);
  const WORD implTypes = attr->cImplTypes;
  coclass->lpVtbl->ReleaseTypeAttr(coclass, attr);
  ASSERT_EQ(implTypes, 2);

  // The default interface and the default source, the way browsers look for them.
  GUID found[2]{};
  for (UINT i = 0; i < implTypes; ++i) {
    INT flags = 0;
    HREFTYPE ref = 0;
    ITypeInfo* implemented = nullptr;
    ASSERT_EQ(coclass->lpVtbl->GetImplTypeFlags(coclass, i, &flags), S_OK);
    ASSERT_EQ(coclass->lpVtbl->GetRefTypeOfImplType(coclass, i, &ref), S_OK);
    ASSERT_EQ(coclass->lpVtbl->GetRefTypeInfo(coclass, ref, &implemented), S_OK);
    implemented->lpVtbl->GetTypeAttr(implemented, &attr);
    EXPECT_TRUE(flags & IMPLTYPEFLAG_FDEFAULT);
    found[(flags & IMPLTYPEFLAG_FSOURCE) ? 1 : 0] = attr->guid;
    implemented->lpVtbl->ReleaseTypeAttr(implemented, attr);
  }
  EXPECT_TRUE(IsEqualGUID(&found[0], &IID_IKinoro));
  EXPECT_TRUE(IsEqualGUID(&found[1], &DIID_IKinoroEvents));
  INT flags = 0;
  EXPECT_EQ(coclass->lpVtbl->GetImplTypeFlags(coclass, 2, &flags), TYPE_E_ELEMENTNOTFOUND);

  ITypeLib* lib = nullptr;
  UINT index = 99;
  ASSERT_EQ(coclass->lpVtbl->GetContainingTypeLib(coclass, &lib, &index), S_OK);
  EXPECT_EQ(index, 2u);
  EXPECT_EQ(lib->lpVtbl->GetTypeInfoCount(lib), 3u);
  TLIBATTR* libAttr = nullptr;
  ASSERT_EQ(lib->lpVtbl->GetLibAttr(lib, &libAttr), S_OK);
  EXPECT_TRUE(IsEqualGUID(&libAttr->guid, &LIBID_Kinoro));
  EXPECT_EQ(libAttr->wMajorVerNum, 1);
  EXPECT_EQ(libAttr->wMinorVerNum, 0);
  EXPECT_EQ(libAttr->wLibFlags, LIBFLAG_FCONTROL);
  lib->lpVtbl->ReleaseTLibAttr(lib, libAttr);
  ITypeInfo* events = nullptr;
  ASSERT_EQ(lib->lpVtbl->GetTypeInfoOfGuid(lib, &DIID_IKinoroEvents, &events), S_OK);
  EXPECT_EQ(events, eventsTypeInfo());
  EXPECT_EQ(lib->lpVtbl->GetTypeInfoOfGuid(lib, &IID_IDispatch, &events), TYPE_E_ELEMENTNOTFOUND);
  BSTR name = nullptr, doc = nullptr;
  ASSERT_EQ(lib->lpVtbl->GetDocumentation(lib, -1, &name, &doc, nullptr, nullptr), S_OK);
  EXPECT_EQ(com::bstrView(name), u"Kinoro");
  EXPECT_EQ(com::bstrView(doc), u"NivraPlayer Library");
  SysFreeString(name);
  SysFreeString(doc);
  std::u16string word = u"onpaint";
  BOOL isName = 0;
  lib->lpVtbl->IsName(lib, word.data(), 0, &isName);
  EXPECT_TRUE(isName);
}

}  // namespace
}  // namespace nivra::control::test
