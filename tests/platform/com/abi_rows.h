#pragma once
/* Slot numbers every binary host relies on: X(vtable type, slot, 0-based index). Read by the
 * C and the C++ side of the layout test. */
#define COM_ABI_SLOT_ROWS(X)                                \
  X(IUnknownVtbl, QueryInterface, 0)                        \
  X(IUnknownVtbl, AddRef, 1)                                \
  X(IUnknownVtbl, Release, 2)                               \
  X(IDispatchVtbl, GetTypeInfoCount, 3)                     \
  X(IDispatchVtbl, GetTypeInfo, 4)                          \
  X(IDispatchVtbl, GetIDsOfNames, 5)                        \
  X(IDispatchVtbl, Invoke, 6)                               \
  X(IClassFactoryVtbl, CreateInstance, 3)                   \
  X(IClassFactoryVtbl, LockServer, 4)                       \
  X(IConnectionPointContainerVtbl, EnumConnectionPoints, 3) \
  X(IConnectionPointContainerVtbl, FindConnectionPoint, 4)  \
  X(IConnectionPointVtbl, GetConnectionInterface, 3)        \
  X(IConnectionPointVtbl, GetConnectionPointContainer, 4)   \
  X(IConnectionPointVtbl, Advise, 5)                        \
  X(IConnectionPointVtbl, Unadvise, 6)                      \
  X(IConnectionPointVtbl, EnumConnections, 7)               \
  X(IEnumConnectionsVtbl, Next, 3)                          \
  X(IEnumConnectionsVtbl, Clone, 6)                         \
  X(IEnumConnectionPointsVtbl, Clone, 6)                    \
  X(IObjectSafetyVtbl, GetInterfaceSafetyOptions, 3)        \
  X(IObjectSafetyVtbl, SetInterfaceSafetyOptions, 4)        \
  X(IPersistPropertyBagVtbl, GetClassID, 3)                 \
  X(IPersistPropertyBagVtbl, InitNew, 4)                    \
  X(IPersistPropertyBagVtbl, Load, 5)                       \
  X(IPersistPropertyBagVtbl, Save, 6)                       \
  X(IPropertyBagVtbl, Read, 3)                              \
  X(IPropertyBagVtbl, Write, 4)                             \
  X(IErrorLogVtbl, AddError, 3)                             \
  X(ISupportErrorInfoVtbl, InterfaceSupportsErrorInfo, 3)   \
  X(IErrorInfoVtbl, GetGUID, 3)                             \
  X(IErrorInfoVtbl, GetDescription, 5)                      \
  X(IErrorInfoVtbl, GetHelpContext, 7)                      \
  X(ITypeInfoVtbl, GetTypeAttr, 3)                          \
  X(ITypeInfoVtbl, GetFuncDesc, 5)                          \
  X(ITypeInfoVtbl, GetVarDesc, 6)                           \
  X(ITypeInfoVtbl, GetNames, 7)                             \
  X(ITypeInfoVtbl, GetIDsOfNames, 10)                       \
  X(ITypeInfoVtbl, Invoke, 11)                              \
  X(ITypeInfoVtbl, GetDocumentation, 12)                    \
  X(ITypeInfoVtbl, GetRefTypeInfo, 14)                      \
  X(ITypeInfoVtbl, GetContainingTypeLib, 18)                \
  X(ITypeInfoVtbl, ReleaseTypeAttr, 19)                     \
  X(ITypeInfoVtbl, ReleaseFuncDesc, 20)                     \
  X(ITypeInfoVtbl, ReleaseVarDesc, 21)                      \
  X(ITypeLibVtbl, GetTypeInfoCount, 3)                      \
  X(ITypeLibVtbl, GetTypeInfoOfGuid, 6)                     \
  X(ITypeLibVtbl, GetLibAttr, 7)                            \
  X(ITypeLibVtbl, ReleaseTLibAttr, 12)                      \
  X(IOleWindowVtbl, GetWindow, 3)                           \
  X(IOleWindowVtbl, ContextSensitiveHelp, 4)                \
  X(IOleInPlaceObjectVtbl, GetWindow, 3)                    \
  X(IOleInPlaceObjectVtbl, InPlaceDeactivate, 5)            \
  X(IOleInPlaceObjectVtbl, SetObjectRects, 7)               \
  X(IOleInPlaceObjectVtbl, ReactivateAndUndo, 8)            \
  X(IOleObjectVtbl, SetClientSite, 3)                       \
  X(IOleObjectVtbl, Close, 6)                               \
  X(IOleObjectVtbl, DoVerb, 11)                             \
  X(IOleObjectVtbl, GetUserClassID, 15)                     \
  X(IOleObjectVtbl, SetExtent, 17)                          \
  X(IOleObjectVtbl, GetMiscStatus, 22)                      \
  X(IOleObjectVtbl, SetColorScheme, 23)

/* Sizes and field offsets of the data structures on this (64-bit) platform:
 * X(name, expression, expected). */
#define COM_ABI_LAYOUT_ROWS(X)                                       \
  X(sizeof_GUID, sizeof(GUID), 16)                                   \
  X(sizeof_VARIANT, sizeof(VARIANT), 24)                             \
  X(VARIANT_value, offsetof(VARIANT, lVal), 8)                       \
  X(VARIANT_record_info, offsetof(VARIANT, brecVal.pRecInfo), 16)    \
  X(sizeof_DISPPARAMS, sizeof(DISPPARAMS), 24)                       \
  X(DISPPARAMS_cArgs, offsetof(DISPPARAMS, cArgs), 16)               \
  X(sizeof_EXCEPINFO, sizeof(EXCEPINFO), 64)                         \
  X(EXCEPINFO_description, offsetof(EXCEPINFO, bstrDescription), 16) \
  X(EXCEPINFO_scode, offsetof(EXCEPINFO, scode), 56)                 \
  X(sizeof_CONNECTDATA, sizeof(CONNECTDATA), 16)                     \
  X(sizeof_BSTR_char, sizeof(OLECHAR), 2)                            \
  X(sizeof_HRESULT, sizeof(HRESULT), 4)                              \
  X(sizeof_VARIANT_BOOL, sizeof(VARIANT_BOOL), 2)                    \
  X(FUNCDESC_oVft, offsetof(FUNCDESC, oVft), 40)                     \
  X(TYPEATTR_cFuncs, offsetof(TYPEATTR, cFuncs), 48)

#define COM_ABI_COUNT_ROW(...) +1
