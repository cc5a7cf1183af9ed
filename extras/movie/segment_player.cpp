#include "extras/movie/segment_player.h"

#include <gst/pbutils/pbutils.h>
#include <gst/video/videooverlay.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "player/gst/gst_ptr.h"

namespace nivra::extras {
namespace {

using player::GstPtr;

constexpr std::int64_t kNsPerMs = 1000000;
constexpr const char* kLegEnded = "nivra-movie-leg-ended";
constexpr const char* kCommand = "nivra-movie-command";

std::int64_t monotonicUs() { return g_get_monotonic_time(); }

std::string toUri(const std::string& address) {
  if (gst_uri_is_valid(address.c_str())) return address;
  const GstPtr<gchar> uri(gst_filename_to_uri(address.c_str(), nullptr));
  return uri ? uri.get() : address;
}

bool hasProperty(gpointer object, const char* name) {
  return g_object_class_find_property(G_OBJECT_GET_CLASS(object), name) != nullptr;
}

GstElement* makeSink(const char* factory, bool sync) {
  GstElement* sink = gst_element_factory_make(factory, nullptr);
  if (sink && sync && hasProperty(sink, "sync")) g_object_set(sink, "sync", TRUE, nullptr);
  return sink;
}

// A window sink that cannot open its display (xvimagesink without an Xv adaptor) is none.
GstElement* makeWindowSink(const char* factory) {
  GstElement* sink = makeSink(factory, false);
  if (!sink || gst_element_set_state(sink, GST_STATE_READY) != GST_STATE_CHANGE_FAILURE)
    return sink;
  const GstPtr<GstElement> unusable(GST_ELEMENT(gst_object_ref_sink(sink)));
  gst_element_set_state(sink, GST_STATE_NULL);
  return nullptr;
}

GstElement* madeBy(const std::function<GstElement*()>& maker) { return maker ? maker() : nullptr; }

bool fakeSinksWanted() {
  const char* v = std::getenv("NIVRA_MOVIE_SINKS");
  return v && std::strcmp(v, "fake") == 0;
}

// The address of the uridecodebin (or source) that posted a message.
std::string uriOfSender(GstObject* sender) {
  for (GstObject* o = sender; o; o = GST_OBJECT_PARENT(o)) {
    if (!hasProperty(o, "uri")) continue;
    gchar* text = nullptr;
    g_object_get(o, "uri", &text, nullptr);
    const GstPtr<gchar> uri(text);
    if (uri && *uri) return uri.get();
  }
  return {};
}

// The serial of the leg whose pipeline posted a message, set as the message is posted: by the
// time the bus thread reads it, the sender may have left its pipeline (a failed source does).
GQuark legQuark() {
  static const GQuark quark = g_quark_from_static_string("nivra-movie-leg");
  return quark;
}

// The running time of a buffer's start and end at a pad, -1 when not known.
std::pair<std::int64_t, std::int64_t> runningSpan(GstPad* pad, GstBuffer* buffer) {
  const GstClockTime pts = GST_BUFFER_PTS(buffer);
  const GstPtr<GstEvent> event(gst_pad_get_sticky_event(pad, GST_EVENT_SEGMENT, 0));
  if (!event || !GST_CLOCK_TIME_IS_VALID(pts)) return {-1, -1};
  const GstSegment* segment = nullptr;
  gst_event_parse_segment(event.get(), &segment);
  const guint64 start = gst_segment_to_running_time(segment, GST_FORMAT_TIME, pts);
  const GstClockTime duration = GST_BUFFER_DURATION(buffer);
  guint64 end = GST_CLOCK_TIME_IS_VALID(duration)
                    ? gst_segment_to_running_time(segment, GST_FORMAT_TIME, pts + duration)
                    : start;
  if (!GST_CLOCK_TIME_IS_VALID(start)) return {-1, -1};
  if (!GST_CLOCK_TIME_IS_VALID(end)) end = start;
  return {static_cast<std::int64_t>(start), static_cast<std::int64_t>(end)};
}

}  // namespace

// One segment's pipeline. The sink probes run on streaming threads and only touch the atomics.
struct SegmentPlayer::Leg {
  struct Stream {
    std::atomic<std::int64_t> firstNs{-1};  // running time of the first buffer (the preroll)
    std::atomic<std::int64_t> endNs{-1};    // running time of the end of the latest buffer
  };
  SegmentPlayer* owner = nullptr;
  std::size_t serial = 0;
  std::size_t index = 0;
  GstElement* pipeline = nullptr;
  GstElement* videoSink = nullptr;
  GstState target = GST_STATE_VOID_PENDING;
  bool prerolled = false;
  bool playing = false;    // reached playing
  bool scheduled = false;  // started ahead of time, to follow the segment before on the clock
  std::int64_t pendingSeekNs = -1;
  Stream video, audio;

  bool hasVideo() const {
    gint n = 0;
    g_object_get(pipeline, "n-video", &n, nullptr);
    return n > 0;
  }
  const Stream& lead() const { return hasVideo() ? video : audio; }

  void watch(GstElement* sink, bool isVideo) {
    const GstPtr<GstPad> pad(gst_element_get_static_pad(sink, "sink"));
    if (!pad) return;
    gst_pad_add_probe(
        pad.get(), GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
        isVideo ? &Leg::videoProbe : &Leg::audioProbe, this, nullptr);
  }
  static GstPadProbeReturn videoProbe(GstPad* pad, GstPadProbeInfo* info, gpointer leg) {
    return static_cast<Leg*>(leg)->probe(pad, info, true);
  }
  static GstPadProbeReturn audioProbe(GstPad* pad, GstPadProbeInfo* info, gpointer leg) {
    return static_cast<Leg*>(leg)->probe(pad, info, false);
  }
  // A stream's last buffer has gone to its sink when its EOS arrives there: the bus thread
  // then starts the next segment to follow that buffer's end.
  GstPadProbeReturn probe(GstPad* pad, GstPadProbeInfo* info, bool isVideo) {
    Stream& s = isVideo ? video : audio;
    if (info->type & GST_PAD_PROBE_TYPE_BUFFER) {
      const auto [start, end] = runningSpan(pad, GST_PAD_PROBE_INFO_BUFFER(info));
      if (start >= 0 && s.firstNs.load() < 0) s.firstNs = start;
      if (end >= 0) s.endNs = std::max(s.endNs.load(), end);
    } else if (GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
               event && GST_EVENT_TYPE(event) == GST_EVENT_EOS) {
      GstMessage* note = gst_message_new_application(
          GST_OBJECT(pipeline),
          gst_structure_new(kLegEnded, "video", G_TYPE_BOOLEAN, isVideo, nullptr));
      gst_mini_object_set_qdata(GST_MINI_OBJECT(note), legQuark(), GSIZE_TO_POINTER(serial),
                                nullptr);
      gst_bus_post(owner->bus_, note);
    }
    return GST_PAD_PROBE_OK;
  }
};

bool ensureGStreamer() {
  static const bool ok = [] {
    GError* error = nullptr;
    const bool done = gst_init_check(nullptr, nullptr, &error);
    const GstPtr<GError> ignored(error);
    return done;
  }();
  return ok;
}

SegmentPlayer::SegmentPlayer(MovieTimeline timeline, SegmentPlayerSinks sinks)
    : sinks_(std::move(sinks)), fakeSinks_(fakeSinksWanted()), timeline_(std::move(timeline)) {
  if (!ensureGStreamer()) {
    state_.error = "The media framework cannot start";
    return;
  }
  if (!GstPtr<GstElementFactory>(gst_element_factory_find("playbin"))) {
    state_.error = "The media framework has no playbin";
    return;
  }
  bus_ = gst_bus_new();
  clock_ = gst_system_clock_obtain();
  lengthsKnown_ = true;
  for (std::size_t i = 0; i < timeline_.size(); ++i)
    lengthsKnown_ = lengthsKnown_ && timeline_.at(i).hintMs > 0;
  if (timeline_.empty())
    state_.error = "The movie got no address to play";
  else
    thread_ = std::thread([this] { run(); });
}

SegmentPlayer::~SegmentPlayer() {
  stopping_ = true;
  if (thread_.joinable()) {
    post(Command::Pause);  // wakes the bus thread
    thread_.join();
  }
  closeLeg(outgoing_);
  closeLeg(current_);
  closeLeg(next_);
  shown_.reset();
  // The bus and the clock go last: the legs' probes and sync handlers use them until closed.
  if (bus_) gst_object_unref(bus_);
  if (clock_) gst_object_unref(clock_);
}

void SegmentPlayer::post(Command c, std::int64_t value) {
  {
    std::lock_guard lock(mutex_);
    commands_.emplace_back(c, value);
  }
  if (bus_)
    gst_bus_post(bus_, gst_message_new_application(nullptr, gst_structure_new_empty(kCommand)));
}

void SegmentPlayer::pause() { post(Command::Pause); }
void SegmentPlayer::resume() { post(Command::Resume); }
void SegmentPlayer::seek(std::int64_t ms) { post(Command::Seek, ms); }

void SegmentPlayer::setVolume(int level) {
  {
    std::lock_guard lock(mutex_);
    volume_ = std::clamp(level, 0, 100);
  }
  post(Command::Apply);
}

void SegmentPlayer::setRenderRectangle(int left, int top, int width, int height) {
  if (width <= 0 || height <= 0) return;
  {
    std::lock_guard lock(mutex_);
    rect_[0] = left;
    rect_[1] = top;
    rect_[2] = width;
    rect_[3] = height;
  }
  post(Command::Apply);
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
  GstPtr<GstElement> pipeline;
  {
    std::lock_guard lock(mutex_);
    if (state_.ended) return static_cast<double>(timeline_.totalMs());
    if (!state_.started) return 0;
    offset = timeline_.offsetOf(state_.segment);
    if (holdMs_ >= 0) return static_cast<double>(offset + holdMs_);
    if (shown_) pipeline.reset(GST_ELEMENT(gst_object_ref(shown_.get())));
  }
  gint64 pos = 0;
  if (!pipeline || !gst_element_query_position(pipeline.get(), GST_FORMAT_TIME, &pos) || pos < 0)
    pos = 0;
  const double value = static_cast<double>(offset) + static_cast<double>(pos) / kNsPerMs;
  std::lock_guard lock(mutex_);
  lastPositionMs_ = std::max(lastPositionMs_, value);
  return lastPositionMs_;
}

// Lengths of every segment up front, so the timeline covers the whole list from the start.
void SegmentPlayer::measureLengths() {
  GstDiscoverer* discoverer = gst_discoverer_new(3 * GST_SECOND, nullptr);
  for (std::size_t i = 0; discoverer && !stopping_; ++i) {
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
  if (discoverer) g_object_unref(discoverer);
  std::lock_guard lock(mutex_);
  lengthsKnown_ = true;
}

void SegmentPlayer::run() {
  measure_ = std::thread([this] { measureLengths(); });
  restartAt(0, 0);
  while (!stopping_) {
    if (const GstPtr<GstMessage> msg{gst_bus_timed_pop(bus_, 50 * GST_MSECOND)}) handle(msg.get());
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
      } else if (command == Command::Apply) {
        for (Leg* leg : {current_.get(), next_.get(), outgoing_.get()})
          if (leg) applyLook(*leg);
      } else {
        wantPlay_ = command == Command::Resume;
        if (!wantPlay_) closeLeg(outgoing_);
        // Started to follow the segment before but not yet on screen: it starts over, paused.
        if (!wantPlay_ && current_ && current_->scheduled && !failed_) {
          const GstClockTime base = gst_element_get_base_time(current_->pipeline);
          if (gst_clock_get_time(clock_) <
              base + std::max<std::int64_t>(current_->lead().firstNs, 0)) {
            restartAt(current_->index, 0);
            continue;
          }
          gst_element_set_start_time(current_->pipeline, 0);  // pausing records its running time
        }
        applyState();
      }
    }
    sample();
  }
  measure_.join();
}

std::unique_ptr<SegmentPlayer::Leg> SegmentPlayer::openLeg(std::size_t index, bool showFirstFrame) {
  auto leg = std::make_unique<Leg>();
  leg->owner = this;
  leg->serial = ++legSerial_;
  leg->index = index;
  leg->pipeline = gst_element_factory_make("playbin", nullptr);
  if (!leg->pipeline) return nullptr;
  gst_object_ref_sink(leg->pipeline);
  GstElement* audio = madeBy(sinks_.audio);
  if (!audio && !fakeSinks_) audio = makeSink("autoaudiosink", false);
  if (!audio) audio = makeSink("fakesink", true);
  GstElement* video = madeBy(sinks_.video);
  if (!video && !fakeSinks_ && sinks_.window) video = makeWindowSink("xvimagesink");
  if (!video && !fakeSinks_ && sinks_.window) video = makeWindowSink("ximagesink");
  if (!video) video = makeSink("fakesink", true);
  leg->videoSink = video;
  // A prerolled next segment must not draw its first frame over the one that still plays.
  if (!showFirstFrame && hasProperty(video, "show-preroll-frame"))
    g_object_set(video, "show-preroll-frame", FALSE, nullptr);
  leg->watch(audio, false);
  leg->watch(video, true);
  std::string uri;
  {
    std::lock_guard lock(mutex_);
    uri = toUri(timeline_.at(index).url);
  }
  g_object_set(leg->pipeline, "audio-sink", audio, "video-sink", video, "uri", uri.c_str(),
               nullptr);
  g_signal_connect(leg->pipeline, "source-setup",
                   G_CALLBACK(+[](GstElement*, GstElement* source, gpointer data) {
                     const GstPtr<GstPad> pad(gst_element_get_static_pad(source, "src"));
                     if (!pad) return;
                     gst_pad_add_probe(
                         pad.get(), GST_PAD_PROBE_TYPE_BUFFER,
                         [](GstPad*, GstPadProbeInfo* info, gpointer d) {
                           if (GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info))
                             static_cast<SegmentPlayer*>(d)->bytes_ += gst_buffer_get_size(buffer);
                           return GST_PAD_PROBE_OK;
                         },
                         data, nullptr);
                   }),
                   this);
  // Every segment runs on the one clock, so a segment can be started to follow another.
  gst_pipeline_use_clock(GST_PIPELINE(leg->pipeline), clock_);
  gst_bus_set_sync_handler(GstPtr<GstBus>(gst_element_get_bus(leg->pipeline)).get(),
                           &SegmentPlayer::legSyncHandler, leg.get(), nullptr);
  applyLook(*leg);
  leg->target = GST_STATE_PAUSED;
  gst_element_set_state(leg->pipeline, GST_STATE_PAUSED);
  return leg;
}

void SegmentPlayer::closeLeg(std::unique_ptr<Leg>& leg) {
  if (!leg) return;
  // In this order: the stopped pipeline posts nothing more, then its bus forgets the leg, then
  // the pipeline goes.
  gst_element_set_state(leg->pipeline, GST_STATE_NULL);
  gst_bus_set_sync_handler(GstPtr<GstBus>(gst_element_get_bus(leg->pipeline)).get(), nullptr,
                           nullptr, nullptr);
  gst_object_unref(leg->pipeline);
  leg.reset();
}

void SegmentPlayer::applyLook(Leg& leg) {
  int volume = 100;
  int rect[4];
  {
    std::lock_guard lock(mutex_);
    volume = volume_;
    std::copy(std::begin(rect_), std::end(rect_), rect);
  }
  g_object_set(leg.pipeline, "volume", volume / 100.0, nullptr);
  if (GST_IS_VIDEO_OVERLAY(leg.videoSink) && rect[2] > 0 && rect[3] > 0)
    gst_video_overlay_set_render_rectangle(GST_VIDEO_OVERLAY(leg.videoSink), rect[0], rect[1],
                                           rect[2], rect[3]);
}

void SegmentPlayer::restartAt(std::size_t index, std::int64_t localMs) {
  if (failed_) return;
  closeLeg(outgoing_);
  closeLeg(current_);
  closeLeg(next_);
  joinWaiting_ = false;
  {
    std::lock_guard lock(mutex_);
    if (index >= timeline_.size()) return;
    state_.segment = index;
    holdMs_ = std::max<std::int64_t>(localMs, 0);
    lastPositionMs_ = static_cast<double>(timeline_.offsetOf(index) + holdMs_);
    state_.status =
        "connecting " + std::to_string(index + 1) + "/" + std::to_string(timeline_.size());
  }
  auto leg = openLeg(index, true);
  if (!leg) {
    std::lock_guard lock(mutex_);
    state_.error = "The media framework has no playbin";
    failed_ = true;
    return;
  }
  leg->pendingSeekNs = localMs > 0 ? localMs * kNsPerMs : -1;
  makeCurrent(std::move(leg));
}

void SegmentPlayer::makeCurrent(std::unique_ptr<Leg> leg) {
  current_ = std::move(leg);
  {
    std::lock_guard lock(mutex_);
    shown_.reset(GST_ELEMENT(gst_object_ref(current_->pipeline)));
    state_.segment = current_->index;
    if (state_.started)
      state_.status =
          "playing " + std::to_string(current_->index + 1) + "/" + std::to_string(timeline_.size());
  }
  lastPositionNs_ = -1;
  applyState();
}

// The segment after the current one opens in its own pipeline once the current one plays.
void SegmentPlayer::prepareNext() {
  if (next_ || failed_ || !current_) return;
  {
    std::lock_guard lock(mutex_);
    if (current_->index + 1 >= timeline_.size()) return;
  }
  next_ = openLeg(current_->index + 1, false);
}

// The current segment's picture (or sound, without a picture) has had its last buffer: the next
// segment takes over. `scheduled`: the current one still shows that buffer, and the next one is
// started on the clock to begin exactly where the current one ends; otherwise it starts now.
void SegmentPlayer::join(bool scheduled) {
  if (!next_ || failed_) return;
  if (!next_->prerolled) {
    joinWaiting_ = true;
    return;
  }
  joinWaiting_ = false;
  if (scheduled && wantPlay_ && current_ && current_->playing) {
    const std::int64_t end = current_->lead().endNs;
    const std::int64_t first = std::max<std::int64_t>(next_->lead().firstNs, 0);
    if (end >= 0) {
      const GstClockTime now = gst_clock_get_time(clock_);
      GstClockTime base = gst_element_get_base_time(current_->pipeline) + end - first;
      if (base + first < now) base = now - first;
      gst_element_set_start_time(next_->pipeline, GST_CLOCK_TIME_NONE);
      gst_element_set_base_time(next_->pipeline, base);
      next_->scheduled = true;
    }
  }
  std::unique_ptr<Leg> previous = std::move(outgoing_);
  outgoing_ = std::move(current_);
  makeCurrent(std::move(next_));
  closeLeg(previous);  // after the start: closing a pipeline may take a while
  if (OnSegmentStart) OnSegmentStart(current_->index);
}

void SegmentPlayer::applyState() {
  if (failed_ || !current_) return;
  const GstState want = wantPlay_ && current_->prerolled && current_->pendingSeekNs < 0
                            ? GST_STATE_PLAYING
                            : GST_STATE_PAUSED;
  target_ = want;
  if (want == current_->target) return;
  current_->target = want;
  gst_element_set_state(current_->pipeline, want);
}

SegmentPlayer::Leg* SegmentPlayer::legOf(GstMessage* msg) {
  const auto serial = GPOINTER_TO_SIZE(gst_mini_object_get_qdata(GST_MINI_OBJECT(msg), legQuark()));
  for (Leg* leg : {current_.get(), next_.get(), outgoing_.get()})
    if (leg && serial == leg->serial) return leg;
  return nullptr;
}

void SegmentPlayer::leadEnded(Leg& leg) {
  if (&leg == current_.get()) join(true);
}

void SegmentPlayer::handle(GstMessage* msg) {
  Leg* leg = legOf(msg);
  if (!leg) return;  // the player's own wake-up, or a leg closed since
  const bool fromPipeline = GST_MESSAGE_SRC(msg) == GST_OBJECT(leg->pipeline);
  switch (GST_MESSAGE_TYPE(msg)) {
    case GST_MESSAGE_APPLICATION: {
      const GstStructure* s = gst_message_get_structure(msg);
      gboolean video = FALSE;
      if (!gst_structure_has_name(s, kLegEnded)) break;
      gst_structure_get_boolean(s, "video", &video);
      if (video || !leg->hasVideo()) leadEnded(*leg);
      break;
    }
    case GST_MESSAGE_ASYNC_DONE:
      if (leg->pendingSeekNs >= 0) {
        gst_element_seek_simple(leg->pipeline, GST_FORMAT_TIME,
                                GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                                leg->pendingSeekNs);
        leg->pendingSeekNs = -1;
        leg->video.firstNs = -1;
        leg->audio.firstNs = -1;
        break;
      }
      leg->prerolled = true;
      if (leg == current_.get()) {
        {
          std::lock_guard lock(mutex_);
          holdMs_ = -1;
        }
        applyState();
      } else if (leg == next_.get() && joinWaiting_) {
        join(false);
      }
      break;
    case GST_MESSAGE_STATE_CHANGED: {
      if (!fromPipeline || leg != current_.get()) break;
      GstState oldState, newState;
      gst_message_parse_state_changed(msg, &oldState, &newState, nullptr);
      if (newState == GST_STATE_PLAYING) {
        if (!leg->playing && hasProperty(leg->videoSink, "show-preroll-frame"))
          g_object_set(leg->videoSink, "show-preroll-frame", TRUE, nullptr);
        leg->playing = true;
        {
          std::lock_guard lock(mutex_);
          if (!state_.started) startedUs_ = monotonicUs();
          if (!state_.started && OnSegmentStart) OnSegmentStart(leg->index);
          state_.started = true;
          state_.buffering = false;
          state_.status = "playing " + std::to_string(state_.segment + 1) + "/" +
                          std::to_string(timeline_.size());
        }
        prepareNext();
      } else if (newState == GST_STATE_PAUSED && oldState == GST_STATE_PLAYING && !wantPlay_) {
        std::lock_guard lock(mutex_);
        state_.status = "paused";
      }
      break;
    }
    case GST_MESSAGE_EOS:
      if (leg == outgoing_.get()) {
        closeLeg(outgoing_);
      } else if (leg == current_.get() && next_) {
        join(false);  // ended without its last buffer being seen: the next one starts now
      } else if (leg == current_.get()) {
        std::lock_guard lock(mutex_);
        state_.ended = true;
        state_.status = "ended";
      }
      break;
    case GST_MESSAGE_ERROR:
      if (leg != outgoing_.get()) fail(msg);
      break;
    default:
      break;
  }
}

// A segment that cannot be played (missing, unreadable, cut off) stops the movie with an error
// naming its address.
void SegmentPlayer::fail(GstMessage* msg) {
  GError* parsed = nullptr;
  gst_message_parse_error(msg, &parsed, nullptr);
  const GstPtr<GError> error(parsed);
  std::string uri = uriOfSender(GST_MESSAGE_SRC(msg));
  {
    std::lock_guard lock(mutex_);
    if (uri.empty() && state_.segment < timeline_.size()) uri = timeline_.at(state_.segment).url;
    if (state_.error.empty())
      state_.error = "Cannot play " + uri + ": " + (error ? error->message : "unknown error");
    state_.status = "error";
  }
  failed_ = true;
  for (Leg* leg : {current_.get(), next_.get(), outgoing_.get()})
    if (leg) gst_element_set_state(leg->pipeline, GST_STATE_NULL);
  target_ = GST_STATE_NULL;
}

// A playing pipeline whose position stops moving waits for data: the movie shows "Buffering"
// until it moves again.
void SegmentPlayer::watchForStall(std::int64_t nowUs) {
  gint64 pos = -1;
  const bool playing = current_ && target_ == GST_STATE_PLAYING && current_->prerolled && !failed_;
  if (!playing || !gst_element_query_position(current_->pipeline, GST_FORMAT_TIME, &pos)) {
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
      state_.status =
          "playing " + std::to_string(state_.segment + 1) + "/" + std::to_string(timeline_.size());
    }
    return;
  }
  if (!stalled_ && nowUs - lastMoveUs_ > 700000) {
    stalled_ = true;
    state_.buffering = true;
    state_.status = "buffering";
  }
}

void SegmentPlayer::sample() {
  const std::int64_t now = monotonicUs();
  watchForStall(now);
  if (now - lastSampleUs_ >= 1000000) {
    const std::uint64_t bytes = bytes_.load();
    const std::int64_t rate =
        lastSampleUs_
            ? static_cast<std::int64_t>((bytes - lastBytes_) * 1000000 / (now - lastSampleUs_))
            : 0;
    lastBytes_ = bytes;
    lastSampleUs_ = now;
    std::lock_guard lock(mutex_);
    state_.bytesPerSecond = rate;
  }
  {
    std::lock_guard lock(mutex_);
    if (state_.width > 0 || !current_) return;
  }
  if (const GstPtr<GstPad> pad{gst_element_get_static_pad(current_->videoSink, "sink")}) {
    if (const GstPtr<GstCaps> caps{gst_pad_get_current_caps(pad.get())}) {
      const GstStructure* s = gst_caps_get_structure(caps.get(), 0);
      gint w = 0, h = 0, parN = 1, parD = 1;
      if (gst_structure_get_int(s, "width", &w) && gst_structure_get_int(s, "height", &h)) {
        gst_structure_get_fraction(s, "pixel-aspect-ratio", &parN, &parD);
        std::lock_guard lock(mutex_);
        state_.width = parD > 0 ? static_cast<int>(static_cast<std::int64_t>(w) * parN / parD) : w;
        state_.height = h;
      }
    }
  }
}

// Runs on the thread that posts: the window goes to the picture's sink; everything else is
// handed to the bus thread.
GstBusSyncReply SegmentPlayer::legSyncHandler(GstBus*, GstMessage* msg, gpointer data) {
  const GstPtr<GstMessage> dropped(msg);  // a sync handler that drops a message releases it
  auto* leg = static_cast<Leg*>(data);
  SegmentPlayer* self = leg->owner;
  if (self->sinks_.window && gst_is_video_overlay_prepare_window_handle_message(msg)) {
    gst_video_overlay_set_window_handle(GST_VIDEO_OVERLAY(GST_MESSAGE_SRC(msg)),
                                        self->sinks_.window);
  } else {
    gst_mini_object_set_qdata(GST_MINI_OBJECT(msg), legQuark(), GSIZE_TO_POINTER(leg->serial),
                              nullptr);
    gst_bus_post(self->bus_, gst_message_ref(msg));
  }
  return GST_BUS_DROP;
}

}  // namespace nivra::extras
