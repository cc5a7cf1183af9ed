#pragma once
// The GStreamer backend of MediaGraph: one playbin per graph, with the nivraaudiofilter element
// as its audio filter and the renderer chosen by the video mode as its video sink (overlaid into
// the control's window). Bus messages are taken on the posting thread, queued as graph events
// (end of stream = EC_COMPLETE, errors = EC_ERRORABORT, a closed output window = EC_USERABORT)
// and announced through the wake callback.
//
// render() only starts the preroll (the state change returns ASYNC); its end arrives on the bus
// (ASYNC_DONE, or an error) and is queued as EC_RENDER_DONE / EC_RENDER_FAILED, so the GUI thread
// never waits for a source. abort() sets the graph to NULL, which cancels a pending read at once.
//
// An HTTP server that does not accept byte ranges (no "Accept-Ranges: bytes", no 206 reply) is
// read as a stream: its source answers that it cannot seek, so the demuxers read the whole file
// once from its start instead of asking for ranges the server would refuse. Seeking is then
// unavailable, and an Ogg duration is only the demuxer's estimate.
//
// After the end of stream the position reads as the end of the source (the stop position), as
// the platform's graph reports it, until the next seek.

#include <gst/gst.h>

#include <atomic>
#include <deque>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "player/media_graph.h"

namespace nivra::player {

struct GstGraphOptions {
  // Fake sinks for picture and sound, and no video window (the headless player and the tests).
  bool headless = false;
  // Whether the fake sinks wait for the clock (real-time playback) or take buffers as fast as
  // they are decoded.
  bool syncToClock = true;
  // The codec folder made findable at every open; empty: the module folder's "codecs".
  std::filesystem::path codecFolder;
  // Called on the streaming thread with every buffer reaching the audio sink (headless only).
  std::function<void(GstCaps* caps, GstBuffer* buffer)> audioTap;
  // Called on the GUI thread with every new playbin (tests and tracing).
  std::function<void(GstElement* pipeline)> onPipelineCreated;
};

// Initialises GStreamer once per process and registers the audio filter element. False, with
// the reason in `error`, when GStreamer cannot be initialised.
bool EnsureGStreamer(std::string* error = nullptr);

// The renderers for a video mode, in the order they are tried.
std::vector<std::string> RendererCandidates(TVideoMode mode);

class GstMediaGraph final : public MediaGraph {
 public:
  explicit GstMediaGraph(GstGraphOptions options);
  ~GstMediaGraph() override;
  GstMediaGraph(const GstMediaGraph&) = delete;
  GstMediaGraph& operator=(const GstMediaGraph&) = delete;

  GraphStatus createGraph() override;
  GraphStatus createRenderer(TVideoMode& mode) override;
  GraphStatus acquireVideoWindow(WindowId window) override;
  GraphStatus acquire(GraphInterface which) override;
  void setNotify(std::function<void()> wake) override;
  void addRenderer(std::string_view name) override;
  bool addAudioFilter(std::string_view name) override;
  void extendCodecSearchPath() override;
  GraphStatus render(const std::string& source) override;
  std::string renderError() override;
  bool rendererConnected() override;
  void removeRenderer() override;
  void run() override;
  void pause() override;
  void stop() override;
  std::uint32_t seekCapabilities() override;
  std::optional<std::int64_t> duration() override;
  std::optional<std::int64_t> currentPosition() override;
  void setPositions(std::int64_t current, std::int64_t stop) override;
  void setVolume(int level) override;
  bool hasAudioFilter() const override { return audioFilter_ != nullptr; }
  void setAudioChannel(std::uint8_t mode) override;
  void attachVideoWindow(WindowId window) override;
  void placeVideoWindow(WindowId owner, const Rect& bounds) override;
  void exposeVideo() override;
  void releaseVideoWindow() override;
  Size videoSize() override;
  std::optional<int> nextEvent() override;
  bool registerForInspector() override;
  void unregisterFromInspector() override;
  void abort() override;
  bool probeMixingRenderer() override;

  // The playbin (for tests and the inspector dump); nullptr before createGraph and after abort.
  GstElement* pipeline() const { return pipeline_; }
  // The audio filter element inside the graph, nullptr without one.
  GstElement* audioFilter() const { return audioFilter_; }
  // Where the inspector dump goes while registered.
  std::filesystem::path inspectorFile() const;

 private:
  static GstBusSyncReply onBusMessage(GstBus* bus, GstMessage* message, gpointer self);
  static GstPadProbeReturn onAudioBuffer(GstPad* pad, GstPadProbeInfo* info, gpointer self);
  // Logs "FirstFrame" once, when the first buffer of this open reaches the video sink.
  void watchFirstFrame();
  void handleBusMessage(GstMessage* message);
  void queueEvent(int code);
  void queueEventLocked(int code);  // with mutex_ held
  void writeInspectorDump();

  GstGraphOptions options_;
  GstElement* pipeline_ = nullptr;
  GstElement* videoSink_ = nullptr;
  GstElement* audioSink_ = nullptr;
  GstElement* audioFilter_ = nullptr;
  GstBus* bus_ = nullptr;
  bool overlay_ = false;
  bool inspectorRegistered_ = false;
  std::atomic<WindowId> window_{0};
  std::atomic<bool> ended_{false};

  std::mutex mutex_;  // guards everything below, shared with the streaming threads
  bool rendering_ = false;
  std::string renderError_;
  std::deque<int> events_;
  std::function<void()> wake_;
};

// A factory of GstMediaGraph objects with the same options.
MediaGraphFactory MakeGstMediaGraphFactory(GstGraphOptions options);

}  // namespace nivra::player
