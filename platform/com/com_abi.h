#pragma once
/* The component object binary interface as this system uses it: identities, result codes,
 * 16-bit strings, variants and the interfaces a control and its host exchange. Plain C11, so
 * hosts written in C can use it; C++ code includes it unchanged.
 *
 * Objects are structs whose first member points to a table of function pointers; the tables
 * list the slots in the order every binary host expects (inherited slots first). Calls use the
 * platform's ordinary C calling convention. */

#include <stddef.h>
#include <stdint.h>

#ifndef __cplusplus
#include <uchar.h>
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef int32_t HRESULT;
typedef HRESULT SCODE;
typedef uint32_t ULONG;
typedef int32_t LONG;
typedef uint32_t DWORD;
typedef uint16_t WORD;
typedef uint8_t BYTE;
typedef int16_t SHORT;
typedef uint16_t USHORT;
typedef uint32_t UINT;
typedef int32_t INT;
typedef int32_t BOOL;
typedef int64_t LONGLONG;
typedef uint64_t ULONGLONG;
typedef float FLOAT;
typedef double DOUBLE;
typedef double DATE;
typedef uint32_t LCID;
typedef int32_t DISPID;
typedef DISPID MEMBERID;
typedef DWORD HREFTYPE;
typedef uint32_t OLE_COLOR;
typedef uint16_t VARTYPE;
/* -1 is true, 0 is false. */
typedef int16_t VARIANT_BOOL;
typedef char16_t OLECHAR;
typedef OLECHAR* LPOLESTR;
typedef const OLECHAR* LPCOLESTR;
/* A length-prefixed UTF-16 string: a 32-bit byte count sits just before the first character and
 * a zero character follows the last. NULL stands for the empty string. */
typedef OLECHAR* BSTR;
/* A native window: the X11 window id. */
typedef uintptr_t HWND;

#define VARIANT_TRUE ((VARIANT_BOOL)-1)
#define VARIANT_FALSE ((VARIANT_BOOL)0)

typedef struct GUID {
  uint32_t Data1;
  uint16_t Data2;
  uint16_t Data3;
  uint8_t Data4[8];
} GUID;
typedef GUID IID;
typedef GUID CLSID;
typedef const GUID* REFGUID;
typedef const IID* REFIID;
typedef const CLSID* REFCLSID;

#if defined(__GNUC__)
#define COM_UNUSED __attribute__((unused))
#else
#define COM_UNUSED
#endif
/* Defines a GUID constant in the including file. */
#define COM_DEFINE_GUID(name, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8) \
  static const GUID name COM_UNUSED = {l, w1, w2, {b1, b2, b3, b4, b5, b6, b7, b8}}

COM_DEFINE_GUID(GUID_NULL, 0x00000000, 0x0000, 0x0000, 0, 0, 0, 0, 0, 0, 0, 0);
COM_DEFINE_GUID(IID_IUnknown, 0x00000000, 0x0000, 0x0000, 0xC0, 0, 0, 0, 0, 0, 0, 0x46);
COM_DEFINE_GUID(IID_IClassFactory, 0x00000001, 0x0000, 0x0000, 0xC0, 0, 0, 0, 0, 0, 0, 0x46);
COM_DEFINE_GUID(IID_IDispatch, 0x00020400, 0x0000, 0x0000, 0xC0, 0, 0, 0, 0, 0, 0, 0x46);
COM_DEFINE_GUID(IID_ITypeInfo, 0x00020401, 0x0000, 0x0000, 0xC0, 0, 0, 0, 0, 0, 0, 0x46);
COM_DEFINE_GUID(IID_ITypeLib, 0x00020402, 0x0000, 0x0000, 0xC0, 0, 0, 0, 0, 0, 0, 0x46);
COM_DEFINE_GUID(IID_IErrorInfo, 0x1CF2B120, 0x547D, 0x101B, 0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B,
                0xD1, 0x19);
COM_DEFINE_GUID(IID_ISupportErrorInfo, 0xDF0B3D60, 0x548F, 0x101B, 0x8E, 0x65, 0x08, 0x00, 0x2B,
                0x2B, 0xD1, 0x19);
COM_DEFINE_GUID(IID_IConnectionPointContainer, 0xB196B284, 0xBAB4, 0x101A, 0xB6, 0x9C, 0x00, 0xAA,
                0x00, 0x34, 0x1D, 0x07);
COM_DEFINE_GUID(IID_IConnectionPoint, 0xB196B286, 0xBAB4, 0x101A, 0xB6, 0x9C, 0x00, 0xAA, 0x00,
                0x34, 0x1D, 0x07);
COM_DEFINE_GUID(IID_IEnumConnections, 0xB196B287, 0xBAB4, 0x101A, 0xB6, 0x9C, 0x00, 0xAA, 0x00,
                0x34, 0x1D, 0x07);
COM_DEFINE_GUID(IID_IEnumConnectionPoints, 0xB196B285, 0xBAB4, 0x101A, 0xB6, 0x9C, 0x00, 0xAA, 0x00,
                0x34, 0x1D, 0x07);
COM_DEFINE_GUID(IID_IObjectSafety, 0xCB5BDC81, 0x93C1, 0x11CF, 0x8F, 0x20, 0x00, 0x80, 0x5F, 0x2C,
                0xD0, 0x64);
COM_DEFINE_GUID(IID_IPersist, 0x0000010C, 0x0000, 0x0000, 0xC0, 0, 0, 0, 0, 0, 0, 0x46);
COM_DEFINE_GUID(IID_IPersistPropertyBag, 0x37D84F60, 0x42CB, 0x11CE, 0x81, 0x35, 0x00, 0xAA, 0x00,
                0x4B, 0xB8, 0x51);
COM_DEFINE_GUID(IID_IPropertyBag, 0x55272A00, 0x42CB, 0x11CE, 0x81, 0x35, 0x00, 0xAA, 0x00, 0x4B,
                0xB8, 0x51);
COM_DEFINE_GUID(IID_IErrorLog, 0x3127CA40, 0x446E, 0x11CE, 0x81, 0x35, 0x00, 0xAA, 0x00, 0x4B, 0xB8,
                0x51);
COM_DEFINE_GUID(IID_IProvideClassInfo, 0xB196B283, 0xBAB4, 0x101A, 0xB6, 0x9C, 0x00, 0xAA, 0x00,
                0x34, 0x1D, 0x07);
COM_DEFINE_GUID(IID_IOleObject, 0x00000112, 0x0000, 0x0000, 0xC0, 0, 0, 0, 0, 0, 0, 0x46);
COM_DEFINE_GUID(IID_IOleWindow, 0x00000114, 0x0000, 0x0000, 0xC0, 0, 0, 0, 0, 0, 0, 0x46);
COM_DEFINE_GUID(IID_IOleInPlaceObject, 0x00000113, 0x0000, 0x0000, 0xC0, 0, 0, 0, 0, 0, 0, 0x46);

/* Result codes. */
#define COM_HR(x) ((HRESULT)(x))
#define S_OK COM_HR(0)
#define S_FALSE COM_HR(1)
#define E_NOTIMPL COM_HR(0x80004001u)
#define E_NOINTERFACE COM_HR(0x80004002u)
#define E_POINTER COM_HR(0x80004003u)
#define E_ABORT COM_HR(0x80004004u)
#define E_FAIL COM_HR(0x80004005u)
#define E_UNEXPECTED COM_HR(0x8000FFFFu)
#define E_OUTOFMEMORY COM_HR(0x8007000Eu)
#define E_INVALIDARG COM_HR(0x80070057u)
#define CLASS_E_NOAGGREGATION COM_HR(0x80040110u)
#define CLASS_E_CLASSNOTAVAILABLE COM_HR(0x80040111u)
#define CONNECT_E_NOCONNECTION COM_HR(0x80040200u)
#define CONNECT_E_ADVISELIMIT COM_HR(0x80040201u)
#define CONNECT_E_CANNOTCONNECT COM_HR(0x80040202u)
#define DISP_E_UNKNOWNINTERFACE COM_HR(0x80020001u)
#define DISP_E_MEMBERNOTFOUND COM_HR(0x80020003u)
#define DISP_E_PARAMNOTFOUND COM_HR(0x80020004u)
#define DISP_E_TYPEMISMATCH COM_HR(0x80020005u)
#define DISP_E_UNKNOWNNAME COM_HR(0x80020006u)
#define DISP_E_NONAMEDARGS COM_HR(0x80020007u)
#define DISP_E_BADVARTYPE COM_HR(0x80020008u)
#define DISP_E_EXCEPTION COM_HR(0x80020009u)
#define DISP_E_OVERFLOW COM_HR(0x8002000Au)
#define DISP_E_BADINDEX COM_HR(0x8002000Bu)
#define DISP_E_BADPARAMCOUNT COM_HR(0x8002000Eu)
#define DISP_E_PARAMNOTOPTIONAL COM_HR(0x8002000Fu)
#define TYPE_E_ELEMENTNOTFOUND COM_HR(0x8002802Bu)
#define SUCCEEDED(hr) ((HRESULT)(hr) >= 0)
#define FAILED(hr) ((HRESULT)(hr) < 0)

/* Variant types. */
enum VARENUM {
  VT_EMPTY = 0,
  VT_NULL = 1,
  VT_I2 = 2,
  VT_I4 = 3,
  VT_R4 = 4,
  VT_R8 = 5,
  VT_CY = 6,
  VT_DATE = 7,
  VT_BSTR = 8,
  VT_DISPATCH = 9,
  VT_ERROR = 10,
  VT_BOOL = 11,
  VT_VARIANT = 12,
  VT_UNKNOWN = 13,
  VT_DECIMAL = 14,
  VT_I1 = 16,
  VT_UI1 = 17,
  VT_UI2 = 18,
  VT_UI4 = 19,
  VT_I8 = 20,
  VT_UI8 = 21,
  VT_INT = 22,
  VT_UINT = 23,
  VT_VOID = 24,
  VT_HRESULT = 25,
  VT_PTR = 26,
  VT_USERDEFINED = 29,
  VT_ARRAY = 0x2000,
  VT_BYREF = 0x4000
};
/* VariantChangeType flag: booleans convert to and from "True"/"False". */
#define VARIANT_ALPHABOOL 0x2

typedef struct IUnknown IUnknown;
typedef struct IDispatch IDispatch;

typedef union CY {
  struct {
    uint32_t Lo;
    int32_t Hi;
  } s;
  LONGLONG int64;
} CY;

/* 16 bytes on 32-bit and 24 bytes on 64-bit platforms. */
typedef struct VARIANT {
  VARTYPE vt;
  WORD wReserved1;
  WORD wReserved2;
  WORD wReserved3;
  union {
    LONGLONG llVal;
    ULONGLONG ullVal;
    LONG lVal;
    ULONG ulVal;
    BYTE bVal;
    SHORT iVal;
    USHORT uiVal;
    int8_t cVal;
    INT intVal;
    UINT uintVal;
    FLOAT fltVal;
    DOUBLE dblVal;
    VARIANT_BOOL boolVal;
    SCODE scode;
    CY cyVal;
    DATE date;
    BSTR bstrVal;
    IUnknown* punkVal;
    IDispatch* pdispVal;
    SHORT* piVal;
    LONG* plVal;
    ULONG* pulVal;
    LONGLONG* pllVal;
    ULONGLONG* pullVal;
    DOUBLE* pdblVal;
    VARIANT_BOOL* pboolVal;
    BSTR* pbstrVal;
    IUnknown** ppunkVal;
    IDispatch** ppdispVal;
    struct VARIANT* pvarVal;
    void* byref;
    struct {
      void* pvRecord;
      void* pRecInfo;
    } brecVal;
  };
} VARIANT;
typedef VARIANT VARIANTARG;

typedef struct DISPPARAMS {
  VARIANTARG* rgvarg; /* arguments in reverse order */
  DISPID* rgdispidNamedArgs;
  UINT cArgs;
  UINT cNamedArgs;
} DISPPARAMS;

typedef struct EXCEPINFO {
  WORD wCode;
  WORD wReserved;
  BSTR bstrSource;
  BSTR bstrDescription;
  BSTR bstrHelpFile;
  DWORD dwHelpContext;
  void* pvReserved;
  HRESULT (*pfnDeferredFillIn)(struct EXCEPINFO*);
  SCODE scode;
} EXCEPINFO;

#define DISPATCH_METHOD 0x1
#define DISPATCH_PROPERTYGET 0x2
#define DISPATCH_PROPERTYPUT 0x4
#define DISPATCH_PROPERTYPUTREF 0x8
#define DISPID_UNKNOWN (-1)
#define DISPID_VALUE 0
#define DISPID_PROPERTYPUT (-3)
#define MEMBERID_NIL (-1)

/* ---- IUnknown ---- */
typedef struct IUnknownVtbl {
  HRESULT (*QueryInterface)(IUnknown* self, REFIID iid, void** object);
  ULONG (*AddRef)(IUnknown* self);
  ULONG (*Release)(IUnknown* self);
} IUnknownVtbl;
struct IUnknown {
  const IUnknownVtbl* lpVtbl;
};

/* Declares the three IUnknown slots of an interface's table. */
#define COM_IUNKNOWN_SLOTS(Self)                                     \
  HRESULT (*QueryInterface)(Self * self, REFIID iid, void** object); \
  ULONG (*AddRef)(Self * self);                                      \
  ULONG (*Release)(Self * self)

typedef struct ITypeInfo ITypeInfo;
typedef struct ITypeLib ITypeLib;
typedef struct ITypeComp ITypeComp;

/* ---- IDispatch ---- */
#define COM_IDISPATCH_SLOTS(Self)                                                   \
  COM_IUNKNOWN_SLOTS(Self);                                                         \
  HRESULT (*GetTypeInfoCount)(Self * self, UINT * count);                           \
  HRESULT (*GetTypeInfo)(Self * self, UINT index, LCID lcid, ITypeInfo * *info);    \
  HRESULT(*GetIDsOfNames)                                                           \
  (Self * self, REFIID iid, LPOLESTR * names, UINT count, LCID lcid, DISPID * ids); \
  HRESULT(*Invoke)                                                                  \
  (Self * self, DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS * params,  \
   VARIANT * result, EXCEPINFO * exception, UINT * argErr)

typedef struct IDispatchVtbl {
  COM_IDISPATCH_SLOTS(IDispatch);
} IDispatchVtbl;
struct IDispatch {
  const IDispatchVtbl* lpVtbl;
};

/* ---- IClassFactory ---- */
typedef struct IClassFactory IClassFactory;
typedef struct IClassFactoryVtbl {
  COM_IUNKNOWN_SLOTS(IClassFactory);
  HRESULT (*CreateInstance)(IClassFactory* self, IUnknown* outer, REFIID iid, void** object);
  HRESULT (*LockServer)(IClassFactory* self, BOOL lock);
} IClassFactoryVtbl;
struct IClassFactory {
  const IClassFactoryVtbl* lpVtbl;
};

/* ---- Connection points ---- */
typedef struct IConnectionPoint IConnectionPoint;
typedef struct IConnectionPointContainer IConnectionPointContainer;
typedef struct IEnumConnections IEnumConnections;
typedef struct IEnumConnectionPoints IEnumConnectionPoints;

typedef struct CONNECTDATA {
  IUnknown* pUnk;
  DWORD dwCookie;
} CONNECTDATA;

typedef struct IEnumConnectionsVtbl {
  COM_IUNKNOWN_SLOTS(IEnumConnections);
  HRESULT (*Next)(IEnumConnections* self, ULONG count, CONNECTDATA* items, ULONG* fetched);
  HRESULT (*Skip)(IEnumConnections* self, ULONG count);
  HRESULT (*Reset)(IEnumConnections* self);
  HRESULT (*Clone)(IEnumConnections* self, IEnumConnections** copy);
} IEnumConnectionsVtbl;
struct IEnumConnections {
  const IEnumConnectionsVtbl* lpVtbl;
};

typedef struct IEnumConnectionPointsVtbl {
  COM_IUNKNOWN_SLOTS(IEnumConnectionPoints);
  HRESULT(*Next)
  (IEnumConnectionPoints* self, ULONG count, IConnectionPoint** items, ULONG* fetched);
  HRESULT (*Skip)(IEnumConnectionPoints* self, ULONG count);
  HRESULT (*Reset)(IEnumConnectionPoints* self);
  HRESULT (*Clone)(IEnumConnectionPoints* self, IEnumConnectionPoints** copy);
} IEnumConnectionPointsVtbl;
struct IEnumConnectionPoints {
  const IEnumConnectionPointsVtbl* lpVtbl;
};

typedef struct IConnectionPointVtbl {
  COM_IUNKNOWN_SLOTS(IConnectionPoint);
  HRESULT (*GetConnectionInterface)(IConnectionPoint* self, IID* iid);
  HRESULT(*GetConnectionPointContainer)
  (IConnectionPoint* self, IConnectionPointContainer** container);
  HRESULT (*Advise)(IConnectionPoint* self, IUnknown* sink, DWORD* cookie);
  HRESULT (*Unadvise)(IConnectionPoint* self, DWORD cookie);
  HRESULT (*EnumConnections)(IConnectionPoint* self, IEnumConnections** connections);
} IConnectionPointVtbl;
struct IConnectionPoint {
  const IConnectionPointVtbl* lpVtbl;
};

typedef struct IConnectionPointContainerVtbl {
  COM_IUNKNOWN_SLOTS(IConnectionPointContainer);
  HRESULT (*EnumConnectionPoints)(IConnectionPointContainer* self, IEnumConnectionPoints** points);
  HRESULT(*FindConnectionPoint)
  (IConnectionPointContainer* self, REFIID iid, IConnectionPoint** point);
} IConnectionPointContainerVtbl;
struct IConnectionPointContainer {
  const IConnectionPointContainerVtbl* lpVtbl;
};

/* ---- IObjectSafety ---- */
#define INTERFACESAFE_FOR_UNTRUSTED_CALLER 0x1
#define INTERFACESAFE_FOR_UNTRUSTED_DATA 0x2
typedef struct IObjectSafety IObjectSafety;
typedef struct IObjectSafetyVtbl {
  COM_IUNKNOWN_SLOTS(IObjectSafety);
  HRESULT(*GetInterfaceSafetyOptions)
  (IObjectSafety* self, REFIID iid, DWORD* supported, DWORD* enabled);
  HRESULT (*SetInterfaceSafetyOptions)(IObjectSafety* self, REFIID iid, DWORD mask, DWORD enabled);
} IObjectSafetyVtbl;
struct IObjectSafety {
  const IObjectSafetyVtbl* lpVtbl;
};

/* ---- Error information ---- */
typedef struct IErrorLog IErrorLog;
typedef struct IErrorLogVtbl {
  COM_IUNKNOWN_SLOTS(IErrorLog);
  HRESULT (*AddError)(IErrorLog* self, LPCOLESTR property, EXCEPINFO* error);
} IErrorLogVtbl;
struct IErrorLog {
  const IErrorLogVtbl* lpVtbl;
};

typedef struct IErrorInfo IErrorInfo;
typedef struct IErrorInfoVtbl {
  COM_IUNKNOWN_SLOTS(IErrorInfo);
  HRESULT (*GetGUID)(IErrorInfo* self, GUID* guid);
  HRESULT (*GetSource)(IErrorInfo* self, BSTR* source);
  HRESULT (*GetDescription)(IErrorInfo* self, BSTR* description);
  HRESULT (*GetHelpFile)(IErrorInfo* self, BSTR* helpFile);
  HRESULT (*GetHelpContext)(IErrorInfo* self, DWORD* helpContext);
} IErrorInfoVtbl;
struct IErrorInfo {
  const IErrorInfoVtbl* lpVtbl;
};

typedef struct ISupportErrorInfo ISupportErrorInfo;
typedef struct ISupportErrorInfoVtbl {
  COM_IUNKNOWN_SLOTS(ISupportErrorInfo);
  HRESULT (*InterfaceSupportsErrorInfo)(ISupportErrorInfo* self, REFIID iid);
} ISupportErrorInfoVtbl;
struct ISupportErrorInfo {
  const ISupportErrorInfoVtbl* lpVtbl;
};

/* ---- Persistence through a property bag ---- */
typedef struct IPropertyBag IPropertyBag;
typedef struct IPropertyBagVtbl {
  COM_IUNKNOWN_SLOTS(IPropertyBag);
  /* On entry value->vt names the wanted type (VT_EMPTY: any). */
  HRESULT (*Read)(IPropertyBag* self, LPCOLESTR name, VARIANT* value, IErrorLog* log);
  HRESULT (*Write)(IPropertyBag* self, LPCOLESTR name, VARIANT* value);
} IPropertyBagVtbl;
struct IPropertyBag {
  const IPropertyBagVtbl* lpVtbl;
};

typedef struct IPersistPropertyBag IPersistPropertyBag;
typedef struct IPersistPropertyBagVtbl {
  COM_IUNKNOWN_SLOTS(IPersistPropertyBag);
  HRESULT (*GetClassID)(IPersistPropertyBag* self, CLSID* clsid);
  HRESULT (*InitNew)(IPersistPropertyBag* self);
  HRESULT (*Load)(IPersistPropertyBag* self, IPropertyBag* bag, IErrorLog* log);
  HRESULT (*Save)(IPersistPropertyBag* self, IPropertyBag* bag, BOOL clearDirty, BOOL saveAll);
} IPersistPropertyBagVtbl;
struct IPersistPropertyBag {
  const IPersistPropertyBagVtbl* lpVtbl;
};

/* ---- Type information ---- */
typedef enum TYPEKIND {
  TKIND_ENUM = 0,
  TKIND_RECORD,
  TKIND_MODULE,
  TKIND_INTERFACE,
  TKIND_DISPATCH,
  TKIND_COCLASS,
  TKIND_ALIAS,
  TKIND_UNION
} TYPEKIND;
typedef enum FUNCKIND {
  FUNC_VIRTUAL = 0,
  FUNC_PUREVIRTUAL,
  FUNC_NONVIRTUAL,
  FUNC_STATIC,
  FUNC_DISPATCH
} FUNCKIND;
typedef enum INVOKEKIND {
  INVOKE_FUNC = 1,
  INVOKE_PROPERTYGET = 2,
  INVOKE_PROPERTYPUT = 4,
  INVOKE_PROPERTYPUTREF = 8
} INVOKEKIND;
typedef enum CALLCONV { CC_FASTCALL = 0, CC_CDECL = 1, CC_STDCALL = 4 } CALLCONV;
typedef enum SYSKIND { SYS_WIN16 = 0, SYS_WIN32, SYS_MAC, SYS_WIN64 } SYSKIND;

#define TYPEFLAG_FCANCREATE 0x2
#define TYPEFLAG_FCONTROL 0x20
#define TYPEFLAG_FHIDDEN 0x10
#define TYPEFLAG_FDUAL 0x40
#define TYPEFLAG_FOLEAUTOMATION 0x100
#define TYPEFLAG_FDISPATCHABLE 0x1000
#define FUNCFLAG_FHIDDEN 0x40
#define LIBFLAG_FCONTROL 0x2
#define IMPLTYPEFLAG_FDEFAULT 0x1
#define IMPLTYPEFLAG_FSOURCE 0x2
#define PARAMFLAG_FIN 0x1
#define PARAMFLAG_FOUT 0x2
#define PARAMFLAG_FRETVAL 0x8

typedef struct TYPEDESC {
  union {
    struct TYPEDESC* lptdesc;
    void* lpadesc;
    HREFTYPE hreftype;
  };
  VARTYPE vt;
} TYPEDESC;
typedef struct IDLDESC {
  uintptr_t dwReserved;
  USHORT wIDLFlags;
} IDLDESC;
typedef struct PARAMDESC {
  void* pparamdescex;
  USHORT wParamFlags;
} PARAMDESC;
typedef struct ELEMDESC {
  TYPEDESC tdesc;
  union {
    IDLDESC idldesc;
    PARAMDESC paramdesc;
  };
} ELEMDESC;

typedef struct TYPEATTR {
  GUID guid;
  LCID lcid;
  DWORD dwReserved;
  MEMBERID memidConstructor;
  MEMBERID memidDestructor;
  LPOLESTR lpstrSchema;
  ULONG cbSizeInstance;
  TYPEKIND typekind;
  WORD cFuncs;
  WORD cVars;
  WORD cImplTypes;
  WORD cbSizeVft;
  WORD cbAlignment;
  WORD wTypeFlags;
  WORD wMajorVerNum;
  WORD wMinorVerNum;
  TYPEDESC tdescAlias;
  IDLDESC idldescType;
} TYPEATTR;

typedef struct FUNCDESC {
  MEMBERID memid;
  SCODE* lprgscode;
  ELEMDESC* lprgelemdescParam;
  FUNCKIND funckind;
  INVOKEKIND invkind;
  CALLCONV callconv;
  SHORT cParams;
  SHORT cParamsOpt;
  SHORT oVft;
  SHORT cScodes;
  ELEMDESC elemdescFunc;
  WORD wFuncFlags;
} FUNCDESC;

typedef struct VARDESC VARDESC;

typedef struct TLIBATTR {
  GUID guid;
  LCID lcid;
  SYSKIND syskind;
  WORD wMajorVerNum;
  WORD wMinorVerNum;
  WORD wLibFlags;
} TLIBATTR;

typedef struct ITypeInfoVtbl {
  COM_IUNKNOWN_SLOTS(ITypeInfo);
  HRESULT (*GetTypeAttr)(ITypeInfo* self, TYPEATTR** attr);
  HRESULT (*GetTypeComp)(ITypeInfo* self, ITypeComp** comp);
  HRESULT (*GetFuncDesc)(ITypeInfo* self, UINT index, FUNCDESC** desc);
  HRESULT (*GetVarDesc)(ITypeInfo* self, UINT index, VARDESC** desc);
  HRESULT (*GetNames)(ITypeInfo* self, MEMBERID id, BSTR* names, UINT max, UINT* count);
  HRESULT (*GetRefTypeOfImplType)(ITypeInfo* self, UINT index, HREFTYPE* ref);
  HRESULT (*GetImplTypeFlags)(ITypeInfo* self, UINT index, INT* flags);
  HRESULT (*GetIDsOfNames)(ITypeInfo* self, LPOLESTR* names, UINT count, MEMBERID* ids);
  HRESULT(*Invoke)
  (ITypeInfo* self, void* instance, MEMBERID id, WORD flags, DISPPARAMS* params, VARIANT* result,
   EXCEPINFO* exception, UINT* argErr);
  HRESULT(*GetDocumentation)
  (ITypeInfo* self, MEMBERID id, BSTR* name, BSTR* doc, DWORD* helpContext, BSTR* helpFile);
  HRESULT(*GetDllEntry)
  (ITypeInfo* self, MEMBERID id, INVOKEKIND kind, BSTR* dll, BSTR* name, WORD* ordinal);
  HRESULT (*GetRefTypeInfo)(ITypeInfo* self, HREFTYPE ref, ITypeInfo** info);
  HRESULT (*AddressOfMember)(ITypeInfo* self, MEMBERID id, INVOKEKIND kind, void** address);
  HRESULT (*CreateInstance)(ITypeInfo* self, IUnknown* outer, REFIID iid, void** object);
  HRESULT (*GetMops)(ITypeInfo* self, MEMBERID id, BSTR* mops);
  HRESULT (*GetContainingTypeLib)(ITypeInfo* self, ITypeLib** lib, UINT* index);
  void (*ReleaseTypeAttr)(ITypeInfo* self, TYPEATTR* attr);
  void (*ReleaseFuncDesc)(ITypeInfo* self, FUNCDESC* desc);
  void (*ReleaseVarDesc)(ITypeInfo* self, VARDESC* desc);
} ITypeInfoVtbl;
struct ITypeInfo {
  const ITypeInfoVtbl* lpVtbl;
};

typedef struct ITypeLibVtbl {
  COM_IUNKNOWN_SLOTS(ITypeLib);
  UINT (*GetTypeInfoCount)(ITypeLib* self);
  HRESULT (*GetTypeInfo)(ITypeLib* self, UINT index, ITypeInfo** info);
  HRESULT (*GetTypeInfoType)(ITypeLib* self, UINT index, TYPEKIND* kind);
  HRESULT (*GetTypeInfoOfGuid)(ITypeLib* self, REFGUID guid, ITypeInfo** info);
  HRESULT (*GetLibAttr)(ITypeLib* self, TLIBATTR** attr);
  HRESULT (*GetTypeComp)(ITypeLib* self, ITypeComp** comp);
  HRESULT(*GetDocumentation)
  (ITypeLib* self, INT index, BSTR* name, BSTR* doc, DWORD* helpContext, BSTR* helpFile);
  HRESULT (*IsName)(ITypeLib* self, LPOLESTR name, ULONG hash, BOOL* found);
  HRESULT(*FindName)
  (ITypeLib* self, LPOLESTR name, ULONG hash, ITypeInfo** infos, MEMBERID* ids, USHORT* found);
  void (*ReleaseTLibAttr)(ITypeLib* self, TLIBATTR* attr);
} ITypeLibVtbl;
struct ITypeLib {
  const ITypeLibVtbl* lpVtbl;
};

/* ---- The class's type information, for hosts that look for its event interface ---- */
typedef struct IProvideClassInfo IProvideClassInfo;
typedef struct IProvideClassInfoVtbl {
  COM_IUNKNOWN_SLOTS(IProvideClassInfo);
  HRESULT (*GetClassInfo)(IProvideClassInfo* self, ITypeInfo** info);
} IProvideClassInfoVtbl;
struct IProvideClassInfo {
  const IProvideClassInfoVtbl* lpVtbl;
};

/* ---- Placing a control in its host's window ---- */
typedef struct RECT {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
} RECT;
typedef struct SIZEL {
  LONG cx;
  LONG cy;
} SIZEL;
/* Interfaces the tables below name but this system does not define. */
typedef struct IOleClientSite IOleClientSite;
typedef struct IMoniker IMoniker;
typedef struct IDataObject IDataObject;
typedef struct IEnumOLEVERB IEnumOLEVERB;
typedef struct IAdviseSink IAdviseSink;
typedef struct IEnumSTATDATA IEnumSTATDATA;
typedef struct MSG MSG;
typedef struct LOGPALETTE LOGPALETTE;

#define OLEIVERB_PRIMARY 0
#define OLEIVERB_SHOW (-1)
#define OLEIVERB_INPLACEACTIVATE (-5)
#define DVASPECT_CONTENT 1

typedef struct IOleWindow IOleWindow;
#define COM_IOLEWINDOW_SLOTS(Self)                  \
  COM_IUNKNOWN_SLOTS(Self);                         \
  HRESULT (*GetWindow)(Self * self, HWND * window); \
  HRESULT (*ContextSensitiveHelp)(Self * self, BOOL enterMode)
typedef struct IOleWindowVtbl {
  COM_IOLEWINDOW_SLOTS(IOleWindow);
} IOleWindowVtbl;
struct IOleWindow {
  const IOleWindowVtbl* lpVtbl;
};

typedef struct IOleInPlaceObject IOleInPlaceObject;
typedef struct IOleInPlaceObjectVtbl {
  COM_IOLEWINDOW_SLOTS(IOleInPlaceObject);
  HRESULT (*InPlaceDeactivate)(IOleInPlaceObject* self);
  HRESULT (*UIDeactivate)(IOleInPlaceObject* self);
  HRESULT (*SetObjectRects)(IOleInPlaceObject* self, const RECT* position, const RECT* clip);
  HRESULT (*ReactivateAndUndo)(IOleInPlaceObject* self);
} IOleInPlaceObjectVtbl;
struct IOleInPlaceObject {
  const IOleInPlaceObjectVtbl* lpVtbl;
};

typedef struct IOleObject IOleObject;
typedef struct IOleObjectVtbl {
  COM_IUNKNOWN_SLOTS(IOleObject);
  HRESULT (*SetClientSite)(IOleObject* self, IOleClientSite* site);
  HRESULT (*GetClientSite)(IOleObject* self, IOleClientSite** site);
  HRESULT (*SetHostNames)(IOleObject* self, LPCOLESTR container, LPCOLESTR object);
  HRESULT (*Close)(IOleObject* self, DWORD saveOption);
  HRESULT (*SetMoniker)(IOleObject* self, DWORD which, IMoniker* moniker);
  HRESULT (*GetMoniker)(IOleObject* self, DWORD assign, DWORD which, IMoniker** moniker);
  HRESULT (*InitFromData)(IOleObject* self, IDataObject* data, BOOL creation, DWORD reserved);
  HRESULT (*GetClipboardData)(IOleObject* self, DWORD reserved, IDataObject** data);
  HRESULT(*DoVerb)
  (IOleObject* self, LONG verb, MSG* msg, IOleClientSite* site, LONG index, HWND parent,
   const RECT* position);
  HRESULT (*EnumVerbs)(IOleObject* self, IEnumOLEVERB** verbs);
  HRESULT (*Update)(IOleObject* self);
  HRESULT (*IsUpToDate)(IOleObject* self);
  HRESULT (*GetUserClassID)(IOleObject* self, CLSID* clsid);
  HRESULT (*GetUserType)(IOleObject* self, DWORD form, LPOLESTR* userType);
  HRESULT (*SetExtent)(IOleObject* self, DWORD aspect, SIZEL* size);
  HRESULT (*GetExtent)(IOleObject* self, DWORD aspect, SIZEL* size);
  HRESULT (*Advise)(IOleObject* self, IAdviseSink* sink, DWORD* connection);
  HRESULT (*Unadvise)(IOleObject* self, DWORD connection);
  HRESULT (*EnumAdvise)(IOleObject* self, IEnumSTATDATA** advise);
  HRESULT (*GetMiscStatus)(IOleObject* self, DWORD aspect, DWORD* status);
  HRESULT (*SetColorScheme)(IOleObject* self, LOGPALETTE* palette);
} IOleObjectVtbl;
struct IOleObject {
  const IOleObjectVtbl* lpVtbl;
};

/* ---- Strings, variants and error information (com_runtime.c) ---- */
/* A new string holding `text` up to its zero; NULL for a NULL text or no memory. */
BSTR SysAllocString(const OLECHAR* text);
/* A new string of `length` characters copied from `text` (left zero when `text` is NULL). */
BSTR SysAllocStringLen(const OLECHAR* text, UINT length);
void SysFreeString(BSTR text);
UINT SysStringLen(BSTR text);
UINT SysStringByteLen(BSTR text);

void VariantInit(VARIANTARG* value);
/* Frees what the variant owns (string, interface reference) and leaves it VT_EMPTY. */
HRESULT VariantClear(VARIANTARG* value);
/* Clears `destination`, then makes it an owning copy of `source`. */
HRESULT VariantCopy(VARIANTARG* destination, const VARIANTARG* source);
/* The same, with a VT_BYREF source copied as the value it points to. */
HRESULT VariantCopyInd(VARIANT* destination, const VARIANTARG* source);
/* Converts `source` to `type` into `destination` (which may be `source`). Failures:
 * DISP_E_TYPEMISMATCH (no such conversion, text that is no number), DISP_E_OVERFLOW (out of the
 * target's range), DISP_E_BADVARTYPE (a type this system does not know). */
HRESULT VariantChangeType(VARIANTARG* destination, const VARIANTARG* source, USHORT flags,
                          VARTYPE type);

/* The calling thread's error information: SetErrorInfo takes a reference (NULL clears it);
 * GetErrorInfo hands the reference over and clears the slot (S_FALSE when there is none). */
HRESULT SetErrorInfo(ULONG reserved, IErrorInfo* info);
HRESULT GetErrorInfo(ULONG reserved, IErrorInfo** info);

/* True when both identities are equal. */
static inline int IsEqualGUID(REFGUID a, REFGUID b) {
  const uint8_t* x = (const uint8_t*)a;
  const uint8_t* y = (const uint8_t*)b;
  size_t i;
  for (i = 0; i < sizeof(GUID); ++i)
    if (x[i] != y[i]) return 0;
  return 1;
}

#ifdef __cplusplus
}
#endif
