#pragma once
// The control object: one COM identity with IKinoro (dual), the connection point for
// IKinoroEvents, object safety, property-bag persistence, error information and the minimal
// OLE embedding interfaces, around one form. Apartment-threaded: no locking.

#include <atomic>
#include <filesystem>
#include <memory>
#include <string>

#include "control/kinoro_form.h"

namespace nivra::control {

class KinoroObject;

// Makes the form of a new control object (throws when it cannot).
using FormMaker = std::unique_ptr<KinoroForm> (*)(FormNotifications& notifications,
                                                  const std::filesystem::path& libraryFile);
// The stand-in form without windows or player (stub_form.h).
std::unique_ptr<KinoroForm> makeStubForm(FormNotifications& notifications,
                                         const std::filesystem::path& libraryFile);

// One interface of the object: the vtable pointer hosts see, then the way back to the object.
struct Face {
  const void* lpVtbl;
  KinoroObject* owner;
};

// The outcome of a member operation: its result and, on failure, the text for the host.
struct MemberResult {
  HRESULT hr = S_OK;
  std::u16string error;
};

class KinoroObject final : public FormNotifications {
 public:
  // A new object answering `iid` through *object, with the form `makeForm` makes; fails without
  // leaving one behind (E_FAIL when the form cannot be made).
  static HRESULT create(REFIID iid, void** object, FormMaker makeForm = makeStubForm);
  // The object behind any of its interfaces.
  static KinoroObject* of(const void* face) { return static_cast<const Face*>(face)->owner; }

  HRESULT queryInterface(REFIID iid, void** object);
  ULONG addRef();
  ULONG release();

  IKinoro* kinoro() { return reinterpret_cast<IKinoro*>(&kinoroFace_); }
  IConnectionPoint* connectionPoint() { return reinterpret_cast<IConnectionPoint*>(&pointFace_); }
  KinoroForm& form() { return *form_; }

  // Member operations through the table; booleans put as -1/0. A failure leaves its text in
  // the result and in the thread's error information.
  MemberResult get(const Member& member, VARIANT* out);
  MemberResult put(const Member& member, const VARIANT& value);
  MemberResult call(const Member& member);

  HRESULT invoke(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                 UINT* argErr);
  HRESULT advise(IUnknown* sink, DWORD* cookie);
  HRESULT unadvise(DWORD cookie);
  IUnknown* connection() const { return connection_; }
  HRESULT loadProperties(IPropertyBag* bag, IErrorLog* log);
  HRESULT saveProperties(IPropertyBag* bag);
  HRESULT getSafety(REFIID iid, DWORD* supported, DWORD* enabled);
  HRESULT setSafety(REFIID iid, DWORD mask, DWORD enabled);

  IOleClientSite* site = nullptr;
  SIZEL extent{0, 0};

  void raiseEvent(DISPID event) override;
  char16_t raiseKeyPress(char16_t key) override;

 private:
  explicit KinoroObject(FormMaker makeForm);
  ~KinoroObject() override;
  MemberResult guarded(const Member& member, auto&& operation);

  Face kinoroFace_, containerFace_, pointFace_, safetyFace_, bagFace_, errorFace_, oleFace_,
      inPlaceFace_, classInfoFace_;
  std::atomic<ULONG> refs_{0};
  std::unique_ptr<KinoroForm> form_;
  IUnknown* connection_ = nullptr;  // the connected sink as given
  IDispatch* eventSink_ = nullptr;  // that sink as IKinoroEvents
  DWORD safetyOptions_ = 0;
};

// Vtables of the object's interfaces (each in its own file).
extern const IKinoroVtbl kKinoroVtbl;
extern const IConnectionPointContainerVtbl kContainerVtbl;
extern const IConnectionPointVtbl kPointVtbl;
extern const IObjectSafetyVtbl kSafetyVtbl;
extern const IPersistPropertyBagVtbl kBagVtbl;
extern const ISupportErrorInfoVtbl kErrorVtbl;
extern const IOleObjectVtbl kOleObjectVtbl;
extern const IOleInPlaceObjectVtbl kInPlaceVtbl;
extern const IProvideClassInfoVtbl kClassInfoVtbl;

// Library-wide counts for DllCanUnloadNow, and the library's own file.
void countObject(int delta);
void countLock(int delta);
bool libraryInUse();
std::filesystem::path libraryFile();

}  // namespace nivra::control
