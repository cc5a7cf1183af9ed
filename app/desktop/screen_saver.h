#pragma once
// Keeping the screen saver and monitor power-saving away while full screen plays.

#include <memory>
#include <string>

namespace nivra::app {

class ScreenSaverInhibitor {
 public:
  virtual ~ScreenSaverInhibitor() = default;
  // Asks the desktop to keep the screen on, with `reason` shown to the user. A second call
  // while inhibited does nothing.
  virtual void Inhibit(const std::string& reason) = 0;
  // Ends the request made by Inhibit; nothing when none is active.
  virtual void UnInhibit() = 0;
  // Whether a request is active now.
  virtual bool Inhibited() const = 0;
};

// The variant for a system without a desktop bus: remembers the state, asks nobody.
std::unique_ptr<ScreenSaverInhibitor> makeNullScreenSaverInhibitor();

}  // namespace nivra::app
