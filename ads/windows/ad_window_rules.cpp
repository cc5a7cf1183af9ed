#include "ads/windows/ad_window_rules.h"

#include <algorithm>

#include "common/ufunction.h"
#include "platform/debug_output.h"
#include "platform/text.h"

namespace nivra::ads {
namespace {

// The shortest timer the window system runs; a display time of 0 closes at its first tick.
constexpr int kMinimumTimerMs = 10;

}  // namespace

AdShowRules::AdShowRules(platform::EventLoop& loop, AdWindowView& view, int width, int height,
                         int showTimeMs, StampShown stamp)
    : loop_(loop),
      view_(view),
      width_(width),
      height_(height),
      showTimeMs_(showTimeMs),
      stamp_(std::move(stamp)) {}

AdShowRules::~AdShowRules() { stopTimers(); }

void AdShowRules::stopTimers() {
  loop_.killTimer(closeTimer_);
  loop_.killTimer(keepOnTopTimer_);
  closeTimer_ = keepOnTopTimer_ = 0;
}

void AdShowRules::DocumentComplete() {
  stopTimers();
  // A negative display time is longer than any timer runs: the window stays until closed.
  if (showTimeMs_ >= 0) {
    closeTimer_ = loop_.startTimer(std::max(showTimeMs_, kMinimumTimerMs), [this] {
      loop_.killTimer(closeTimer_);
      closeTimer_ = 0;
      view_.closeWindow();
    });
  }
  keepOnTopTimer_ = loop_.startTimer(kKeepOnTopMs, [this] { view_.bringAboveOthers(); });
  const WindowRect work = view_.workArea();
  view_.setWindowGeometry(
      {work.x + work.width - width_, work.y + work.height - height_, width_, height_});
  view_.showWindow();
  view_.bringAboveOthers();
  loaded_ = true;
  if (stamp_) stamp_();
}

void AdShowRules::NavigateError() {
  if (!loaded_) view_.closeWindow();
}

void AdShowRules::WindowClosing() { view_.closeWindow(); }

void AdShowRules::ShowMessage(const std::string& text) {
  platform::debugOutput("OnADShowMessage:" + text);
}

MiniRules::MiniRules(AdWindowView& view, std::string url, StampShown stamp)
    : view_(view), url_(std::move(url)), stamp_(std::move(stamp)) {}

void MiniRules::DocumentComplete(const std::string& completed, int width, int height) {
  if (!IsSameHostPage(url_, completed)) {
    if (!view_.isShown()) view_.closeWindow();
    return;
  }
  if (!view_.isShown()) {
    view_.showWindow();
    platform::debugOutput("OnMiniDocumentComplete:Form show");
    const WindowRect work = view_.workArea();
    view_.setWindowGeometry(
        {work.x + (work.width - width) / 2, work.y + (work.height - height) / 2, width, height});
  }
  view_.bringAboveOthers();
  if (stamp_) stamp_();
}

void MiniRules::NavigateError() {
  if (!view_.isShown()) view_.closeWindow();
}

void MiniRules::WindowClosing() { view_.closeWindow(); }

void MiniRules::ShowMessage(const std::string& text) {
  platform::debugOutput("OnMiniShowMessage:" + text);
}

bool IsSameHostPage(const std::string& requested, const std::string& completed) {
  const std::string prefix = "http://" + common::ExtractUrlHost(requested);
  if (!text::startsWithNoCase(completed, prefix)) return false;
  // The host ends where the prefix ends: at the end, a path, a query or a fragment.
  return completed.size() == prefix.size() ||
         std::string_view("/?#").find(completed[prefix.size()]) != std::string_view::npos;
}

std::vector<std::string> PrivateLinkArguments(const std::string& link, const std::string& extInfo) {
  if (text::startsWithNoCase(extInfo, "http://")) return {"/WebShell", extInfo};
  return {link};
}

}  // namespace nivra::ads
