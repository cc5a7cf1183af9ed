#pragma once
// A TPlayer on virtual time with the fake graph, the fake Flash environment and a surface that
// records what the control asks of its window; every event the control raises is logged as one
// line ("open 2000 1", "state 1", "stop", "end", "error 8 text", "position 2000 500 0",
// "buffing 0", "full").

#include <memory>
#include <string>
#include <vector>

#include "platform/manual_event_loop.h"
#include "player/player.h"
#include "tests/player/support/fake_flash.h"
#include "tests/player/support/fake_media_graph.h"

namespace nivra::player::test {

class RecordingSurface final : public PlayerSurface {
 public:
  Size ClientSize() const override { return client; }
  Size ScreenSize() const override { return screen; }
  Size ParentSize(const ParentWindow&) const override { return parent; }
  WindowId NativeWindow() override { return window; }
  WindowId DetachedVideoWindow(bool show) override;
  void Repaint() override { ++repaints; }
  void SetCursorHidden(bool hidden) override;
  void SetAcceptDrops(bool accept) override;
  void ReparentWindowOnly(const ParentWindow& p) override;
  void SetAlignClient() override { calls.push_back("SetAlignClient"); }
  void Reparent(const ParentWindow& p) override;
  void ShowPopupMenu(Point screen) override;

  Size client{320, 240};
  Size screen{1920, 1080};
  Size parent{800, 600};
  WindowId window = 77;
  WindowId detached = 99;
  int repaints = 0;
  std::vector<std::string> calls;
};

struct PlayerHarness {
  PlayerHarness();
  // Creates the control (again) and wires every event into `events`.
  void makePlayer();
  // Events logged so far, then cleared.
  std::vector<std::string> takeEvents();

  platform::ManualEventLoop loop;
  RecordingSurface surface;
  FakeGraphLab lab;
  FakeFlashEnvironment flash;
  std::unique_ptr<TPlayer> player;
  std::vector<std::string> events;
  bool logPositions = true;
  int stamps = 0;
};

}  // namespace nivra::player::test
