#include "extras/movie/segment_player.h"

#include <gst/pbutils/pbutils.h>
#include <gst/video/videooverlay.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace nivra::extras {
namespace {

constexpr std::int64_t kNsPerMs = 1000000;

std::int64_t monotonicUs() { return g_get_monotonic_time(); }

std::string toUri(const std::string& address) {
  if (gst_uri_is_valid(address.c_str())) return address;
  gchar* uri = gst_filename_to_uri(address.c_str(), nullptr);
  std::string out = uri ? uri : address;
  g_free(uri);
  return out;
}

GstElement* makeSink(const char* factory, bool sync) {
  GstElement* sink = gst_element_factory_make(factory, nullptr);
  if (sink && sync && g_object_class_find_property(G_OBJECT_GET_CLASS(sink), "sync"))
    g_object_set(sink, "sync", TRUE, nullptr);
  return sink;
}

bool fakeSinksWanted() {
  const char* v = std::getenv("NIVRA_MOVIE_SINKS");
  return v && std::strcmp(v, "fake") == 0;
}

// The address of the uridecodebin (or source) that posted a message.
std::string uriOfSender(GstObject* sender) {
  for (GstObject* o = sender; o; o = GST_OBJECT_PARENT(o)) {
    if (!g_object_class_find_property(G_OBJECT_GET_CLASS(o), "uri")) continue;
    gchar* uri = nullptr;
    g_object_get(o, "uri", &uri, nullptr);
    std::string out = uri ? uri : "";
    g_free(uri);
    if (!out.empty()) return out;
  }
  return {};
}

// The buffering queues of playbin3's network sources crash this GStreamer when the pipeline is torn
// down; without them a stall is seen as a position that stops moving (see sample()).
void disableDownloadBuffering(GstElement* playbin) {
  GstIterator* it = gst_bin_iterate_elements(GST_BIN(playbin));
  GValue item = G_VALUE_INIT;
  while (gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
    GObject* element = G_OBJECT(g_value_get_object(&item));
    if (g_object_class_find_property(G_OBJECT_GET_CLASS(element), "use-buffering"))
      g_object_set(element, "use-buffering", FALSE, nullptr);
    g_value_reset(&item);
  }
  g_value_unset(&item);
  gst_iterator_free(it);
}

}  // namespace

bool ensureGStreamer() {
  static const bool ok = [] {
    GError* error = nullptr;
    const bool done = gst_init_check(nullptr, nullptr, &error);
    if (error) g_error_free(error);
    return done;
  }();
  return ok;
}

SegmentPlayer::SegmentPlayer(MovieTimeline timeline, SegmentPlayerSinks sinks)
    : window_(sinks.window), timeline_(std::move(timeline)) {
  ensureGStreamer();
  const bool fake = fakeSinksWanted();
  if (!sinks.audio) sinks.audio = fake ? nullptr : makeSink("autoaudiosink", false);
  if (!sinks.audio) sinks.audio = makeSink("fakesink", true);
  if (!sinks.video && !fake && window_) sinks.video = makeSink("xvimagesink", false);
  if (!sinks.video && !fake && window_) sinks.video = makeSink("ximagesink", false);
  if (!sinks.video) sinks.video = makeSink("fakesink", true);

  playbin_ = gst_element_factory_make("playbin3", nullptr);
  if (!playbin_) {
    state_.error = "The media framework has no playbin3";
    if (sinks.audio) gst_object_unref(gst_object_ref_sink(sinks.audio));
    if (sinks.video) gst_object_unref(gst_object_ref_sink(sinks.video));
    return;
  }
  gst_object_ref_sink(playbin_);
  g_object_set(playbin_, "audio-sink", sinks.audio, "video-sink", sinks.video, nullptr);
  g_signal_connect(playbin_, "about-to-finish", G_CALLBACK(&SegmentPlayer::aboutToFinish), this);
  g_signal_connect(playbin_, "source-setup", G_CALLBACK(&SegmentPlayer::sourceSetup), this);
  disableDownloadBuffering(playbin_);
  bus_ = gst_element_get_bus(playbin_);
  gst_bus_set_sync_handler(bus_, &SegmentPlayer::syncHandler, this, nullptr);
  lengthsKnown_ = true;
  for (std::size_t i = 0; i < timeline_.size(); ++i) lengthsKnown_ = lengthsKnown_ && timeline_.at(i).hintMs > 0;
  if (timeline_.empty()) state_.error = "The movie got no address to play";
  else thread_ = std::thread([this] { run(); });
}

SegmentPlayer::~SegmentPlayer() {
  stopping_ = true;
  if (thread_.joinable()) {
    post(Command::Pause);  // wakes the bus thread
    thread_.join();
  }
  if (playbin_) {
    gst_element_set_state(playbin_, GST_STATE_NULL);
    g_signal_handlers_disconnect_by_data(playbin_, this);
  }
  if (bus_) {
    gst_bus_set_sync_handler(bus_, nullptr, nullptr, nullptr);
    gst_object_unref(bus_);
  }
  if (playbin_) gst_object_unref(playbin_);
}

void SegmentPlayer::post(Command c, std::int64_t value) {
  {
    std::lock_guard lock(mutex_);
    commands_.emplace_back(c, value);
  }
  if (bus_)
    gst_bus_post(bus_, gst_message_new_application(
                           nullptr, gst_structure_new_empty("nivra-movie-command")));
}

void SegmentPlayer::pause() { post(Command::Pause); }
void SegmentPlayer::resume() { post(Command::Resume); }
void SegmentPlayer::seek(std::int64_t ms) { post(Command::Seek, ms); }

void SegmentPlayer::setVolume(int level) {
  if (playbin_) g_object_set(playbin_, "volume", std::clamp(level, 0, 100) / 100.0, nullptr);
}

void SegmentPlayer::setRenderRectangle(int left, int top, int width, int height) {
  if (!playbin_) return;
  GstElement* sink = nullptr;
  g_object_get(playbin_, "video-sink", &sink, nullptr);
  if (sink && GST_IS_VIDEO_OVERLAY(sink) && width > 0 && height > 0)
    gst_video_overlay_set_render_rectangle(GST_VIDEO_OVERLAY(sink), left, top, width, height);
  if (sink) gst_object_unref(sink);
}

SegmentPlayerState SegmentPlayer::state() const {
  std::lock_guard lock(mutex_);
  SegmentPlayerState s = state_;
  s.durationMs = timeline_.totalMs();
  s.lengthsKnown = lengthsKnown_ || (startedUs_ && monotonicUs() - startedUs_ > 2000000);
  return s;
}

double SegmentPlayer::positionMs() const {
  std::int64_t offset = 0;
  {
    std::lock_guard lock(mutex_);
    if (state_.ended) return static_cast<double>(timeline_.totalMs());
    if (!state_.started) return 0;
    offset = timeline_.offsetOf(state_.segment);
    if (holdMs_ >= 0) return static_cast<double>(offset + holdMs_);
  }
  gint64 pos = 0;
  if (!playbin_ || !gst_element_query_position(playbin_, GST_FORMAT_TIME, &pos) || pos < 0) pos = 0;
  const double value = static_cast<double>(offset) + static_cast<double>(pos) / kNsPerMs;
  std::lock_guard lock(mutex_);
  lastPositionMs_ = std::max(lastPositionMs_, value);
  return lastPositionMs_;
}

void SegmentPlayer::run() {
  // Lengths of every segment up front, so the timeline covers the whole list from the start.
  std::thread measure([this] {
    GstDiscoverer* discoverer = gst_discoverer_new(3 * GST_SECOND, nullptr);
    if (!discoverer) {
      std::lock_guard lock(mutex_);
      lengthsKnown_ = true;
      return;
    }
    for (std::size_t i = 0; !stopping_; ++i) {
      std::string url;
      {
        std::lock_guard lock(mutex_);
        if (i >= timeline_.size()) break;
        url = toUri(timeline_.at(i).url);
      }
      GstDiscovererInfo* info = gst_discoverer_discover_uri(discoverer, url.c_str(), nullptr);
      if (!info) continue;
      const GstClockTime d = gst_discoverer_info_get_duration(info);
      if (GST_CLOCK_TIME_IS_VALID(d)) {
        std::lock_guard lock(mutex_);
        timeline_.setMeasured(i, static_cast<std::int64_t>(d / kNsPerMs));
      }
      gst_discoverer_info_unref(info);
    }
    g_object_unref(discoverer);
    std::lock_guard lock(mutex_);
    lengthsKnown_ = true;
  });

  restartAt(0, 0);
  while (!stopping_) {
    if (GstMessage* msg = gst_bus_timed_pop(bus_, 50 * GST_MSECOND)) {
      handle(msg);
      gst_message_unref(msg);
    }
    std::deque<std::pair<Command, std::int64_t>> commands;
    {
      std::lock_guard lock(mutex_);
      commands.swap(commands_);
    }
    for (const auto& [command, value] : commands) {
      if (stopping_) break;
      if (command == Command::Seek) {
        std::pair<std::size_t, std::int64_t> at;
        {
          std::lock_guard lock(mutex_);
          at = timeline_.locate(value);
          state_.ended = false;
        }
        restartAt(at.first, at.second);
      } else {
        wantPlay_ = command == Command::Resume;
        applyState();
      }
    }
    sample();
  }
  measure.join();
}

void SegmentPlayer::restartAt(std::size_t index, std::int64_t localMs) {
  if (failed_) return;
  gst_element_set_state(playbin_, GST_STATE_READY);
  std::string uri;
  {
    std::lock_guard lock(mutex_);
    if (index >= timeline_.size()) return;
    starting_.assign(1, index);
    nextIndex_ = index + 1;
    state_.segment = index;
    holdMs_ = std::max<std::int64_t>(localMs, 0);
    lastPositionMs_ = static_cast<double>(timeline_.offsetOf(index) + holdMs_);
    uri = toUri(timeline_.at(index).url);
    state_.status = "connecting " + std::to_string(index + 1) + "/" + std::to_string(timeline_.size());
  }
  g_object_set(playbin_, "uri", uri.c_str(), nullptr);
  prerolled_ = false;
  pendingSeekNs_ = localMs > 0 ? localMs * kNsPerMs : -1;
  target_ = GST_STATE_PAUSED;
  gst_element_set_state(playbin_, GST_STATE_PAUSED);
}

void SegmentPlayer::applyState() {
  if (failed_) return;
  const GstState want = wantPlay_ && prerolled_ && !buffering_ && pendingSeekNs_ < 0
                            ? GST_STATE_PLAYING
                            : GST_STATE_PAUSED;
  if (want == target_) return;
  target_ = want;
  gst_element_set_state(playbin_, want);
}

void SegmentPlayer::handle(GstMessage* msg) {
  const bool fromPlaybin = GST_MESSAGE_SRC(msg) == GST_OBJECT(playbin_);
  switch (GST_MESSAGE_TYPE(msg)) {
    case GST_MESSAGE_ASYNC_DONE:
      if (pendingSeekNs_ >= 0) {
        gst_element_seek_simple(playbin_, GST_FORMAT_TIME,
                                GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                                pendingSeekNs_);
        pendingSeekNs_ = -1;
      } else {
        prerolled_ = true;
        std::lock_guard lock(mutex_);
        holdMs_ = -1;
      }
      applyState();
      break;
    case GST_MESSAGE_BUFFERING: {
      gint percent = 100;
      gst_message_parse_buffering(msg, &percent);
      buffering_ = percent < 100;
      {
        std::lock_guard lock(mutex_);
        state_.bufferPercent = percent;
        state_.buffering = buffering_ && state_.started;
        if (buffering_) state_.status = "buffering " + std::to_string(percent) + "%";
      }
      applyState();
      break;
    }
    case GST_MESSAGE_STATE_CHANGED: {
      if (!fromPlaybin) break;
      GstState oldState, newState;
      gst_message_parse_state_changed(msg, &oldState, &newState, nullptr);
      std::lock_guard lock(mutex_);
      if (newState == GST_STATE_PLAYING) {
        if (!state_.started) startedUs_ = monotonicUs();
        state_.started = true;
        state_.buffering = false;
        state_.status = "playing " + std::to_string(state_.segment + 1) + "/" +
                        std::to_string(timeline_.size());
      } else if (newState == GST_STATE_PAUSED && oldState == GST_STATE_PLAYING && !wantPlay_) {
        state_.status = "paused";
      }
      break;
    }
    case GST_MESSAGE_STREAM_START: {
      std::size_t index = 0;
      {
        std::lock_guard lock(mutex_);  // the segment itself moved on in syncHandler
        index = state_.segment;
        if (state_.started)
          state_.status = "playing " + std::to_string(index + 1) + "/" + std::to_string(timeline_.size());
      }
      if (OnSegmentStart) OnSegmentStart(index);
      break;
    }
    case GST_MESSAGE_EOS: {
      std::lock_guard lock(mutex_);
      state_.ended = true;
      state_.status = "ended";
      break;
    }
    case GST_MESSAGE_ERROR:
      fail(msg);
      break;
    default:
      break;
  }
}

void SegmentPlayer::fail(GstMessage* msg) {
  GError* error = nullptr;
  gst_message_parse_error(msg, &error, nullptr);
  std::string uri = uriOfSender(GST_MESSAGE_SRC(msg));
  bool retry = false;
  {
    // A stream error (a demuxer losing its data, seen now and then with FLV joins) gets one more
    // try per segment from where playback stood; a missing or unreadable address fails at once.
    std::lock_guard lock(mutex_);
    const std::size_t index = state_.segment;
    if (error && error->domain == GST_STREAM_ERROR && index < timeline_.size() &&
        retriedSegment_ != index) {
      retriedSegment_ = index;
      commands_.emplace_front(Command::Seek, static_cast<std::int64_t>(lastPositionMs_));
      retry = true;
    }
  }
  if (retry) {
    g_error_free(error);
    gst_element_set_state(playbin_, GST_STATE_NULL);  // an errored pipeline restarts from NULL
    target_ = GST_STATE_NULL;
    return;
  }
  {
    std::lock_guard lock(mutex_);
    if (uri.empty() && state_.segment < timeline_.size()) uri = timeline_.at(state_.segment).url;
    if (state_.error.empty())
      state_.error = "Cannot play " + uri + ": " + (error ? error->message : "unknown error");
    state_.status = "error";
  }
  if (error) g_error_free(error);
  failed_ = true;
  gst_element_set_state(playbin_, GST_STATE_NULL);
  target_ = GST_STATE_NULL;
}

// A playing pipeline whose position stops moving waits for data: the movie shows "Buffering"
// until it moves again. Stuck at the end of a segment whose successor never started (a join
// this GStreamer does not always make, seen with FLV), the next segment is started directly; at
// the end of the last one, that is the end of the movie.
void SegmentPlayer::watchForStall(std::int64_t nowUs) {
  gint64 pos = -1;
  const bool playing = target_ == GST_STATE_PLAYING && prerolled_ && !failed_;
  if (!playing || !gst_element_query_position(playbin_, GST_FORMAT_TIME, &pos)) {
    lastMoveUs_ = nowUs;
    return;
  }
  std::lock_guard lock(mutex_);
  if (!state_.started || state_.ended) {
    lastMoveUs_ = nowUs;
    return;
  }
  if (pos != lastPositionNs_) {
    lastPositionNs_ = pos;
    lastMoveUs_ = nowUs;
    if (stalled_) {
      stalled_ = false;
      state_.buffering = false;
      state_.status = "playing " + std::to_string(state_.segment + 1) + "/" + std::to_string(timeline_.size());
    }
    return;
  }
  const std::int64_t still = nowUs - lastMoveUs_;
  if (!stalled_ && still > 700000) {
    stalled_ = true;
    state_.buffering = true;
    state_.status = "buffering";
  }
  const std::size_t index = state_.segment;
  const std::int64_t length = timeline_.at(index).lengthMs();
  if (!stalled_ || still <= 1500000 || length <= 0 || pos / kNsPerMs < length - 300) return;
  lastMoveUs_ = nowUs;
  stalled_ = false;
  state_.buffering = false;
  if (index + 1 < timeline_.size()) {
    commands_.emplace_front(Command::Seek, timeline_.offsetOf(index + 1));
  } else {
    state_.ended = true;  // held at the end of the last segment: that is its end
    state_.status = "ended";
  }
}

void SegmentPlayer::sample() {
  const std::int64_t now = monotonicUs();
  watchForStall(now);
  if (now - lastSampleUs_ >= 1000000) {
    const std::uint64_t bytes = bytes_.load();
    const std::int64_t rate =
        lastSampleUs_ ? static_cast<std::int64_t>((bytes - lastBytes_) * 1000000 / (now - lastSampleUs_)) : 0;
    lastBytes_ = bytes;
    lastSampleUs_ = now;
    std::lock_guard lock(mutex_);
    state_.bytesPerSecond = rate;
  }
  {
    std::lock_guard lock(mutex_);
    if (state_.width > 0) return;
  }
  GstElement* sink = nullptr;
  g_object_get(playbin_, "video-sink", &sink, nullptr);
  if (!sink) return;
  if (GstPad* pad = gst_element_get_static_pad(sink, "sink")) {
    if (GstCaps* caps = gst_pad_get_current_caps(pad)) {
      const GstStructure* s = gst_caps_get_structure(caps, 0);
      gint w = 0, h = 0, parN = 1, parD = 1;
      if (gst_structure_get_int(s, "width", &w) && gst_structure_get_int(s, "height", &h)) {
        gst_structure_get_fraction(s, "pixel-aspect-ratio", &parN, &parD);
        std::lock_guard lock(mutex_);
        state_.width = parD > 0 ? static_cast<int>(static_cast<std::int64_t>(w) * parN / parD) : w;
        state_.height = h;
      }
      gst_caps_unref(caps);
    }
    gst_object_unref(pad);
  }
  gst_object_unref(sink);
}

void SegmentPlayer::aboutToFinish(GstElement* playbin, gpointer data) {
  auto* self = static_cast<SegmentPlayer*>(data);
  std::string uri;
  {
    std::lock_guard lock(self->mutex_);
    if (self->nextIndex_ >= self->timeline_.size()) return;
    uri = toUri(self->timeline_.at(self->nextIndex_).url);
    self->starting_.push_back(self->nextIndex_++);
  }
  g_object_set(playbin, "uri", uri.c_str(), nullptr);
}

void SegmentPlayer::sourceSetup(GstElement*, GstElement* source, gpointer data) {
  auto* self = static_cast<SegmentPlayer*>(data);
  GstPad* pad = gst_element_get_static_pad(source, "src");
  if (!pad) return;
  gst_pad_add_probe(
      pad, GST_PAD_PROBE_TYPE_BUFFER,
      [](GstPad*, GstPadProbeInfo* info, gpointer d) {
        if (GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info))
          static_cast<SegmentPlayer*>(d)->bytes_ += gst_buffer_get_size(buffer);
        return GST_PAD_PROBE_OK;
      },
      self, nullptr);
  gst_object_unref(pad);
}

// Runs on the thread that posts: a new stream counts from the moment it starts, before the bus
// thread sees the message, so positions never mix the old segment's offset with the new one.
GstBusSyncReply SegmentPlayer::syncHandler(GstBus*, GstMessage* msg, gpointer data) {
  auto* self = static_cast<SegmentPlayer*>(data);
  if (GST_MESSAGE_TYPE(msg) == GST_MESSAGE_STREAM_START &&
      GST_MESSAGE_SRC(msg) == GST_OBJECT(self->playbin_)) {
    std::lock_guard lock(self->mutex_);
    if (!self->starting_.empty()) {
      self->state_.segment = self->starting_.front();
      self->starting_.pop_front();
    }
    return GST_BUS_PASS;
  }
  if (!self->window_ || !gst_is_video_overlay_prepare_window_handle_message(msg)) return GST_BUS_PASS;
  gst_video_overlay_set_window_handle(GST_VIDEO_OVERLAY(GST_MESSAGE_SRC(msg)), self->window_);
  gst_message_unref(msg);
  return GST_BUS_DROP;
}

}  // namespace nivra::extras
