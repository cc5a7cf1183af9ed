#include "app/desktop/background_service.h"

#include <unistd.h>

#include <exception>

#include "common/ufunction.h"
#include "net/pipe_client.h"
#include "net/service_manager_systemd.h"
#include "platform/process_launcher.h"
#include "platform/text.h"

namespace nivra::app {

BackgroundServiceHooks SystemBackgroundServiceHooks(const std::string& programPath) {
  return {
      [] { return net::ProbeService(); },
      [] { return common::IsProcessElevated(); },
      [] {
        auto manager = net::makeSystemdServiceManager(::geteuid() == 0 ? net::SystemdScope::System
                                                                       : net::SystemdScope::User);
        net::EnsureServiceRunning(*manager);
      },
      [programPath] { platform::launchElevated(programPath, {"/ShellSvc"}); },
  };
}

void BackgroundServiceCheck::CheckBackgroundService(const std::string& argument1) {
  if (counter_ >= 2) return;
  try {
    if (hooks_.probe()) return;
    if (hooks_.elevated()) {
      counter_ = 2;
      hooks_.runServiceControl();
      return;
    }
    if (counter_ == 0) {
      counter_ = 1;
      if (text::equalsNoCase(argument1, "/A") || text::equalsNoCase(argument1, "/SETUPRUN")) return;
    }
    counter_ = 2;
    hooks_.startElevated();
  } catch (const std::exception&) {
  }
}

}  // namespace nivra::app
