#pragma once
// Control of the background service through the platform's service manager, behind a small
// interface: the program uses the systemd backend (service_manager_systemd.h), tests a fake
// that records the calls. EnsureServiceRunning is the one operation the program performs.

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace nivra::net {

inline constexpr std::string_view kServiceName = "NivraExService";

enum class ServiceStartType { Automatic = 2, Manual = 3, Disabled = 4 };

// A failed call: the system's error code and its text.
struct ServiceFailure {
  int code = 0;
  std::string text;
};

// One session with the service manager, used in this order: openManager; openService; then
// any of the service calls; closeService; closeManager. A call returning failure is not
// followed by the calls that depend on it.
class ServiceManager {
 public:
  virtual ~ServiceManager() = default;

  // Connects with the rights to change and start services. False (nothing reported) when the
  // manager cannot be reached or the caller lacks the rights.
  virtual bool openManager() = 0;
  // Opens the named service. Only after openManager succeeded; the failure when it is not
  // installed or not accessible.
  virtual std::optional<ServiceFailure> openService(std::string_view name) = 0;
  // Whether the service runs now. Only after openService succeeded.
  virtual bool isRunning() = 0;
  // The configured start type; nullopt when the configuration cannot be read.
  virtual std::optional<ServiceStartType> queryStartType() = 0;
  // Makes the service start automatically, leaving the rest of its configuration alone.
  virtual std::optional<ServiceFailure> setStartTypeAutomatic() = 0;
  // Asks the manager to start the service; the outcome is not reported.
  virtual void start() = 0;
  // Releases the service opened by openService.
  virtual void closeService() = 0;
  // Releases the manager session.
  virtual void closeManager() = 0;
};

using Sleeper = std::function<void(std::chrono::milliseconds)>;

// Makes sure "NivraExService" starts automatically and runs now. A running service is left
// alone; otherwise a start type other than automatic is switched to automatic and the service
// is started, then the caller waits 500 ms (through `sleep`, by default on this thread). Reports
// only through debug lines; without the rights it does nothing.
void EnsureServiceRunning(ServiceManager& manager);
void EnsureServiceRunning(ServiceManager& manager, const Sleeper& sleep);

}  // namespace nivra::net
