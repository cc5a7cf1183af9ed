#pragma once
// What the library panel needs from the window it is docked in. The panel never sees the main
// window itself: the main window implements this and hands it to the panel.

#include <string>

namespace nivra::catalogue::panel {

class RightFormHost {
 public:
  virtual ~RightFormHost() = default;

  // Stops the player control and opens `url` in it. The panel has stopped the item before with
  // ExecuteStop() and set PlayingTitle() already; the player may report the new item at once.
  virtual void PlayUrl(const std::string& url) = 0;
  // The main window's stop command ("停止" of the panel's menus); a stop clears PlayingTitle().
  virtual void ExecuteStop() = 0;
  // Opens a url of the scrolling text with the desktop.
  virtual void OpenExternal(const std::string& url) = 0;
  // Starts the download of the right-side link list; each time a file is ready the window
  // calls the panel's OnRightXmlReady() (WM_RIGHT_XML_READY).
  virtual void StartRightListDownload() {}
  // The user dragged the panel's inner edge: the panel has taken `width`; lay out again.
  virtual void PanelResized(int width) { (void)width; }
};

}  // namespace nivra::catalogue::panel
