#pragma once
// The Flash path of the player control, as the control sees it: the bridge that hosts the movie
// (TFlashMediaPlayer), the web-page resolver, and the environment that makes both. The control
// drives them only through these operations; the tests drive the control with fakes of them.
//
// All calls come from the GUI thread, except the resolver's completion, which may arrive on any
// thread.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "player/player_types.h"

namespace nivra::player {

// Notices from the bridge to the control; each one is called only when assigned.
struct FlashBridgeCallbacks {
  std::function<void(int positionMs)> OnPosition;
  // 0 playing (first time and after buffering), 2 paused, 3 resumed, 4 ended, 5 buffering.
  std::function<void(int state)> OnState;
  std::function<void(int code, const std::string& text)> OnError;
  std::function<void()> OnDoubleClick;
  // Opens the control's popup menu at a screen point (a right button down on the movie).
  std::function<void(Point screen)> PopupMenu;
};

// The movie host, a hidden child control of the player; lives from the first Flash source until
// the control's Stop.
class FlashBridge {
 public:
  virtual ~FlashBridge() = default;

  virtual void SetCallbacks(FlashBridgeCallbacks callbacks) = 0;
  // The installed Flash version number; the major version is in the high 16 bits.
  virtual std::uint32_t FlashVersion() = 0;
  virtual void SetScaleMode(int mode) = 0;
  virtual bool Visible() const = 0;
  virtual void SetVisible(bool visible) = 0;
  // Bounds inside the control, in pixels.
  virtual void SetBounds(const Rect& bounds) = 0;
  // Tells the movie its new position rectangle.
  virtual void SetPositionRect(const Rect& bounds) = 0;
  virtual void SetCursorHidden(bool hidden) = 0;
  // Mouse input on the movie, passed on by the window that shows it: a left double click
  // raises OnDoubleClick, a right button down opens the popup menu at `screen`.
  virtual void DoubleClick() = 0;
  virtual void RightButtonDown(Point screen) = 0;

  // Hands the list of media URLs to the movie and starts polling it.
  virtual void PlayList(const std::vector<std::string>& lines) = 0;
  virtual void Pause() = 0;
  virtual void Resume() = 0;
  virtual void Seek(int positionMs) = 0;
  // Sound level 0..100; kept until the movie plays.
  virtual void SetVolume(int level) = 0;
  // The Flash control's own Stop.
  virtual void StopMovie() = 0;

  virtual std::uint8_t ServerType() const = 0;
  virtual void SetServerType(std::uint8_t type) = 0;
  virtual int Duration() const = 0;  // ms
  virtual void SetDuration(int ms) = 0;
  virtual int MediaWidth() const = 0;
  virtual int MediaHeight() const = 0;
  virtual int DownSpeed() const = 0;  // bytes per second
  virtual bool ListLoaded() const = 0;
};

// The resolver of one web page; reference-counted, held by the control until the next page or
// Stop.
class VideoResolver {
 public:
  virtual ~VideoResolver() = default;
  // The completion notice; may be called on any thread.
  virtual void SetCompletion(std::function<void()> done) = 0;
  virtual void Start(const std::string& pageUrl) = 0;
  // After completion: one media URL per line.
  virtual std::string SourceList() = 0;
  // After completion: seconds, 0 when not reported.
  virtual double DurationSeconds() = 0;
};

// What the Flash path needs from the platform and from the web-video sites.
class FlashEnvironment {
 public:
  virtual ~FlashEnvironment() = default;
  // The Flash control's class {D27CDB6E-AE6D-11CF-96B8-444553540000} is registered.
  virtual bool FlashClassRegistered() = 0;
  // A new bridge, child of the control, whose movie draws into `window` (the control's native
  // window, 0 for none: the movie then shows nothing); nullptr when it cannot be made.
  virtual std::unique_ptr<FlashBridge> CreateBridge(std::uintptr_t window) = 0;
  // Loads the resolver library and sets the bridge's ServerType for the page. Throws
  // nivra::Error with the platform's text when the library cannot be loaded.
  virtual void PrepareWebPage(FlashBridge& bridge, const std::string& pageUrl) = 0;
  virtual std::shared_ptr<VideoResolver> CreateResolver() = 0;
  // Builds the segment list of a kind-4 link address (ServerType 9 or 10, SegmentExt) and hands
  // it to the bridge's PlayList.
  virtual void PlaySegmentLink(FlashBridge& bridge, const std::string& address) = 0;
};

}  // namespace nivra::player
