#pragma once
// PlayerStack: the one place that assembles a player control. It owns what every player of a
// process shares, the GStreamer graph factory and the Flash environment (the movie runtime and
// the resolver of the module folder), and makes players over them: in a widget, whose native
// window takes the picture of both paths, or headless (fake sinks, no window).

#include <filesystem>
#include <memory>

#include "platform/event_loop.h"
#include "platform/registry.h"
#include "player/flash/flash_environment.h"
#include "player/media_graph.h"
#include "player/player.h"

class QWidget;

namespace nivra::player {

class PlayerWidget;

struct PlayerStackOptions {
  // No window and no devices: graphs and the movie render into fake sinks.
  bool headless = false;
  // Headless only: whether the fake sinks keep to the clock (real time) or take buffers as fast
  // as they are decoded.
  bool syncToClock = true;
  // The folder of the movie, the resolver library and "codecs"; empty: the module folder.
  std::filesystem::path moduleFolder;
};

class PlayerStack {
 public:
  // `registry` names the Flash class (the movie runtime).
  PlayerStack(platform::EventLoop& loop, platform::Registry registry,
              PlayerStackOptions options = {});
  ~PlayerStack();
  PlayerStack(const PlayerStack&) = delete;
  PlayerStack& operator=(const PlayerStack&) = delete;

  // A player control in a widget owned by `parent` (Qt parent ownership; without a parent the
  // caller owns it). Widgets belong to a stack that is not headless.
  PlayerWidget* MakeWidget(QWidget* parent);
  // A player control with no window.
  std::unique_ptr<TPlayer> MakeHeadless();

  // The shared Flash environment (e.g. to show the movie's messages).
  MovieFlashEnvironment& Flash() { return *flash_; }
  const PlayerStackOptions& Options() const { return options_; }

 private:
  platform::EventLoop& loop_;
  PlayerStackOptions options_;
  MediaGraphFactory graphs_;
  std::unique_ptr<MovieFlashEnvironment> flash_;
  HeadlessSurface headlessSurface_;
};

}  // namespace nivra::player
