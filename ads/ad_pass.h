#pragma once
// The ad scheduler's decisions, free of threads and I/O: one pass over the state (heartbeat due,
// right window due, mini window due) and the handling of a reply. The caller gathers the facts
// that need I/O before the pass and carries out the actions after it.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "ads/ad_records.h"
#include "ads/ad_store.h"

namespace nivra::ads {

// Date-time of TrayStart that stands for "tray mode never began".
inline constexpr double kTrayNever = 8.0;

struct AdState {
  AdStoredState stored;      // records and counters, as kept in the files
  RightRecord pendingRight;  // the newest right record after the first; never stored
  bool trayMode = false;
  bool inFullScreen = false;
  double lastHeartbeat = 0;
  double trayStart = kTrayNever;
  std::int32_t noPopDay = 0;
};

// What the pass needs from outside, read before it.
struct PassFacts {
  double now = 0;                        // local date-time
  bool connected = false;                // the internet connection check
  bool popsAllowed = true;               // "pop.ini"
  std::int32_t heartbeatInterval = 540;  // seconds
};

struct PassActions {
  std::optional<std::array<std::uint8_t, kHeartbeatSize>> heartbeat;
  std::vector<std::string> rightPopArgs;  // empty: no right window
  std::vector<std::string> miniPopArgs;   // empty: no mini window
  bool save = false;                      // records or counters changed
};

// Whole seconds between two date-times (absolute, cut; 64-bit).
std::int64_t SecondsBetween(double a, double b);
// Both date-times fall on the same calendar day.
bool SameDay(double a, double b);

// One pass: heartbeat, right check, mini check, in that order, changing `state` as the windows
// are counted.
PassActions RunPass(AdState& state, const PassFacts& facts);
// Applies a reply datagram; true when the stored state changed and must be saved. Replies of
// another type or length change nothing.
bool ApplyReply(AdState& state, std::span<const std::uint8_t> datagram);

// The pop-up command lines, as argument vectors after the program path.
std::vector<std::string> MiniPopArgs(const MiniRecord& record);
std::vector<std::string> RightPopArgs(const RightRecord& record);

}  // namespace nivra::ads
