#pragma once
// TAdObj, the ad scheduler: every three seconds on its own loop it may send a heartbeat to the
// ad server and start the right-corner or the mini pop-up (a new process of the program); ad
// server replies arrive on the link's loop (the GUI thread) and update the records. Records,
// counters and notices are shared by the two threads under one mutex; saves happen under it
// too, so the files always receive the newest state.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>

#include "ads/ad_pass.h"
#include "ads/ad_ports.h"
#include "platform/event_loop.h"

namespace nivra::ads {

struct AdSchedulerSetup {
  std::filesystem::path dataDir;    // all-users data: records, counters, "pop.ini", "popset.ini"
  std::filesystem::path moduleDir;  // "Heatbeat.ini"
  std::int32_t noPopDay = 0;        // no heartbeat up to and including this day number
};

inline constexpr int kAdPassIntervalMs = 3000;

class TAdObj {
 public:
  // Loads the stored state and starts the passes on `passLoop`: the first one as soon as that
  // loop runs, then one every three seconds. Call on the link's thread. `passLoop`, `link`,
  // `check` and `launcher` must outlive the object.
  TAdObj(platform::EventLoop& passLoop, AdServerLink& link, ConnectionCheck& check,
         PopUpLauncher& launcher, AdSchedulerSetup setup);
  // Ends the passes (a pass under way finishes first) and detaches from the link. Call on the
  // link's thread.
  ~TAdObj();
  TAdObj(const TAdObj&) = delete;
  TAdObj& operator=(const TAdObj&) = delete;

  // The main window is shown: no more mini windows.
  void NotifyAppActive();
  // The program went to the tray: mini windows may open after their delay. Stamps "trayonline".
  void NotifyTrayMode();
  // While set, right windows wait.
  void SetInFullScreen(bool on);

  // A copy of the state, for diagnostics and tests.
  AdState Snapshot() const;

 private:
  struct Core;
  std::shared_ptr<Core> core_;
  platform::EventLoop& passLoop_;
  AdServerLink& link_;
};

}  // namespace nivra::ads
