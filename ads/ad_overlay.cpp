#include "ads/ad_overlay.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/debug_output.h"

namespace nivra::ads {

std::string AdTipText(int seconds) {
  char text[64];
  std::snprintf(text, sizeof text, "广告剩余 %d 秒", seconds);
  return text;
}

AdOverlay::~AdOverlay() { KillTimer(); }

void AdOverlay::KillTimer() {
  if (timer_ != 0) loop_.killTimer(timer_);
  timer_ = 0;
}

int AdOverlay::SecondsLeft() const {
  const auto left = std::chrono::duration<double>(endTime_ - loop_.now()).count();
  return static_cast<int>(std::nearbyint(left));
}

void AdOverlay::ShowAdPage(const std::string& url, int width, int height, int durationMs,
                           bool adDone) {
  KillTimer();
  if (!adDone) timer_ = loop_.startTimer(1000, [this] { AdCountdownTick(); });
  endTime_ = loop_.now() + std::chrono::milliseconds(durationMs);
  if (!view_.BrowserExists()) view_.CreateBrowser(width, height);
  view_.SetTipSize(kAdTipWidth, kAdTipHeight);
  view_.NavigateTo(url);
  view_.SetTipText(adDone ? std::string() : AdTipText(SecondsLeft()));
  view_.ShowBrowser();
}

void AdOverlay::HideAdPage() {
  KillTimer();
  if (view_.BrowserExists()) view_.HideBrowser();
}

void AdOverlay::AdCountdownTick() {
  view_.SetTipText(AdTipText(std::max(SecondsLeft(), 1)));
  // While the player is still connecting the page stays and the tip keeps showing 1 second.
  if (loop_.now() <= endTime_ || view_.PlayerLoadState() == kLoadStateConnecting ||
      !view_.BrowserExists())
    return;
  KillTimer();
  view_.CountdownEnded();
  view_.HideBrowser();
  view_.PlayerPlay();
  platform::debugOutput("KillTimer");
}

}  // namespace nivra::ads
