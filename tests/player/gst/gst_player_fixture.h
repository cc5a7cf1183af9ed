#pragma once
// TPlayer with the GStreamer graph, headless, on a ManualEventLoop pumped against real time;
// every event the control raises is logged as one line ("open 1", "state 1", "error 8", ...).

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/manual_event_loop.h"
#include "player/gst/gst_media_graph.h"
#include "player/player.h"
#include "tests/player/gst/test_media.h"

namespace nivra::player::test {

inline GstGraphOptions headless(bool syncToClock) {
  GstGraphOptions options;
  options.headless = true;
  options.syncToClock = syncToClock;
  return options;
}

class GstPlayerTest : public ::testing::Test {
 protected:
  void SetUp() override { makePlayer(headless(false)); }

  void makePlayer(GstGraphOptions options) {
    player.reset();
    auto inner = MakeGstMediaGraphFactory(std::move(options));
    player = std::make_unique<TPlayer>(
        loop, surface,
        [this, inner] {
          auto graph = inner();
          lastGraph = static_cast<GstMediaGraph*>(graph.get());
          return graph;
        },
        nullptr);
    player->OnPlayOpen = [this](std::uint32_t d, bool s, bool& canPlay) {
      events.push_back("open " + std::string(s ? "1" : "0"));
      duration = d;
      canPlay = autoPlay;
    };
    player->OnPlayStop = [this] { events.push_back("stop"); };
    player->OnPlayStateChange = [this](TPlayState s) {
      events.push_back("state " + std::to_string(s));
    };
    player->OnPlayEnd = [this] {
      events.push_back("end");
      ended = true;
    };
    player->OnPlayError = [this](int code, const std::string& text) {
      events.push_back("error " + std::to_string(code));
      errorText = text;
    };
  }

  // Opens and pumps the loop until the source is rendered or failed to render.
  bool open(const std::string& source) {
    player->Open(source);
    return rendered();
  }
  // The same through OpenFile, which takes web addresses to the graph too.
  bool openFile(const std::string& source) {
    player->OpenFile(source);
    return rendered();
  }
  bool rendered() {
    return PumpUntil(loop, [this] { return !player->OpenPending(); });
  }

  bool playToEnd() {
    return PumpUntil(loop, [this] { return ended && player->PlayState() == psStop; });
  }

  bool raised(const std::string& prefix) const {
    return std::any_of(events.begin(), events.end(),
                       [&](const std::string& e) { return e.rfind(prefix, 0) == 0; });
  }

  const TestMedia& media = TestMedia::get();
  platform::ManualEventLoop loop;
  HeadlessSurface surface;
  std::unique_ptr<TPlayer> player;
  GstMediaGraph* lastGraph = nullptr;
  std::vector<std::string> events;
  std::string errorText;
  std::uint32_t duration = 0;
  bool autoPlay = true;
  bool ended = false;
};

}  // namespace nivra::player::test
