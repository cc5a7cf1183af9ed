#pragma once
// The ad scheduler as the program runs it: TAdObj on a thread of its own, talking to the ad
// server of the host settings over UDP, checking the connection against their check address,
// and starting pop-ups as new processes of the running program. Made and destroyed by the main
// window on the GUI thread.

#include <memory>

#include "ads/ad_obj.h"
#include "ads/ad_thread_loop.h"

namespace nivra::ads {

class AdScheduler {
 public:
  // `guiLoop` is the calling thread's loop; replies arrive there.
  explicit AdScheduler(platform::EventLoop& guiLoop);
  ~AdScheduler();

  TAdObj& scheduler() { return *adObj_; }

 private:
  ThreadEventLoop passLoop_;
  std::unique_ptr<UdpAdServerLink> link_;
  std::unique_ptr<TcpConnectionCheck> check_;
  std::unique_ptr<ProcessPopUpLauncher> launcher_;
  std::unique_ptr<TAdObj> adObj_;
};

}  // namespace nivra::ads
