#pragma once
// The first instance's life: the main window from creation to the end of the message loop.

#include "app/command_line.h"
#include "common/ini_config.h"

namespace nivra::net {
class BackgroundTasks;
class ServerEndpoints;
}  // namespace nivra::net
namespace nivra::platform {
class QtEventLoop;
}

namespace nivra::app {

// Creates the main window over `config` and `endpoints` (shown unless `hidden`), runs the loop
// until the window closes (by its close command, "/U" or a termination signal), stops and joins
// `workers` while the window still exists, then frees the window. Returns the loop's exit code.
// A QApplication must exist.
int RunMainWindowLoop(platform::QtEventLoop& loop, const CommandLine& cmd, bool hidden,
                      net::BackgroundTasks& workers, common::TIniConfig& config,
                      const net::ServerEndpoints& endpoints);

}  // namespace nivra::app
