#pragma once
// The logind backend of PowerManager (org.freedesktop.login1.Manager on the system bus) over
// Qt D-Bus. CanPowerOff answers true for "yes" and "challenge" (logind may ask for a password);
// PowerOff lets logind ask, and is never forced.

#include <QDBusConnection>
#include <memory>

#include "app/desktop/power_manager.h"

namespace nivra::app {

std::unique_ptr<PowerManager> makeLogindPowerManager(const QDBusConnection& bus);
// The backend on the system bus (the address DBUS_SYSTEM_BUS_ADDRESS names, else the standard
// socket).
std::unique_ptr<PowerManager> makeLogindPowerManager();

}  // namespace nivra::app
