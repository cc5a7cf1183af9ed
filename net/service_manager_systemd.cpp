#include "net/service_manager_systemd.h"

#include <systemd/sd-bus.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "net/socket_io.h"

namespace nivra::net {
namespace {

constexpr const char* kDestination = "org.freedesktop.systemd1";
constexpr const char* kManagerPath = "/org/freedesktop/systemd1";
constexpr const char* kManagerInterface = "org.freedesktop.systemd1.Manager";
constexpr const char* kUnitInterface = "org.freedesktop.systemd1.Unit";

// Holds one call's error and releases it.
struct BusError {
  sd_bus_error error = SD_BUS_ERROR_NULL;
  ~BusError() { sd_bus_error_free(&error); }
  ServiceFailure failure(int r) const {
    const int code = r < 0 ? -r : r;
    return {code,
            sd_bus_error_is_set(&error) && error.message ? error.message : systemErrorText(code)};
  }
};

struct MessageRef {
  sd_bus_message* m = nullptr;
  ~MessageRef() { sd_bus_message_unref(m); }
};

class SystemdServiceManager final : public ServiceManager {
 public:
  explicit SystemdServiceManager(SystemdScope scope) : scope_(scope) {}
  ~SystemdServiceManager() override { closeManager(); }

  bool openManager() override {
    closeManager();
    if (scope_ == SystemdScope::System && ::geteuid() != 0) return false;
    const int r =
        scope_ == SystemdScope::User ? sd_bus_open_user(&bus_) : sd_bus_open_system(&bus_);
    if (r < 0) bus_ = nullptr;
    return r >= 0;
  }

  std::optional<ServiceFailure> openService(std::string_view name) override {
    unit_ = std::string(name) + ".service";
    BusError e;
    MessageRef reply;
    int r = sd_bus_call_method(bus_, kDestination, kManagerPath, kManagerInterface, "LoadUnit",
                               &e.error, &reply.m, "s", unit_.c_str());
    if (r < 0) return e.failure(r);
    const char* path = nullptr;
    r = sd_bus_message_read(reply.m, "o", &path);
    if (r < 0) return e.failure(r);
    unitPath_ = path;
    if (unitProperty("LoadState") == "not-found") {
      unitPath_.clear();
      return ServiceFailure{ENOENT, "Unit " + unit_ + " not found."};
    }
    return std::nullopt;
  }

  bool isRunning() override {
    const std::string state = unitProperty("ActiveState");
    return state == "active" || state == "reloading";
  }

  std::optional<ServiceStartType> queryStartType() override {
    const std::string state = unitProperty("UnitFileState");
    if (state == "disabled" || state == "linked" || state == "linked-runtime")
      return ServiceStartType::Manual;
    if (state == "masked" || state == "masked-runtime") return ServiceStartType::Disabled;
    if (state == "enabled" || state == "enabled-runtime" || state == "static" ||
        state == "indirect" || state == "generated" || state == "transient" || state == "alias")
      return ServiceStartType::Automatic;
    return std::nullopt;
  }

  std::optional<ServiceFailure> setStartTypeAutomatic() override {
    if (queryStartType() == ServiceStartType::Disabled) {
      BusError e;
      const int r =
          sd_bus_call_method(bus_, kDestination, kManagerPath, kManagerInterface, "UnmaskUnitFiles",
                             &e.error, nullptr, "asb", 1, unit_.c_str(), 0);
      if (r < 0) return e.failure(r);
    }
    BusError e;
    int r =
        sd_bus_call_method(bus_, kDestination, kManagerPath, kManagerInterface, "EnableUnitFiles",
                           &e.error, nullptr, "asbb", 1, unit_.c_str(), 0, 0);
    if (r < 0) return e.failure(r);
    r = sd_bus_call_method(bus_, kDestination, kManagerPath, kManagerInterface, "Reload", &e.error,
                           nullptr, "");
    if (r < 0) return e.failure(r);
    return std::nullopt;
  }

  void start() override {
    BusError e;
    sd_bus_call_method(bus_, kDestination, kManagerPath, kManagerInterface, "StartUnit", &e.error,
                       nullptr, "ss", unit_.c_str(), "replace");
  }

  void closeService() override {
    unit_.clear();
    unitPath_.clear();
  }

  void closeManager() override {
    closeService();
    if (bus_) bus_ = sd_bus_flush_close_unref(bus_);
  }

 private:
  // A string property of the opened unit; empty when it cannot be read.
  std::string unitProperty(const char* name) {
    if (unitPath_.empty()) return {};
    BusError e;
    char* value = nullptr;
    if (sd_bus_get_property_string(bus_, kDestination, unitPath_.c_str(), kUnitInterface, name,
                                   &e.error, &value) < 0)
      return {};
    std::string out = value ? value : "";
    std::free(value);
    return out;
  }

  SystemdScope scope_;
  sd_bus* bus_ = nullptr;
  std::string unit_;
  std::string unitPath_;
};

}  // namespace

std::unique_ptr<ServiceManager> makeSystemdServiceManager(SystemdScope scope) {
  return std::make_unique<SystemdServiceManager>(scope);
}

}  // namespace nivra::net
