// libnvrmovie.so: the movie runtime as the library the Flash class registration names. The player
// loads it with dlopen and drives controls through the C table of player/flash/movie_abi.h; each
// entry catches whatever the control throws and returns it as an error code with its text.

#include <cstring>
#include <exception>
#include <memory>
#include <new>
#include <string>

#include "extras/movie/movie_control.h"
#include "platform/text.h"
#include "player/flash/movie_abi.h"

// The handle the player holds: the control (its OnFSCommand calls the C handler) and the reason
// of its last failed call.
struct NivraMovie {
  explicit NivraMovie(std::uint32_t version) : control(version) {}
  nivra::extras::MovieControl control;
  std::string lastError;
};

namespace {

std::u16string_view view(const NivraUtf16* text, size_t length) {
  return text ? std::u16string_view(text, length) : std::u16string_view();
}

// Runs `call` on the control, turning whatever it throws into a result code and the reason.
template <typename Call>
NivraMovieResult guarded(NivraMovie* movie, Call&& call) {
  if (!movie) return NIVRA_MOVIE_BAD_ARGUMENT;
  try {
    call(movie->control);
    return NIVRA_MOVIE_OK;
  } catch (const std::bad_alloc&) {
    movie->lastError = "Out of memory";
    return NIVRA_MOVIE_NO_MEMORY;
  } catch (const std::exception& e) {
    movie->lastError = e.what();
  } catch (...) {
    movie->lastError = "Unknown failure in the movie runtime";
  }
  return NIVRA_MOVIE_FAILED;
}

NivraMovieResult create(uint32_t version, NivraMovie** control) {
  if (!control) return NIVRA_MOVIE_BAD_ARGUMENT;
  *control = nullptr;
  try {
    *control = std::make_unique<NivraMovie>(version).release();
    return NIVRA_MOVIE_OK;
  } catch (const std::bad_alloc&) {
    return NIVRA_MOVIE_NO_MEMORY;
  } catch (...) {
    return NIVRA_MOVIE_FAILED;
  }
}

void destroy(NivraMovie* control) {
  try {
    delete control;
  } catch (...) {
  }
}

NivraMovieResult loadMovie(NivraMovie* m, int layer, const char* file) {
  if (!file) return NIVRA_MOVIE_BAD_ARGUMENT;
  return guarded(m, [&](auto& c) { c.LoadMovie(layer, file); });
}

NivraMovieResult play(NivraMovie* m) {
  return guarded(m, [](auto& c) { c.Play(); });
}

NivraMovieResult stop(NivraMovie* m) {
  return guarded(m, [](auto& c) { c.Stop(); });
}

NivraMovieResult setVariable(NivraMovie* m, const NivraUtf16* name, size_t nameLength,
                             const NivraUtf16* value, size_t valueLength) {
  return guarded(m,
                 [&](auto& c) { c.SetVariable(view(name, nameLength), view(value, valueLength)); });
}

NivraMovieResult getVariable(NivraMovie* m, const NivraUtf16* name, size_t nameLength,
                             NivraMovieText* value) {
  if (!value) return NIVRA_MOVIE_BAD_ARGUMENT;
  *value = {nullptr, 0};
  return guarded(m, [&](auto& c) {
    const std::u16string text = c.GetVariable(view(name, nameLength));
    auto data = std::make_unique<NivraUtf16[]>(text.size() + 1);
    std::char_traits<char16_t>::copy(data.get(), text.data(), text.size());
    data[text.size()] = 0;
    *value = {data.release(), text.size()};
  });
}

void freeText(NivraMovieText* text) {
  if (!text) return;
  delete[] text->data;
  *text = {nullptr, 0};
}

uint32_t flashVersion(NivraMovie* m) { return m ? m->control.FlashVersion() : 0; }

NivraMovieResult setEmbedMovie(NivraMovie* m, int embed) {
  return guarded(m, [&](auto& c) { c.SetEmbedMovie(embed != 0); });
}

NivraMovieResult setAllowScriptAccess(NivraMovie* m, const NivraUtf16* access, size_t length) {
  return guarded(m, [&](auto& c) { c.SetAllowScriptAccess(view(access, length)); });
}

NivraMovieResult setScaleMode(NivraMovie* m, int mode) {
  return guarded(m, [&](auto& c) { c.SetScaleMode(mode); });
}

NivraMovieResult setVisible(NivraMovie* m, int visible) {
  return guarded(m, [&](auto& c) { c.SetVisible(visible != 0); });
}

int visible(NivraMovie* m) { return m && m->control.Visible() ? 1 : 0; }

NivraMovieResult setBounds(NivraMovie* m, int left, int top, int width, int height) {
  return guarded(m, [&](auto& c) { c.SetBounds({left, top, width, height}); });
}

NivraMovieResult setCursorHidden(NivraMovie* m, int hidden) {
  return guarded(m, [&](auto& c) { c.SetCursorHidden(hidden != 0); });
}

NivraMovieResult setWindowHandle(NivraMovie* m, uintptr_t window) {
  return guarded(m, [&](auto& c) { c.SetWindowHandle(window); });
}

NivraMovieResult setFSCommandHandler(NivraMovie* m, NivraMovieFSCommandFn handler, void* context) {
  return guarded(m, [&](auto& c) {
    if (!handler) {
      c.OnFSCommand = nullptr;
      return;
    }
    c.OnFSCommand = [handler, context](std::u16string_view command, std::u16string_view args) {
      handler(context, command.data(), command.size(), args.data(), args.size());
    };
  });
}

size_t lastError(NivraMovie* m, char* buffer, size_t size) {
  if (!m) return 0;
  if (buffer && size > 0) {
    const std::string_view cut = nivra::text::cutUtf8(m->lastError, size - 1);
    std::memcpy(buffer, cut.data(), cut.size());
    buffer[cut.size()] = '\0';
  }
  return m->lastError.size();
}

constexpr NivraMovieApi kApi = {
    NIVRA_MOVIE_ABI_VERSION,
    create,
    destroy,
    loadMovie,
    play,
    stop,
    setVariable,
    getVariable,
    freeText,
    flashVersion,
    setEmbedMovie,
    setAllowScriptAccess,
    setScaleMode,
    setVisible,
    visible,
    setBounds,
    setCursorHidden,
    setWindowHandle,
    setFSCommandHandler,
    lastError,
};

}  // namespace

extern "C" __attribute__((visibility("default"))) const NivraMovieApi* NivraGetMovieApi() {
  return &kApi;
}
