#pragma once
/* What a host sees of the player control in libkinoro.so: its identities, the IKinoro member
 * table (which lays out the vtable and drives dispatch, type information and property-bag
 * loading inside the library), the event interface and the library's exports. Plain C11. */

#include "platform/com/com_abi.h"

#ifdef __cplusplus
extern "C" {
#endif

COM_DEFINE_GUID(LIBID_Kinoro, 0x4345C111, 0xF343, 0x4F5B, 0x9A, 0x56, 0xA7, 0x08, 0x3B, 0x5A, 0x16,
                0x66);
COM_DEFINE_GUID(IID_IKinoro, 0xFE0AE6B2, 0xADCF, 0x44B1, 0xAE, 0x5F, 0x4C, 0xDA, 0x6D, 0x7C, 0xBC,
                0x83);
COM_DEFINE_GUID(DIID_IKinoroEvents, 0x9AC552DF, 0x037E, 0x4C6F, 0xB7, 0x08, 0x52, 0xC7, 0x5C, 0x65,
                0x46, 0xE2);
COM_DEFINE_GUID(CLSID_CoKinoro, 0x7E27DAB6, 0xC296, 0x4561, 0xA2, 0x75, 0xFF, 0xB7, 0xF3, 0x4F,
                0x35, 0xD7);

typedef enum TxActiveFormBorderStyle {
  afbNone = 0,
  afbSingle,
  afbSunken,
  afbRaised
} TxActiveFormBorderStyle;
typedef enum TxPrintScale { poNone = 0, poProportional, poPrintToFit } TxPrintScale;
typedef enum TxMouseButton { mbLeft = 0, mbRight, mbMiddle } TxMouseButton;
typedef enum TxPopupMode { pmNone = 0, pmAuto, pmExplicit } TxPopupMode;

/* The members of IKinoro in vtable order:
 *   X(order, DISPID, name, access, C type, variant type, hidden)
 * access GET: one slot (get_Name); GETPUT: get_Name, put_Name; GETPUTREF: get_Name, put_Name,
 * putref_Name; METHOD: one slot (Name). Gets take a pointer to the C type, puts the value. */
#define KINORO_MEMBERS(X)                                        \
  X(1, 201, Visible, GETPUT, VARIANT_BOOL, VT_BOOL, 1)           \
  X(2, 202, AutoScroll, GETPUT, VARIANT_BOOL, VT_BOOL, 0)        \
  X(3, 203, AutoSize, GETPUT, VARIANT_BOOL, VT_BOOL, 0)          \
  X(4, 204, AxBorderStyle, GETPUT, LONG, VT_I4, 0)               \
  X(5, -518, Caption, GETPUT, BSTR, VT_BSTR, 0)                  \
  X(6, -501, Color, GETPUT, OLE_COLOR, VT_UI4, 0)                \
  X(7, -512, Font, GETPUTREF, IDispatch*, VT_DISPATCH, 0)        \
  X(8, 205, KeyPreview, GETPUT, VARIANT_BOOL, VT_BOOL, 0)        \
  X(9, 206, PixelsPerInch, GETPUT, LONG, VT_I4, 0)               \
  X(10, 207, PrintScale, GETPUT, LONG, VT_I4, 0)                 \
  X(11, 208, Scaled, GETPUT, VARIANT_BOOL, VT_BOOL, 0)           \
  X(12, 209, Active, GET, VARIANT_BOOL, VT_BOOL, 1)              \
  X(13, 210, DropTarget, GETPUT, VARIANT_BOOL, VT_BOOL, 1)       \
  X(14, 211, HelpFile, GETPUT, BSTR, VT_BSTR, 1)                 \
  X(15, 212, PopupMode, GETPUT, LONG, VT_I4, 1)                  \
  X(16, 213, ScreenSnap, GETPUT, VARIANT_BOOL, VT_BOOL, 1)       \
  X(17, 214, SnapBuffer, GETPUT, LONG, VT_I4, 1)                 \
  X(18, 215, DockSite, GETPUT, VARIANT_BOOL, VT_BOOL, 1)         \
  X(19, 216, DoubleBuffered, GETPUT, VARIANT_BOOL, VT_BOOL, 1)   \
  X(20, 217, AlignDisabled, GET, VARIANT_BOOL, VT_BOOL, 1)       \
  X(21, 218, MouseInClient, GET, VARIANT_BOOL, VT_BOOL, 1)       \
  X(22, 219, VisibleDockClientCount, GET, LONG, VT_I4, 1)        \
  X(23, 220, UseDockManager, GETPUT, VARIANT_BOOL, VT_BOOL, 1)   \
  X(24, -514, Enabled, GETPUT, VARIANT_BOOL, VT_BOOL, 1)         \
  X(25, 221, ExplicitLeft, GET, LONG, VT_I4, 1)                  \
  X(26, 222, ExplicitTop, GET, LONG, VT_I4, 1)                   \
  X(27, 223, ExplicitWidth, GET, LONG, VT_I4, 1)                 \
  X(28, 224, ExplicitHeight, GET, LONG, VT_I4, 1)                \
  X(29, 225, AlignWithMargins, GETPUT, VARIANT_BOOL, VT_BOOL, 0) \
  X(30, 234, Duration, GET, ULONG, VT_UI4, 0)                    \
  X(31, 236, FileName, GETPUT, BSTR, VT_BSTR, 0)                 \
  X(32, 237, FullDisp, GETPUT, VARIANT_BOOL, VT_BOOL, 0)         \
  X(33, 238, Mute, GETPUT, VARIANT_BOOL, VT_BOOL, 0)             \
  X(34, 239, Position, GETPUT, ULONG, VT_UI4, 0)                 \
  X(35, 240, URL, GETPUT, BSTR, VT_BSTR, 0)                      \
  X(36, 241, Version, GET, ULONGLONG, VT_UI8, 0)                 \
  X(37, 242, Volume, GETPUT, LONG, VT_I4, 0)                     \
  X(38, 243, Stop, METHOD, void, VT_EMPTY, 0)                    \
  X(39, 226, AdW, GETPUT, LONG, VT_I4, 0)                        \
  X(40, 227, AdH, GETPUT, LONG, VT_I4, 0)                        \
  X(41, 228, State, GET, LONG, VT_I4, 0)

/* Events of IKinoroEvents (a pure dispatch interface): X(DISPID, name, argument count). */
#define KINORO_EVENTS(X)  \
  X(201, OnActivate, 0)   \
  X(202, OnClick, 0)      \
  X(203, OnCreate, 0)     \
  X(204, OnDblClick, 0)   \
  X(205, OnDestroy, 0)    \
  X(206, OnDeactivate, 0) \
  X(207, OnKeyPress, 1)   \
  X(208, OnMouseEnter, 0) \
  X(209, OnMouseLeave, 0) \
  X(210, OnPaint, 0)

#define KINORO_EVENT_DISPID(dispid, Name, args) DISPID_##Name = dispid,
enum KinoroEventDispid { KINORO_EVENTS(KINORO_EVENT_DISPID) };
#undef KINORO_EVENT_DISPID

typedef struct IKinoro IKinoro;

#define KINORO_SLOT_GET(Name, T) HRESULT (*get_##Name)(IKinoro * self, T * value);
#define KINORO_SLOT_PUT(Name, T) HRESULT (*put_##Name)(IKinoro * self, T value);
#define KINORO_SLOTS_GET(Name, T) KINORO_SLOT_GET(Name, T)
#define KINORO_SLOTS_GETPUT(Name, T) KINORO_SLOT_GET(Name, T) KINORO_SLOT_PUT(Name, T)
#define KINORO_SLOTS_GETPUTREF(Name, T) \
  KINORO_SLOTS_GETPUT(Name, T) HRESULT (*putref_##Name)(IKinoro * self, T value);
#define KINORO_SLOTS_METHOD(Name, T) HRESULT (*Name)(IKinoro * self);
#define KINORO_VTBL_ROW(order, dispid, Name, access, T, vt, hidden) KINORO_SLOTS_##access(Name, T)

typedef struct IKinoroVtbl {
  COM_IDISPATCH_SLOTS(IKinoro);
  KINORO_MEMBERS(KINORO_VTBL_ROW)
} IKinoroVtbl;
struct IKinoro {
  const IKinoroVtbl* lpVtbl;
};

/* The library's exports (look them up with dlsym by these names). */
typedef HRESULT (*DllGetClassObjectFn)(REFCLSID clsid, REFIID iid, void** object);
typedef HRESULT (*DllCanUnloadNowFn)(void);
typedef HRESULT (*DllRegisterServerFn)(void);
typedef HRESULT (*DllUnregisterServerFn)(void);

#ifdef __cplusplus
}
#endif
