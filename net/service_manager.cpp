#include "net/service_manager.h"

#include <thread>

#include "platform/debug_output.h"

namespace nivra::net {

void EnsureServiceRunning(ServiceManager& manager) {
  EnsureServiceRunning(manager,
                       [](std::chrono::milliseconds d) { std::this_thread::sleep_for(d); });
}

void EnsureServiceRunning(ServiceManager& manager, const Sleeper& sleep) {
  using platform::debugOutput;
  if (!manager.openManager()) return;
  if (const auto failure = manager.openService(kServiceName)) {
    debugOutput("错误！可能服务未安装或未启动！错误号：" + std::to_string(failure->code));
    manager.closeManager();
    return;
  }
  if (!manager.isRunning()) {
    const auto startType = manager.queryStartType();
    if (startType && *startType != ServiceStartType::Automatic) {
      if (const auto failure = manager.setStartTypeAutomatic())
        debugOutput(std::to_string(failure->code) + ": " + failure->text);
    }
    manager.start();
    sleep(std::chrono::milliseconds(500));
  }
  manager.closeService();
  manager.closeManager();
}

}  // namespace nivra::net
