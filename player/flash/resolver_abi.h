#pragma once
// The binary interface of the web-page resolver library (libdecode.so). Plain C, so the library
// may be built apart from the player.
//
// GetVideoParam(owner) creates one resolver object with one reference for the caller; `owner`
// is an opaque value handed back to the completion handler. The object offers, in the order the
// player uses them: set the completion handler, start with a page address, and after completion
// the source list and the duration. The handler runs on a thread of the library.

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct NivraVideoParam NivraVideoParam;
typedef void (*NivraVideoParamDone)(void* owner);

typedef struct NivraVideoParamVtbl {
  unsigned long (*AddRef)(NivraVideoParam* self);
  // Drops a reference; the object goes with the last one (work still running is abandoned).
  unsigned long (*Release)(NivraVideoParam* self);
  // Sets the completion handler. NULL detaches: when the call returns, no handler call is
  // running and none will start, so the owner may go. Called from inside the handler it returns
  // at once (the running call is the caller's own).
  void (*SetCompletion)(NivraVideoParam* self, NivraVideoParamDone done);
  // Starts resolving a page address (UTF-8, zero-terminated) and returns at once. Returns 0 when
  // started, non-zero when the object is already busy.
  int (*Start)(NivraVideoParam* self, const char* pageUrl);
  // After completion: copies the source list (one URL per line) into `buffer` (zero-terminated,
  // cut to `size`) and returns its full length in bytes without the terminator.
  size_t (*GetSources)(NivraVideoParam* self, char* buffer, size_t size);
  // After completion: the duration in seconds, 0 when the page tells none.
  double (*GetDuration)(NivraVideoParam* self);
} NivraVideoParamVtbl;

struct NivraVideoParam {
  const NivraVideoParamVtbl* vtbl;
};

typedef NivraVideoParam* (*NivraGetVideoParamFn)(void* owner);
typedef void (*NivraFreeVideoParamFn)(NivraVideoParam* param);

#define NIVRA_GET_VIDEO_PARAM "GetVideoParam"
#define NIVRA_FREE_VIDEO_PARAM "FreeVideoParam"

#ifdef __cplusplus
}
#endif
