#include "player/player_stack.h"

#include <cstdlib>

#include "platform/folders.h"
#include "player/gst/gst_media_graph.h"
#include "player/player_widget.h"

namespace nivra::player {

PlayerStack::PlayerStack(platform::EventLoop& loop, platform::Registry registry,
                         PlayerStackOptions options)
    : loop_(loop), options_(std::move(options)) {
  if (options_.moduleFolder.empty()) options_.moduleFolder = platform::moduleDir();
  GstGraphOptions graphOptions;
  graphOptions.headless = options_.headless;
  graphOptions.syncToClock = options_.syncToClock;
  graphOptions.codecFolder = options_.moduleFolder / "codecs";
  graphs_ = MakeGstMediaGraphFactory(std::move(graphOptions));
  // The movie runtime reads its sinks from the environment; a headless player has no devices.
  if (options_.headless) ::setenv("NIVRA_MOVIE_SINKS", "fake", 0);
  flash_ =
      std::make_unique<MovieFlashEnvironment>(loop_, options_.moduleFolder, std::move(registry));
}

PlayerStack::~PlayerStack() = default;

PlayerWidget* PlayerStack::MakeWidget(QWidget* parent) {
  return new PlayerWidget(loop_, graphs_, flash_.get(), parent);
}

std::unique_ptr<TPlayer> PlayerStack::MakeHeadless() {
  return std::make_unique<TPlayer>(loop_, headlessSurface_, graphs_, flash_.get());
}

}  // namespace nivra::player
