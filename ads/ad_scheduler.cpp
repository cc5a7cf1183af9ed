#include "ads/ad_scheduler.h"

#include "ads/ad_ini.h"
#include "net/server_endpoints.h"
#include "platform/folders.h"

namespace nivra::ads {

AdScheduler::AdScheduler(platform::EventLoop& guiLoop) {
  const auto& endpoints = net::ServerEndpoints::current();
  link_ = std::make_unique<UdpAdServerLink>(guiLoop, endpoints.adServerHost(),
                                            endpoints.adServerPort());
  check_ = std::make_unique<TcpConnectionCheck>(endpoints.checkUrl());
  launcher_ = std::make_unique<ProcessPopUpLauncher>(platform::selfExecutable());
  adObj_ = std::make_unique<TAdObj>(
      passLoop_, *link_, *check_, *launcher_,
      AdSchedulerSetup{platform::commonDataDir(), platform::moduleDir(), ReadNoPopDay()});
}

// The scheduler detaches first, then the pass thread ends, and only then go the parts it used.
AdScheduler::~AdScheduler() { adObj_.reset(); }

}  // namespace nivra::ads
