#pragma once
/* The binary interface of the movie runtime library (the Flash class's InprocServer32). Plain
 * C, so the runtime may be built apart from the player: the library exports NivraGetMovieApi(),
 * which returns one table of functions over opaque control handles.
 *
 * Texts: file names are UTF-8, zero-terminated; movie variables and the other 16-bit texts are
 * UTF-16 code units with a length (no terminator needed). A text the runtime returns is owned by
 * the caller until it hands it to FreeText.
 *
 * Errors: a call that fails returns a non-zero NivraMovieResult and keeps its reason, which
 * LastError copies out as UTF-8. Nothing unwinds across this interface.
 *
 * Every call on a control, and its FSCommand handler, runs on the thread that owns it (the GUI
 * thread). */

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
typedef char16_t NivraUtf16;
#else
#include <uchar.h>
typedef char16_t NivraUtf16;
#endif

#define NIVRA_MOVIE_ABI_VERSION 1u
#define NIVRA_MOVIE_API_SYMBOL "NivraGetMovieApi"

typedef int NivraMovieResult;
#define NIVRA_MOVIE_OK 0
/* The call failed; LastError tells why (e.g. no movie runs, the movie has no such variable). */
#define NIVRA_MOVIE_FAILED 1
/* A handle or pointer argument was NULL. */
#define NIVRA_MOVIE_BAD_ARGUMENT 2
/* The runtime ran out of memory. */
#define NIVRA_MOVIE_NO_MEMORY 3

typedef struct NivraMovie NivraMovie;

/* A UTF-16 text returned by the runtime; release it with FreeText. */
typedef struct NivraMovieText {
  NivraUtf16* data;
  size_t length;
} NivraMovieText;

/* The movie's command notice (its FSCommand event). Must not unwind. */
typedef void (*NivraMovieFSCommandFn)(void* context, const NivraUtf16* command,
                                      size_t commandLength, const NivraUtf16* args,
                                      size_t argsLength);

typedef struct NivraMovieApi {
  /* NIVRA_MOVIE_ABI_VERSION of the library; the player refuses a table of another version. */
  uint32_t abiVersion;

  /* A new control reporting `version` from FlashVersion (major << 16 | minor; 0: the runtime's
   * own version). Stores the handle in *control. */
  NivraMovieResult (*Create)(uint32_t version, NivraMovie** control);
  /* Stops the control and frees it; NULL is ignored. */
  void (*Destroy)(NivraMovie* control);

  /* Loads the movie file into `layer` (0 = the main movie). A file that is not a movie leaves
   * the layer empty and is not an error. */
  NivraMovieResult (*LoadMovie)(NivraMovie* control, int layer, const char* file);
  NivraMovieResult (*Play)(NivraMovie* control);
  NivraMovieResult (*Stop)(NivraMovie* control);
  /* Fails (NIVRA_MOVIE_FAILED) when no movie runs to take the variable. */
  NivraMovieResult (*SetVariable)(NivraMovie* control, const NivraUtf16* name, size_t nameLength,
                                  const NivraUtf16* value, size_t valueLength);
  /* Fails when no movie runs or it does not define `name`; on success *value holds the text. */
  NivraMovieResult (*GetVariable)(NivraMovie* control, const NivraUtf16* name, size_t nameLength,
                                  NivraMovieText* value);
  /* Releases a text from GetVariable and empties *text; NULL and empty texts are ignored. */
  void (*FreeText)(NivraMovieText* text);
  /* Major in the high 16 bits, minor in the low 16 bits; 0 for a NULL handle. */
  uint32_t (*FlashVersion)(NivraMovie* control);

  NivraMovieResult (*SetEmbedMovie)(NivraMovie* control, int embed);
  NivraMovieResult (*SetAllowScriptAccess)(NivraMovie* control, const NivraUtf16* access,
                                           size_t accessLength);
  /* 0 show all, 1 no border, 2 exact fit, 3 no scale. */
  NivraMovieResult (*SetScaleMode)(NivraMovie* control, int mode);
  NivraMovieResult (*SetVisible)(NivraMovie* control, int visible);
  /* 1 when visible, 0 when not (or for a NULL handle). */
  int (*Visible)(NivraMovie* control);
  /* Where the picture goes inside the host window, in pixels. */
  NivraMovieResult (*SetBounds)(NivraMovie* control, int left, int top, int width, int height);
  NivraMovieResult (*SetCursorHidden)(NivraMovie* control, int hidden);
  /* The native window (an X11 window id) the picture is drawn into; 0 = draw nothing. */
  NivraMovieResult (*SetWindowHandle)(NivraMovie* control, uintptr_t window);
  /* Sets the FSCommand handler and its context; a NULL handler detaches it. */
  NivraMovieResult (*SetFSCommandHandler)(NivraMovie* control, NivraMovieFSCommandFn handler,
                                          void* context);

  /* Copies the reason of the control's last failed call into `buffer` (UTF-8, zero-terminated,
   * cut to `size`) and returns its full length in bytes without the terminator. */
  size_t (*LastError)(NivraMovie* control, char* buffer, size_t size);
} NivraMovieApi;

/* The one export of the runtime library. */
typedef const NivraMovieApi* (*NivraGetMovieApiFn)(void);

#ifdef __cplusplus
}
#endif
