#pragma once
// What the two ad pop-up windows decide, over a small view of the window: THtmFormShow's
// placement at the bottom-right of the work area, its display time and its keep-on-top tick;
// TFormMini's rule that only a first page of the requested host shows the window; both windows'
// answers to failed loads, script dialogs and window.close(). Timers run on the injected loop.

#include <functional>
#include <string>
#include <vector>

#include "platform/event_loop.h"

namespace nivra::ads {

struct WindowRect {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const WindowRect&) const = default;
};

// The window as the rules see it. Called on the loop's thread.
class AdWindowView {
 public:
  virtual ~AdWindowView() = default;
  // The screen's area for windows (without panels and docks).
  virtual WindowRect workArea() const = 0;
  virtual void setWindowGeometry(const WindowRect& rect) = 0;
  virtual bool isShown() const = 0;
  // Shows the window without taking the focus.
  virtual void showWindow() = 0;
  // Puts the window above the ordinary windows once, without activating or moving it.
  virtual void bringAboveOthers() = 0;
  // Closes the window; the process ends with it.
  virtual void closeWindow() = 0;
};

// Writes the shown stamp of the pop-up ("svcadad" or "trayad").
using StampShown = std::function<void()>;

// THtmFormShow ("/SHOWAD").
class AdShowRules {
 public:
  static constexpr int kKeepOnTopMs = 40;

  AdShowRules(platform::EventLoop& loop, AdWindowView& view, int width, int height, int showTimeMs,
              StampShown stamp);
  ~AdShowRules();
  AdShowRules(const AdShowRules&) = delete;
  AdShowRules& operator=(const AdShowRules&) = delete;

  // The top-level document loaded: (re)starts the display time and the keep-on-top tick, places
  // the window at the bottom-right corner of the work area and shows it.
  void DocumentComplete();
  // A top-level load failed: a window that never showed a page closes.
  void NavigateError();
  // The page asked to close its window.
  void WindowClosing();
  // A page script showed a message box: logged only.
  void ShowMessage(const std::string& text);
  bool Loaded() const { return loaded_; }

 private:
  void stopTimers();

  platform::EventLoop& loop_;
  AdWindowView& view_;
  int width_, height_, showTimeMs_;
  StampShown stamp_;
  bool loaded_ = false;
  platform::EventLoop::TimerId closeTimer_ = 0, keepOnTopTimer_ = 0;
};

// TFormMini ("/SHOWMINI"): the window waits off-screen until a page of the stored address's
// host completes.
class MiniRules {
 public:
  MiniRules(AdWindowView& view, std::string url, StampShown stamp);

  // Where the hidden window waits: off-screen, with its size.
  WindowRect WaitingGeometry(int width, int height) const {
    return {-width, -height, width, height};
  }
  // A top-level document completed with the address `completed`.
  void DocumentComplete(const std::string& completed, int width, int height);
  void NavigateError();
  void WindowClosing();
  void ShowMessage(const std::string& text);

 private:
  AdWindowView& view_;
  std::string url_;
  StampShown stamp_;
};

// True when `completed` is an "http://" address on the host (and port) of `requested`. The host
// must match whole, so a page that merely names the host (a longer host name, a query) is
// another host's.
bool IsSameHostPage(const std::string& requested, const std::string& completed);

// The arguments that hand a private link clicked in an ad page to the main program: "/WebShell"
// and the page's extra address when the page gives one beginning with "http://", else the link
// as written.
std::vector<std::string> PrivateLinkArguments(const std::string& link, const std::string& extInfo);

}  // namespace nivra::ads
