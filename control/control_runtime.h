#pragma once
// What every control of a process shares: the Qt application (made on the first control when
// the host has none), the event loop on it, the player stack and the server addresses. Made on
// first use, never in a static initialiser: the program loads the library only to register it.
//
// A host without Qt drives the controls by iterating GLib's default main context on its GUI
// thread (g_main_context_iteration(NULL, FALSE) from its own loop, or g_main_loop_run): the Qt
// application made here dispatches its timers, posted work and window-system events there.

#include <memory>

#include "net/server_endpoints.h"
#include "platform/event_loop.h"
#include "player/player_stack.h"

namespace nivra::control {

class ControlRuntime {
 public:
  // The shared runtime; the first call makes the Qt application when there is none. Each
  // control holds it while it lives (acquire/release); the last release ends the player stack
  // and the loop. The Qt application made here stays for the life of the process: Qt cannot
  // be torn down from a library's unload at process exit, and a later control needs it again.
  static ControlRuntime& acquire();
  static void release();

  platform::EventLoop& loop() { return *loop_; }
  player::PlayerStack& players() { return *players_; }
  const net::ServerEndpoints& endpoints() const { return endpoints_; }
  bool ownsApplication() const { return ownsApplication_; }

  ~ControlRuntime();

 private:
  ControlRuntime();

  bool ownsApplication_ = false;
  std::unique_ptr<platform::EventLoop> loop_;
  std::unique_ptr<player::PlayerStack> players_;
  net::ServerEndpoints endpoints_;
};

}  // namespace nivra::control
