#pragma once
// The pre-roll overlay over a player: ShowAdPage puts a page over the picture and, while the
// item's count-down has not run yet, counts down once a second in its top-right tip ("广告剩余
// 5 秒"); when the time is up (and the player is not still connecting) the page hides and the
// player resumes. Qt-free over a small view so that the count-down runs in virtual time.

#include <chrono>
#include <string>
#include <string_view>

#include "platform/event_loop.h"

namespace nivra::ads {

inline constexpr std::string_view kAdTipFormat = "广告剩余 %d 秒";
inline constexpr int kAdTipWidth = 100;
inline constexpr int kAdTipHeight = 25;
// The player's LoadState while it is still connecting.
inline constexpr int kLoadStateConnecting = 2;

class AdOverlayView {
 public:
  virtual ~AdOverlayView() = default;
  // The page panel (TmWebbrowser) over the picture, created hidden on first use.
  virtual bool BrowserExists() const = 0;
  virtual void CreateBrowser(int width, int height) = 0;
  virtual void SetTipSize(int width, int height) = 0;
  virtual void NavigateTo(const std::string& url) = 0;
  virtual void SetTipText(const std::string& text) = 0;  // empty hides the tip
  virtual void ShowBrowser() = 0;                        // shows it in front
  virtual void HideBrowser() = 0;
  // The player behind the page.
  virtual int PlayerLoadState() const = 0;
  virtual void PlayerPlay() = 0;
  // The count-down ran to its end: the host's AdDone becomes true.
  virtual void CountdownEnded() = 0;
};

// "广告剩余 N 秒".
std::string AdTipText(int seconds);

class AdOverlay {
 public:
  AdOverlay(AdOverlayView& view, platform::EventLoop& loop) : view_(view), loop_(loop) {}
  ~AdOverlay();
  AdOverlay(const AdOverlay&) = delete;
  AdOverlay& operator=(const AdOverlay&) = delete;

  // Shows `url` over the picture; counts down `durationMs` unless `adDone`.
  void ShowAdPage(const std::string& url, int width, int height, int durationMs, bool adDone);
  // Stops the count-down and hides the page.
  void HideAdPage();
  bool CountdownRunning() const { return timer_ != 0; }

 private:
  void KillTimer();
  void AdCountdownTick();
  // Whole seconds left, rounded to the nearest (halves to even).
  int SecondsLeft() const;

  AdOverlayView& view_;
  platform::EventLoop& loop_;
  platform::EventLoop::Clock::time_point endTime_{};
  platform::EventLoop::TimerId timer_ = 0;
};

}  // namespace nivra::ads
