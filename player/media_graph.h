#pragma once
// The media-graph backend contract: the platform operations behind the graph path of TPlayer.
// TPlayer runs the build, open, layout and teardown steps in their fixed order and reports
// every failure itself; a backend only performs one operation per call and says whether it
// worked. Implementations: GstMediaGraph (GStreamer) and the fake graph of the tests.
//
// One MediaGraph object is one graph: made empty by the factory, used from createGraph() until
// abort(), then destroyed. All calls come from the GUI thread; only the wake callback given to
// setNotify() is called from other threads. Times are in 100-ns units unless stated.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "player/player_types.h"

namespace nivra::player {

// Outcome of one step: success, failure with the platform's error text, or (render only) still
// under way.
struct GraphStatus {
  bool ok = true;
  std::string errorText;
  bool pending = false;

  static GraphStatus success() { return {}; }
  static GraphStatus failure(std::string text) { return {false, std::move(text)}; }
  static GraphStatus inProgress() { return {true, {}, true}; }
};

// The control interfaces asked for after the renderer, in this order; the value is the
// OnPlayError code raised when the interface cannot be had.
enum class GraphInterface : int {
  Control = kErrorGraphControl,
  Events = kErrorGraphEvents,
  Seeking = kErrorGraphSeeking,
  BasicAudio = kErrorBasicAudio,
  BasicVideo = kErrorBasicVideo,
};

// Graph event codes the control handles; nextEvent() may return others, which it drops.
inline constexpr int EC_COMPLETE = 1;
inline constexpr int EC_USERABORT = 2;
inline constexpr int EC_ERRORABORT = 3;
// The outcome of a render that was still under way when render() returned.
inline constexpr int EC_RENDER_DONE = 0x8001;
inline constexpr int EC_RENDER_FAILED = 0x8002;  // renderError() says why

// Capability bit of absolute seeking.
inline constexpr std::uint32_t kSeekCanSeekAbsolute = 1;

// Native window id (an X11 window); 0 is none.
using WindowId = std::uintptr_t;

class MediaGraph {
 public:
  virtual ~MediaGraph() = default;

  // --- build: each step only after the previous ones succeeded ---

  // Creates the empty graph.
  virtual GraphStatus createGraph() = 0;
  // Creates the renderer for `mode`. When the mixing renderer cannot be made the backend takes
  // the plain one and sets `mode` to vmNormal.
  virtual GraphStatus createRenderer(TVideoMode& mode) = 0;
  // Asks the renderer for its video window, which will show the picture in `window`.
  virtual GraphStatus acquireVideoWindow(WindowId window) = 0;
  // Asks the graph for one control interface.
  virtual GraphStatus acquire(GraphInterface which) = 0;
  // Directs event notices to `wake` (after acquire(Events)); an empty function directs them
  // nowhere. `wake` may run on any thread and must only post; it is never called after
  // setNotify({}) returned.
  virtual void setNotify(std::function<void()> wake) = 0;
  // Adds the renderer to the graph under `name`.
  virtual void addRenderer(std::string_view name) = 0;
  // Creates the audio filter and adds it under `name`; false when its construction failed, and
  // the graph then goes without it.
  virtual bool addAudioFilter(std::string_view name) = 0;

  // --- open ---

  // Makes the module folder's codec folder findable for the sources of every graph of the
  // process (cumulative, never undone).
  virtual void extendCodecSearchPath() = 0;

  // Renders a source (path or URL) into the renderer and the audio filter, without waiting for
  // the source: success when the graph is ready to run, failure, or pending while it is still
  // being read (a slow server). A pending render ends with one event, EC_RENDER_DONE or
  // EC_RENDER_FAILED, announced through the wake callback; abort() cancels it at once.
  virtual GraphStatus render(const std::string& source) = 0;
  // Why the last render failed (after EC_RENDER_FAILED).
  virtual std::string renderError() = 0;
  // Some input of the renderer got connected by render().
  virtual bool rendererConnected() = 0;
  // Removes the renderer from the graph and drops it and its video window.
  virtual void removeRenderer() = 0;

  // --- control (after acquire(Control)); failures are ignored by the control ---
  virtual void run() = 0;
  virtual void pause() = 0;
  virtual void stop() = 0;

  // --- seeking (after acquire(Seeking)) ---
  virtual std::uint32_t seekCapabilities() = 0;
  virtual std::optional<std::int64_t> duration() = 0;
  // nullopt when the position cannot be asked.
  virtual std::optional<std::int64_t> currentPosition() = 0;
  // Absolute positions; a stop of 0 or less keeps the natural end.
  virtual void setPositions(std::int64_t current, std::int64_t stop) = 0;

  // --- audio ---
  // Volume in hundredths of a decibel, -10000 (silent) .. 0 (after acquire(BasicAudio)).
  virtual void setVolume(int level) = 0;
  virtual bool hasAudioFilter() const = 0;
  // The audio filter's SetChannel (only with hasAudioFilter()).
  virtual void setAudioChannel(std::uint8_t mode) = 0;

  // --- video window (after acquireVideoWindow, until removeRenderer/releaseVideoWindow) ---
  // Styles and message drain: the video becomes a child of `window` and its input goes there.
  virtual void attachVideoWindow(WindowId window) = 0;
  // Owner window and rectangle, in pixels of the owner.
  virtual void placeVideoWindow(WindowId owner, const Rect& bounds) = 0;
  // Redraws the last picture (the owner was exposed).
  virtual void exposeVideo() = 0;
  // Teardown: no message drain, invisible, dropped.
  virtual void releaseVideoWindow() = 0;
  // Picture size in pixels (after acquire(BasicVideo)); 0 when unknown.
  virtual Size videoSize() = 0;

  // --- events (after acquire(Events)) ---
  // The next pending event code, without waiting; nullopt when none is left.
  virtual std::optional<int> nextEvent() = 0;

  // --- inspector (GraphEdit) ---
  virtual bool registerForInspector() = 0;
  virtual void unregisterFromInspector() = 0;

  // Drops every part of the graph; the object is only destroyed afterwards.
  virtual void abort() = 0;

  // Whether the mixing renderer can be made on this system (creates one and drops it). Called
  // on a fresh object that builds no graph.
  virtual bool probeMixingRenderer() = 0;
};

// Makes the empty graph object for each build.
using MediaGraphFactory = std::function<std::unique_ptr<MediaGraph>()>;

// Sources whose render failure stays silent: lower-cased extension (with its dot) found in
// ",.rm,.rmvb,".
bool IsSilentRenderFailure(std::string_view source);

// The inspector name of a graph: "FilterGraph %p pid %x".
std::string InspectorName(const void* graph, unsigned pid);

}  // namespace nivra::player
