#pragma once
// What the desktop's media controls (MPRIS) may do to the player and read from it. The main
// window implements it; every call comes on the GUI thread.

#include <string>

namespace nivra::app {

class MprisPlayer {
 public:
  virtual ~MprisPlayer() = default;
  virtual void Play() = 0;
  virtual void Pause() = 0;
  virtual void PlayPause() = 0;
  virtual void Stop() = 0;
  virtual void Next() = 0;
  virtual void Previous() = 0;
  virtual void Raise() = 0;  // bring the main window to the front
  virtual void Quit() = 0;   // end the program as its own menu does
  // "Playing", "Paused" or "Stopped".
  virtual std::string PlaybackStatus() const = 0;
  // The title of what plays; empty when nothing.
  virtual std::string Title() const = 0;
  // 0.0 (silent) to 1.0 (full).
  virtual double Volume() const = 0;
  virtual void SetVolume(double volume) = 0;
};

}  // namespace nivra::app
