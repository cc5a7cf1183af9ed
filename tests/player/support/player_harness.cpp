#include "tests/player/support/player_harness.h"

namespace nivra::player::test {

WindowId RecordingSurface::DetachedVideoWindow(bool show) {
  if (show) calls.push_back("DetachedVideoWindow shown");
  return show ? detached : 0;
}

void RecordingSurface::SetCursorHidden(bool hidden) {
  calls.push_back(hidden ? "SetCursorHidden 1" : "SetCursorHidden 0");
}

void RecordingSurface::SetAcceptDrops(bool accept) {
  calls.push_back(accept ? "SetAcceptDrops 1" : "SetAcceptDrops 0");
}

void RecordingSurface::ReparentWindowOnly(const ParentWindow& p) {
  calls.push_back("ReparentWindowOnly " + std::to_string(p.window));
}

void RecordingSurface::Reparent(const ParentWindow& p) {
  calls.push_back("Reparent " + std::to_string(p.window));
}

void RecordingSurface::ShowPopupMenu(Point screen) {
  calls.push_back("ShowPopupMenu " + std::to_string(screen.x) + "," + std::to_string(screen.y));
}

PlayerHarness::PlayerHarness() { makePlayer(); }

void PlayerHarness::makePlayer() {
  player.reset();
  player = std::make_unique<TPlayer>(loop, surface, lab.factory(), &flash);
  auto& p = *player;
  p.OnPlayOpen = [this](std::uint32_t d, bool s, bool&) {
    events.push_back("open " + std::to_string(d) + " " + (s ? "1" : "0"));
  };
  p.OnPlayStop = [this] { events.push_back("stop"); };
  p.OnPlayStateChange = [this](TPlayState s) { events.push_back("state " + std::to_string(s)); };
  p.OnPlayEnd = [this] { events.push_back("end"); };
  p.OnPlayError = [this](int code, const std::string& text) {
    events.push_back("error " + std::to_string(code) + " " + text);
  };
  p.OnPlayBuffing = [this](int d) { events.push_back("buffing " + std::to_string(d)); };
  p.OnPlayPosition = [this](std::uint32_t d, std::uint32_t pos, std::uint32_t f) {
    if (logPositions) {
      events.push_back("position " + std::to_string(d) + " " + std::to_string(pos) + " " +
                       std::to_string(f));
    }
  };
  p.StampActive = [this] { ++stamps; };
}

std::vector<std::string> PlayerHarness::takeEvents() {
  auto out = std::move(events);
  events.clear();
  return out;
}

}  // namespace nivra::player::test
