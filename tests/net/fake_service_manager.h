#pragma once
// A ServiceManager that plays a configurable service and records every call by name.

#include <optional>
#include <string>
#include <vector>

#include "net/service_manager.h"

namespace nivra::test {

class FakeServiceManager final : public net::ServiceManager {
 public:
  bool managerOpens = true;  // false: no rights
  bool installed = true;
  bool running = false;
  std::optional<net::ServiceStartType> startType =
      net::ServiceStartType::Manual;  // nullopt: query fails
  std::optional<net::ServiceFailure> changeFailure;
  std::vector<std::string> calls;

  bool openManager() override {
    calls.push_back("openManager");
    return managerOpens;
  }
  std::optional<net::ServiceFailure> openService(std::string_view name) override {
    calls.push_back("openService " + std::string(name));
    if (!installed) return net::ServiceFailure{1060, "not installed"};
    return std::nullopt;
  }
  bool isRunning() override {
    calls.push_back("isRunning");
    return running;
  }
  std::optional<net::ServiceStartType> queryStartType() override {
    calls.push_back("queryStartType");
    return startType;
  }
  std::optional<net::ServiceFailure> setStartTypeAutomatic() override {
    calls.push_back("setStartTypeAutomatic");
    if (!changeFailure) startType = net::ServiceStartType::Automatic;
    return changeFailure;
  }
  void start() override {
    calls.push_back("start");
    running = true;
  }
  void closeService() override { calls.push_back("closeService"); }
  void closeManager() override { calls.push_back("closeManager"); }
};

}  // namespace nivra::test
