#include "player/gst/gst_media_graph.h"

#include <gst/audio/streamvolume.h>
#include <gst/video/videooverlay.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "platform/atomic_file.h"
#include "platform/debug_output.h"
#include "platform/folders.h"
#include "player/gst/gst_audio_filter.h"
#include "player/gst/gst_ptr.h"
#include "player/player_arithmetic.h"

namespace nivra::player {
namespace {

// A new element by factory name, owned (not floating), or nullptr.
GstElement* makeElement(const char* factory) {
  GstElement* e = gst_element_factory_make(factory, nullptr);
  return e ? GST_ELEMENT(gst_object_ref_sink(e)) : nullptr;
}

// Whether an element can go to READY: a display, a device or a GL context can be had.
bool usable(GstElement* element) {
  const bool ok = gst_element_set_state(element, GST_STATE_READY) != GST_STATE_CHANGE_FAILURE;
  gst_element_set_state(element, GST_STATE_NULL);
  return ok;
}

GstElement* makeUsable(const std::string& factory) {
  GstPtr<GstElement> e(makeElement(factory.c_str()));
  if (e && !usable(e.get())) return nullptr;
  return e.release();
}

GstElement* makeFakeSink(bool sync) {
  GstElement* sink = makeElement("fakesink");
  if (sink != nullptr) g_object_set(sink, "sync", sync ? TRUE : FALSE, nullptr);
  return sink;
}

void unrefAndClear(GstElement*& e) {
  if (e != nullptr) gst_object_unref(e);
  e = nullptr;
}

// What the HTTP source learnt of its server's byte ranges from the first reply's headers.
enum class Ranges { Unknown, Accepted, Refused };

// Whether a reply accepts byte ranges: a 206, or an Accept-Ranges header naming "bytes".
// souphttpsrc takes any server that sends a length for seekable, and fails the stream with
// "Server does not support seeking" when a range request is answered with the whole file.
Ranges rangesOfReply(const GstStructure* headers) {
  guint status = 0;
  gst_structure_get_uint(headers, "http-status-code", &status);
  if (status == 206) return Ranges::Accepted;
  const GValue* reply = gst_structure_get_value(headers, "response-headers");
  if (reply == nullptr || !GST_VALUE_HOLDS_STRUCTURE(reply)) return Ranges::Refused;
  const GstStructure* fields = gst_value_get_structure(reply);
  for (int i = 0; i < gst_structure_n_fields(fields); ++i) {
    const char* name = gst_structure_nth_field_name(fields, i);
    if (g_ascii_strcasecmp(name, "Accept-Ranges") != 0) continue;
    const char* value = gst_structure_get_string(fields, name);
    GstPtr<gchar> lower(value ? g_ascii_strdown(value, -1) : nullptr);
    return lower && std::strstr(lower.get(), "bytes") ? Ranges::Accepted : Ranges::Refused;
  }
  return Ranges::Refused;
}

// On the HTTP source's output: notes the server's ranges from the headers event (sent before
// any data) and, when they are refused, answers every seeking query with "not seekable".
GstPadProbeReturn guardRanges(GstPad*, GstPadProbeInfo* info, gpointer data) {
  auto& ranges = *static_cast<std::atomic<Ranges>*>(data);
  if (info->type & GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM) {
    GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
    const GstStructure* s = gst_event_get_structure(event);
    if (GST_EVENT_TYPE(event) == GST_EVENT_CUSTOM_DOWNSTREAM_STICKY && s != nullptr &&
        gst_structure_has_name(s, "http-headers") && ranges == Ranges::Unknown) {
      ranges = rangesOfReply(s);
      if (ranges == Ranges::Refused) {
        platform::debugOutput("graph: the server accepts no byte ranges; read as a stream");
      }
    }
    return GST_PAD_PROBE_OK;
  }
  GstQuery* query = GST_PAD_PROBE_INFO_QUERY(info);
  if (GST_QUERY_TYPE(query) != GST_QUERY_SEEKING || ranges != Ranges::Refused) {
    return GST_PAD_PROBE_OK;
  }
  GstFormat format = GST_FORMAT_BYTES;
  gst_query_parse_seeking(query, &format, nullptr, nullptr, nullptr);
  gst_query_set_seeking(query, format, FALSE, 0, -1);
  return GST_PAD_PROBE_HANDLED;
}

void onSourceSetup(GstElement*, GstElement* source, gpointer) {
  if (std::strcmp(G_OBJECT_TYPE_NAME(source), "GstSoupHTTPSrc") != 0) return;
  GstPtr<GstPad> pad(gst_element_get_static_pad(source, "src"));
  if (!pad) return;
  auto* ranges = new std::atomic<Ranges>(Ranges::Unknown);
  gst_pad_add_probe(pad.get(),
                    static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM |
                                                 GST_PAD_PROBE_TYPE_QUERY_UPSTREAM),
                    guardRanges, ranges,
                    [](gpointer p) { delete static_cast<std::atomic<Ranges>*>(p); });
}

}  // namespace

bool EnsureGStreamer(std::string* error) {
  static std::once_flag once;
  static std::string failure;
  std::call_once(once, [] {
    GError* raw = nullptr;
    if (!gst_init_check(nullptr, nullptr, &raw)) {
      GstPtr<GError> err(raw);
      failure = err ? err->message : "GStreamer cannot be initialised";
      return;
    }
    if (!RegisterAudioFilterElement()) failure = "the audio filter element cannot be registered";
  });
  if (error != nullptr) *error = failure;
  return failure.empty();
}

std::vector<std::string> RendererCandidates(TVideoMode mode) {
  if (mode == vmVMR) return {"glimagesink"};
  return {"xvimagesink", "ximagesink"};
}

GstMediaGraph::GstMediaGraph(GstGraphOptions options) : options_(std::move(options)) {
  if (options_.codecFolder.empty()) options_.codecFolder = platform::moduleDir() / "codecs";
}

GstMediaGraph::~GstMediaGraph() { abort(); }

// ---------------------------------------------------------------- build

GraphStatus GstMediaGraph::createGraph() {
  std::string error;
  if (!EnsureGStreamer(&error)) return GraphStatus::failure(error);
  pipeline_ = makeElement("playbin");
  if (pipeline_ == nullptr) return GraphStatus::failure("no element \"playbin\"");
  if (options_.onPipelineCreated) options_.onPipelineCreated(pipeline_);
  g_signal_connect(pipeline_, "source-setup", G_CALLBACK(onSourceSetup), nullptr);
  if (options_.headless) {
    audioSink_ = makeFakeSink(options_.syncToClock);
    if (audioSink_ == nullptr) return GraphStatus::failure("no element \"fakesink\"");
    gst_object_set_name(GST_OBJECT(audioSink_), "Audio Render");
    if (options_.audioTap) {
      GstPtr<GstPad> pad(gst_element_get_static_pad(audioSink_, "sink"));
      gst_pad_add_probe(pad.get(), GST_PAD_PROBE_TYPE_BUFFER, onAudioBuffer, this, nullptr);
    }
    g_object_set(pipeline_, "audio-sink", audioSink_, nullptr);
  }
  return GraphStatus::success();
}

GraphStatus GstMediaGraph::createRenderer(TVideoMode& mode) {
  if (options_.headless) {
    videoSink_ = makeFakeSink(options_.syncToClock);
    return videoSink_ ? GraphStatus::success() : GraphStatus::failure("no element \"fakesink\"");
  }
  for (const auto& factory : RendererCandidates(mode)) {
    if ((videoSink_ = makeUsable(factory)) != nullptr) return GraphStatus::success();
  }
  if (mode == vmVMR) {
    // No mixing renderer here: the plain one, for good.
    mode = vmNormal;
    for (const auto& factory : RendererCandidates(vmNormal)) {
      if ((videoSink_ = makeUsable(factory)) != nullptr) return GraphStatus::success();
    }
  }
  return GraphStatus::failure("no video renderer can be made (xvimagesink, ximagesink)");
}

bool GstMediaGraph::probeMixingRenderer() {
  if (!EnsureGStreamer()) return false;
  for (const auto& factory : RendererCandidates(vmVMR)) {
    if (GstPtr<GstElement>(makeUsable(factory))) return true;
  }
  return false;
}

GraphStatus GstMediaGraph::acquireVideoWindow(WindowId window) {
  if (options_.headless) return GraphStatus::success();  // pictures go nowhere
  if (videoSink_ == nullptr || !GST_IS_VIDEO_OVERLAY(videoSink_)) {
    return GraphStatus::failure("the video renderer has no window");
  }
  overlay_ = true;
  window_ = window;
  if (g_object_class_find_property(G_OBJECT_GET_CLASS(videoSink_), "handle-events")) {
    // Input over the picture goes to the control's window.
    g_object_set(videoSink_, "handle-events", FALSE, nullptr);
  }
  if (window != 0) gst_video_overlay_set_window_handle(GST_VIDEO_OVERLAY(videoSink_), window);
  return GraphStatus::success();
}

GraphStatus GstMediaGraph::acquire(GraphInterface which) {
  if (pipeline_ == nullptr) return GraphStatus::failure("no graph");
  switch (which) {
    case GraphInterface::Control:
      if (gst_element_set_state(pipeline_, GST_STATE_READY) == GST_STATE_CHANGE_FAILURE) {
        return GraphStatus::failure("the graph cannot change its state");
      }
      return GraphStatus::success();
    case GraphInterface::Events:
      bus_ = gst_element_get_bus(pipeline_);
      if (bus_ == nullptr) return GraphStatus::failure("the graph has no message bus");
      gst_bus_set_sync_handler(bus_, onBusMessage, this, nullptr);
      return GraphStatus::success();
    case GraphInterface::Seeking:
      return GST_IS_PIPELINE(pipeline_) ? GraphStatus::success()
                                        : GraphStatus::failure("the graph cannot seek");
    case GraphInterface::BasicAudio:
      return GST_IS_STREAM_VOLUME(pipeline_) ? GraphStatus::success()
                                             : GraphStatus::failure("the graph has no volume");
    case GraphInterface::BasicVideo: {
      GstPtr<GstPad> pad(videoSink_ ? gst_element_get_static_pad(videoSink_, "sink") : nullptr);
      return pad ? GraphStatus::success() : GraphStatus::failure("the video renderer has no input");
    }
  }
  return GraphStatus::failure("unknown interface");
}

void GstMediaGraph::setNotify(std::function<void()> wake) {
  std::lock_guard lock(mutex_);
  wake_ = std::move(wake);
}

void GstMediaGraph::addRenderer(std::string_view name) {
  if (pipeline_ == nullptr || videoSink_ == nullptr) return;
  gst_object_set_name(GST_OBJECT(videoSink_), std::string(name).c_str());
  g_object_set(pipeline_, "video-sink", videoSink_, nullptr);
}

bool GstMediaGraph::addAudioFilter(std::string_view name) {
  if (pipeline_ == nullptr) return false;
  GstElement* filter = CreateAudioFilter(std::string(name).c_str());
  if (filter == nullptr) return false;
  audioFilter_ = GST_ELEMENT(gst_object_ref_sink(filter));
  g_object_set(pipeline_, "audio-filter", audioFilter_, nullptr);
  return true;
}

// ---------------------------------------------------------------- open

void GstMediaGraph::extendCodecSearchPath() {
  static std::mutex scanMutex;
  std::error_code ec;
  if (!std::filesystem::is_directory(options_.codecFolder, ec)) return;
  std::lock_guard lock(scanMutex);
  gst_registry_scan_path(gst_registry_get(), options_.codecFolder.c_str());
}

GraphStatus GstMediaGraph::render(const std::string& source) {
  if (pipeline_ == nullptr) return GraphStatus::failure("no graph");
  std::string uri = source;
  if (!IsMediaUri(source) || !gst_uri_is_valid(source.c_str())) {
    GError* raw = nullptr;
    GstPtr<gchar> converted(gst_filename_to_uri(source.c_str(), &raw));
    GstPtr<GError> err(raw);
    if (!converted) return GraphStatus::failure(err ? err->message : "not a file name");
    uri = converted.get();
  }
  g_object_set(pipeline_, "uri", uri.c_str(), nullptr);
  {
    // Set before the state change: its outcome may be posted before the call returns.
    std::lock_guard lock(mutex_);
    rendering_ = true;
    renderError_.clear();
  }
  ended_ = false;
  watchFirstFrame();
  const auto change = gst_element_set_state(pipeline_, GST_STATE_PAUSED);
  std::unique_lock lock(mutex_);
  if (change == GST_STATE_CHANGE_ASYNC && rendering_) return GraphStatus::inProgress();
  // Decided already: no render event is to follow.
  rendering_ = false;
  std::erase_if(events_,
                [](int code) { return code == EC_RENDER_DONE || code == EC_RENDER_FAILED; });
  if (!renderError_.empty()) return GraphStatus::failure(renderError_);
  if (change == GST_STATE_CHANGE_FAILURE)
    return GraphStatus::failure("the source cannot be rendered");
  lock.unlock();
  if (inspectorRegistered_) writeInspectorDump();
  return GraphStatus::success();
}

std::string GstMediaGraph::renderError() {
  std::lock_guard lock(mutex_);
  return renderError_.empty() ? "the source cannot be rendered" : renderError_;
}

bool GstMediaGraph::rendererConnected() {
  if (videoSink_ == nullptr) return false;
  GstPtr<GstPad> pad(gst_element_get_static_pad(videoSink_, "sink"));
  return pad && gst_pad_is_linked(pad.get());
}

void GstMediaGraph::removeRenderer() {
  // playbin keeps its (unlinked) sink; the graph only stops using it and its window.
  overlay_ = false;
  window_ = 0;
}

// ---------------------------------------------------------------- control and seeking

void GstMediaGraph::run() {
  if (pipeline_) gst_element_set_state(pipeline_, GST_STATE_PLAYING);
}

void GstMediaGraph::pause() {
  if (pipeline_) gst_element_set_state(pipeline_, GST_STATE_PAUSED);
}

void GstMediaGraph::stop() {
  if (pipeline_) gst_element_set_state(pipeline_, GST_STATE_READY);
}

std::uint32_t GstMediaGraph::seekCapabilities() {
  if (pipeline_ == nullptr) return 0;
  GstPtr<GstQuery> query(gst_query_new_seeking(GST_FORMAT_TIME));
  gboolean seekable = FALSE;
  if (gst_element_query(pipeline_, query.get())) {
    gst_query_parse_seeking(query.get(), nullptr, &seekable, nullptr, nullptr);
  }
  return seekable ? kSeekCanSeekAbsolute : 0;
}

std::optional<std::int64_t> GstMediaGraph::duration() {
  gint64 ns = 0;
  if (pipeline_ == nullptr || !gst_element_query_duration(pipeline_, GST_FORMAT_TIME, &ns) ||
      ns < 0) {
    return std::nullopt;
  }
  return ns / 100;
}

std::optional<std::int64_t> GstMediaGraph::currentPosition() {
  gint64 ns = 0;
  if (pipeline_ == nullptr) return std::nullopt;
  const bool known = gst_element_query_position(pipeline_, GST_FORMAT_TIME, &ns) && ns >= 0;
  if (ended_) {
    // At the end the position is the end of the source.
    if (auto end = duration(); end && (!known || *end > ns / 100)) return end;
  }
  if (!known) return std::nullopt;
  return ns / 100;
}

void GstMediaGraph::setPositions(std::int64_t current, std::int64_t stop) {
  if (pipeline_ == nullptr) return;
  ended_ = false;
  gst_element_seek(pipeline_, 1.0, GST_FORMAT_TIME,
                   static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                   GST_SEEK_TYPE_SET, current * 100,
                   stop > 0 ? GST_SEEK_TYPE_SET : GST_SEEK_TYPE_NONE,
                   stop > 0 ? stop * 100 : GST_CLOCK_TIME_NONE);
}

void GstMediaGraph::setVolume(int level) {
  if (pipeline_ == nullptr || !GST_IS_STREAM_VOLUME(pipeline_)) return;
  // Hundredths of a decibel; -10000 is silence.
  const double linear = level <= -10000 ? 0.0 : std::pow(10.0, level / 2000.0);
  gst_stream_volume_set_volume(GST_STREAM_VOLUME(pipeline_), GST_STREAM_VOLUME_FORMAT_LINEAR,
                               std::min(linear, 1.0));
}

void GstMediaGraph::setAudioChannel(std::uint8_t mode) {
  if (audioFilter_) SetAudioFilterChannel(audioFilter_, mode);
}

// ---------------------------------------------------------------- video window

void GstMediaGraph::attachVideoWindow(WindowId window) {
  if (!overlay_ || videoSink_ == nullptr || window == 0) return;
  window_ = window;
  gst_video_overlay_set_window_handle(GST_VIDEO_OVERLAY(videoSink_), window);
}

void GstMediaGraph::placeVideoWindow(WindowId owner, const Rect& b) {
  if (!overlay_ || videoSink_ == nullptr || owner == 0) return;
  if (owner != window_) {
    window_ = owner;
    gst_video_overlay_set_window_handle(GST_VIDEO_OVERLAY(videoSink_), owner);
  }
  // A window not laid out yet has no size: the sink keeps drawing into the whole window until
  // the next placement gives it one (a zero rectangle is refused by the overlay).
  if (b.width <= 0 || b.height <= 0) return;
  gst_video_overlay_set_render_rectangle(GST_VIDEO_OVERLAY(videoSink_), b.left, b.top, b.width,
                                         b.height);
  gst_video_overlay_expose(GST_VIDEO_OVERLAY(videoSink_));
}

void GstMediaGraph::exposeVideo() {
  if (overlay_ && videoSink_) gst_video_overlay_expose(GST_VIDEO_OVERLAY(videoSink_));
}

void GstMediaGraph::releaseVideoWindow() { overlay_ = false; }

Size GstMediaGraph::videoSize() {
  if (videoSink_ == nullptr) return {};
  GstPtr<GstPad> pad(gst_element_get_static_pad(videoSink_, "sink"));
  if (!pad) return {};
  const GstPtr<GstCaps> caps(gst_pad_get_current_caps(pad.get()));
  if (!caps) return {};
  Size size;
  if (gst_caps_get_size(caps.get()) > 0) {
    const GstStructure* s = gst_caps_get_structure(caps.get(), 0);
    gst_structure_get_int(s, "width", &size.width);
    gst_structure_get_int(s, "height", &size.height);
  }
  return size;
}

// ---------------------------------------------------------------- events

GstBusSyncReply GstMediaGraph::onBusMessage(GstBus*, GstMessage* message, gpointer self) {
  static_cast<GstMediaGraph*>(self)->handleBusMessage(message);
  // Every message is handled here; a dropped message is the handler's to release.
  gst_message_unref(message);
  return GST_BUS_DROP;
}

GstPadProbeReturn GstMediaGraph::onAudioBuffer(GstPad* pad, GstPadProbeInfo* info, gpointer self) {
  auto* graph = static_cast<GstMediaGraph*>(self);
  const GstPtr<GstCaps> caps(gst_pad_get_current_caps(pad));
  graph->options_.audioTap(caps.get(), GST_PAD_PROBE_INFO_BUFFER(info));
  return GST_PAD_PROBE_OK;
}

void GstMediaGraph::watchFirstFrame() {
  // The sink shows a buffer as soon as it reaches its input (the preroll frame included), so
  // the first buffer at the video sink's pad marks the first picture on screen.
  GstPtr<GstPad> pad(videoSink_ ? gst_element_get_static_pad(videoSink_, "sink") : nullptr);
  if (!pad) return;
  gst_pad_add_probe(
      pad.get(),
      static_cast<GstPadProbeType>(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_BUFFER_LIST),
      [](GstPad*, GstPadProbeInfo*, gpointer) {
        platform::debugOutput("FirstFrame");
        return GST_PAD_PROBE_REMOVE;
      },
      nullptr, nullptr);
}

void GstMediaGraph::handleBusMessage(GstMessage* message) {
  switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_ERROR: {
      GError* raw = nullptr;
      gchar* debug = nullptr;
      gst_message_parse_error(message, &raw, &debug);
      GstPtr<GError> err(raw);
      GstPtr<gchar> debugText(debug);
      const std::string text = err ? err->message : "error";
      // A picture window closed by the user is the user's abort.
      const bool userAbort = GST_MESSAGE_SRC(message) == GST_OBJECT(videoSink_) && err &&
                             err->domain == GST_RESOURCE_ERROR &&
                             err->code == GST_RESOURCE_ERROR_NOT_FOUND;
      platform::debugOutput("graph error: " + text);
      std::lock_guard lock(mutex_);
      if (rendering_) {
        rendering_ = false;
        renderError_ = text;
        queueEventLocked(EC_RENDER_FAILED);
      } else if (!renderError_.empty()) {
        // The failed source's further errors: it was reported once, and stays until Stop.
      } else {
        queueEventLocked(userAbort ? EC_USERABORT : EC_ERRORABORT);
      }
      break;
    }
    case GST_MESSAGE_EOS:
      ended_ = true;
      queueEvent(EC_COMPLETE);
      break;
    case GST_MESSAGE_ASYNC_DONE: {
      std::lock_guard lock(mutex_);
      if (rendering_) {
        rendering_ = false;
        queueEventLocked(EC_RENDER_DONE);
      }
      break;
    }
    case GST_MESSAGE_ELEMENT:
      if (gst_is_video_overlay_prepare_window_handle_message(message) && window_ != 0) {
        gst_video_overlay_set_window_handle(GST_VIDEO_OVERLAY(GST_MESSAGE_SRC(message)), window_);
      }
      break;
    default:
      break;
  }
}

void GstMediaGraph::queueEvent(int code) {
  std::lock_guard lock(mutex_);
  queueEventLocked(code);
}

void GstMediaGraph::queueEventLocked(int code) {
  events_.push_back(code);
  if (wake_) wake_();
}

std::optional<int> GstMediaGraph::nextEvent() {
  std::unique_lock lock(mutex_);
  if (events_.empty()) return std::nullopt;
  const int code = events_.front();
  events_.pop_front();
  lock.unlock();
  if (code == EC_RENDER_DONE && inspectorRegistered_) writeInspectorDump();
  return code;
}

// ---------------------------------------------------------------- inspector and teardown

std::filesystem::path GstMediaGraph::inspectorFile() const {
  return platform::runtimeDir() / "graphs" /
         (InspectorName(pipeline_, static_cast<unsigned>(::getpid())) + ".dot");
}

void GstMediaGraph::writeInspectorDump() {
  if (pipeline_ == nullptr) return;
  GstPtr<gchar> dot(gst_debug_bin_to_dot_data(GST_BIN(pipeline_), GST_DEBUG_GRAPH_SHOW_ALL));
  const auto file = inspectorFile();
  if (dot && platform::ensureDir(file.parent_path())) {
    platform::writeFileAtomically(file, dot.get());
  }
}

bool GstMediaGraph::registerForInspector() {
  if (pipeline_ == nullptr) return false;
  inspectorRegistered_ = true;
  writeInspectorDump();
  return true;
}

void GstMediaGraph::unregisterFromInspector() {
  if (!inspectorRegistered_) return;
  inspectorRegistered_ = false;
  std::error_code ec;
  std::filesystem::remove(inspectorFile(), ec);
}

void GstMediaGraph::abort() {
  if (pipeline_ != nullptr) {
    // NULL joins the streaming threads: no bus message or buffer probe runs after this.
    gst_element_set_state(pipeline_, GST_STATE_NULL);
  }
  if (inspectorRegistered_) unregisterFromInspector();
  if (bus_ != nullptr) {
    gst_bus_set_sync_handler(bus_, nullptr, nullptr, nullptr);
    gst_object_unref(bus_);
    bus_ = nullptr;
  }
  if (pipeline_ != nullptr) {
    // Messages posted before the sync handler was installed wait on the bus, each holding a
    // reference to its source; flushing drops them, or the pipeline would never be freed.
    if (const GstPtr<GstBus> bus{gst_element_get_bus(pipeline_)})
      gst_bus_set_flushing(bus.get(), TRUE);
  }
  unrefAndClear(audioFilter_);
  unrefAndClear(audioSink_);
  unrefAndClear(videoSink_);
  unrefAndClear(pipeline_);
  overlay_ = false;
  std::lock_guard lock(mutex_);
  wake_ = nullptr;
  events_.clear();
}

MediaGraphFactory MakeGstMediaGraphFactory(GstGraphOptions options) {
  return [options] { return std::make_unique<GstMediaGraph>(options); };
}

}  // namespace nivra::player
