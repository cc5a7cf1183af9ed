#pragma once
// The Flash control that TFlashMediaPlayer hosts: a movie player driven through named movie
// variables (16-bit texts). The movie runtime of extras/movie implements it; tests use a scripted
// fake. Every member is called on the GUI thread only.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "player/player_types.h"

namespace nivra::player {

// The movie's rectangle in the coordinates of the host window, in pixels. The old name stays
// for the movie runtime until it spells Rect.
using FlashRect = Rect;

class FlashControl {
 public:
  virtual ~FlashControl() = default;

  // Loads the movie file into `layer` (0 = the main movie), replacing what it held. A file that is
  // not a movie leaves the layer empty; nothing is reported here.
  virtual void LoadMovie(int layer, const std::string& file) = 0;
  // Starts the loaded movie; without one it does nothing.
  virtual void Play() = 0;
  // Stops the movie and whatever it plays.
  virtual void Stop() = 0;
  // Writes a movie variable. Throws nivra::Error when no movie runs to take it.
  virtual void SetVariable(std::u16string_view name, std::u16string_view value) = 0;
  // Reads a movie variable. Throws nivra::Error when no movie runs or it does not define `name`.
  virtual std::u16string GetVariable(std::u16string_view name) = 0;
  // The installed version: major in the high 16 bits, minor in the low 16 bits.
  virtual std::uint32_t FlashVersion() = 0;

  // Settings of the control itself.
  virtual void SetEmbedMovie(bool embed) = 0;
  virtual void SetAllowScriptAccess(std::u16string_view access) = 0;
  // 0 show all, 1 no border, 2 exact fit, 3 no scale.
  virtual void SetScaleMode(int mode) = 0;
  virtual void SetVisible(bool visible) = 0;
  virtual bool Visible() const = 0;
  // Where the picture goes inside the host window.
  virtual void SetBounds(const Rect& bounds) = 0;
  virtual void SetCursorHidden(bool hidden) = 0;
  // The native window (an X11 window id) the picture is drawn into; 0 = draw nothing.
  virtual void SetWindowHandle(std::uintptr_t window) = 0;

  // The movie's command notices (its FSCommand event), raised on the GUI thread.
  std::function<void(std::u16string_view command, std::u16string_view args)> OnFSCommand;
};

}  // namespace nivra::player
