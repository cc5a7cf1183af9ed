#pragma once
// The org.freedesktop.ScreenSaver backend of ScreenSaverInhibitor over Qt D-Bus. Calls wait at
// most kDbusCallTimeoutMs (dbus_call.h); a desktop without the service leaves the request
// unanswered (debug line "ScreenSaver: <error>") and the screen saver as it is.

#include <QDBusConnection>
#include <memory>

#include "app/desktop/screen_saver.h"

namespace nivra::app {

// The backend on `bus`. An active request is ended at destruction.
std::unique_ptr<ScreenSaverInhibitor> makeDbusScreenSaverInhibitor(const QDBusConnection& bus);
// The backend on the session bus when there is one, else the do-nothing variant.
std::unique_ptr<ScreenSaverInhibitor> makeScreenSaverInhibitor();

}  // namespace nivra::app
