// Resolver libraries that lack an export: built as libdecode.so into folders of their own, so
// that ResolverLibrary::Load meets them as it would meet an older or broken library. With
// NIVRA_STUB_EXPORT_GET the library exports GetVideoParam (which makes no object) and nothing
// else; without it the library exports neither function.

#include "player/flash/resolver_abi.h"

#ifdef NIVRA_STUB_EXPORT_GET
extern "C" __attribute__((visibility("default"))) NivraVideoParam* GetVideoParam(void*) {
  return nullptr;
}
#else
extern "C" __attribute__((visibility("default"))) int NivraResolverStubMarker() { return 0; }
#endif
