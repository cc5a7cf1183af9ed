#include "ads/ad_pass.h"

#include <algorithm>
#include <cmath>
#include <variant>

namespace nivra::ads {
namespace {

constexpr double kMsPerDay = 86400000.0;

bool rightPopDue(const AdState& s, const PassFacts& f) {
  const auto& stored = s.stored;
  return f.connected && !s.inFullScreen &&
         SecondsBetween(f.now, s.trayStart) >= stored.right.StartDelay &&
         SecondsBetween(f.now, stored.counters.MiniPopData) >= stored.mini.CrossGap &&
         s.pendingRight.Id != 0 && s.pendingRight.Id > stored.right.Id && f.popsAllowed;
}

bool miniPopDue(const AdState& s, const PassFacts& f) {
  const auto& mini = s.stored.mini;
  const auto& c = s.stored.counters;
  return f.connected && s.trayMode && mini.MaxPerDay != 0 &&
         !(SameDay(c.MiniPopData, f.now) && c.TodayMiniCount >= mini.MaxPerDay) &&
         SecondsBetween(f.now, c.MiniPopData) >= mini.MiniGap &&
         SecondsBetween(f.now, c.RightPopData) >= mini.CrossGap && s.trayStart != kTrayNever &&
         SecondsBetween(f.now, s.trayStart) >= mini.TrayDelay && f.popsAllowed;
}

// The first window of another day starts the day's count at 1.
void countWindow(double now, double& lastTime, std::int32_t& todayCount) {
  todayCount = SameDay(now, lastTime) ? todayCount + 1 : 1;
  lastTime = now;
}

}  // namespace

std::int64_t SecondsBetween(double a, double b) {
  // Rounded to milliseconds first, so that 60 s stored as a day fraction never reads as 59.
  const auto ms = std::llround(std::fabs(a - b) * kMsPerDay);
  return ms / 1000;
}

bool SameDay(double a, double b) { return std::floor(a) == std::floor(b); }

PassActions RunPass(AdState& s, const PassFacts& f) {
  PassActions actions;
  if (s.noPopDay < static_cast<std::int64_t>(std::trunc(f.now)) &&
      SecondsBetween(f.now, s.lastHeartbeat) > f.heartbeatInterval) {
    actions.heartbeat = EncodeHeartbeat(s.stored.mini.Id, s.stored.right.Id);
    s.lastHeartbeat = f.now;
  }
  auto& c = s.stored.counters;
  if (rightPopDue(s, f)) {
    actions.rightPopArgs = RightPopArgs(s.pendingRight);
    countWindow(f.now, c.RightPopData, c.TodayRightCount);
    s.stored.right = s.pendingRight;
    actions.save = true;
  }
  if (miniPopDue(s, f)) {
    actions.miniPopArgs = MiniPopArgs(s.stored.mini);
    countWindow(f.now, c.MiniPopData, c.TodayMiniCount);
    actions.save = true;
  }
  return actions;
}

bool ApplyReply(AdState& s, std::span<const std::uint8_t> datagram) {
  const auto reply = DecodeReply(datagram);
  if (const auto* mini = std::get_if<MiniRecord>(&reply)) {
    if (mini->Id <= s.stored.mini.Id) return false;
    s.stored.mini = *mini;
    auto& count = s.stored.counters.TodayMiniCount;
    if (mini->CountRefund != 0)
      count = static_cast<std::int32_t>(
          std::max<std::int64_t>(0, std::int64_t{count} - mini->CountRefund));
    return true;
  }
  if (const auto* right = std::get_if<RightRecord>(&reply)) {
    if (s.stored.right.Id == 0) {
      s.stored.right = *right;  // the first record is kept, not shown
      return true;
    }
    s.pendingRight = *right;
  }
  return false;
}

std::vector<std::string> MiniPopArgs(const MiniRecord& r) {
  return {"/SHOWMINI", UrlText(r.Url), std::to_string(r.Width), std::to_string(r.Height)};
}

std::vector<std::string> RightPopArgs(const RightRecord& r) {
  return {"/SHOWAD", UrlText(r.Url), std::to_string(r.Width), std::to_string(r.Height),
          std::to_string(r.ShowTime)};
}

}  // namespace nivra::ads
