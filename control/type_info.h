#pragma once
// Type information of IKinoro and IKinoroEvents, built from the member and event tables:
// the dispatch view a host reads to list members, their DISPIDs, kinds and hidden flags.

#include "control/member_table.h"

namespace nivra::control {

// Library-wide objects; their references are not counted.
ITypeInfo* kinoroTypeInfo();
ITypeInfo* eventsTypeInfo();
// CoKinoro: IKinoro as its default interface, IKinoroEvents as its default source.
ITypeInfo* classTypeInfo();
// The type library "Kinoro" holding the three.
ITypeLib* kinoroTypeLib();

// GetIDsOfNames for `iface` (IKinoro or IKinoroEvents): the first name is the member
// (case-insensitive), the rest its parameters. Unknown names get DISPID_UNKNOWN and the call
// answers DISP_E_UNKNOWNNAME.
HRESULT dispidsOfNames(const IID& iface, LPOLESTR* names, UINT count, DISPID* ids);

}  // namespace nivra::control
