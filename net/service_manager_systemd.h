#pragma once
// The systemd backend of ServiceManager, over sd-bus. The service is the unit
// "NivraExService.service"; "automatic" means enabled, "manual" disabled (or only linked),
// "disabled" masked. The user scope talks to the user's own manager (the unit ships as a user
// unit); the system scope needs root, as changing system services does.

#include <memory>

#include "net/service_manager.h"

namespace nivra::net {

enum class SystemdScope { User, System };

std::unique_ptr<ServiceManager> makeSystemdServiceManager(SystemdScope scope = SystemdScope::User);

}  // namespace nivra::net
