#pragma once
// Plays a MovieTimeline back to back through GStreamer, one pipeline per segment: while a segment
// plays, the next one is opened and prerolled in its own pipeline, and when the current picture
// reaches its end the next pipeline is started on the same clock so that its first frame follows
// the last one at the frame interval. Every segment keeps its own sound and picture in step, so
// joins neither stall the picture nor let the sound drift. All pipeline control runs on the
// player's own bus thread; the public members only queue commands or read a snapshot, and may be
// called from any thread.

#include <gst/gst.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "extras/movie/movie_timeline.h"
#include "player/gst/gst_ptr.h"

namespace nivra::extras {

// The sinks of a player, made afresh for each segment's pipeline. Empty makers (or makers that
// return null) get the defaults: for audio "autoaudiosink", for video an overlay sink when a
// window is given, else a synchronised fakesink. NIVRA_MOVIE_SINKS=fake makes both defaults
// synchronised fakesinks (headless runs and tests).
struct SegmentPlayerSinks {
  std::function<GstElement*()> audio;  // returns a floating reference
  std::function<GstElement*()> video;  // returns a floating reference
  std::uintptr_t window = 0;           // X11 window for the picture
};

struct SegmentPlayerState {
  bool started = false;    // reached playing once
  bool buffering = false;  // waiting for data after it had started
  bool ended = false;      // the last segment finished
  int bufferPercent = 100;
  std::string error;   // non-empty once a URL failed
  std::string status;  // free text for diagnostics
  int width = 0;       // picture size, 0 until known
  int height = 0;
  std::int64_t durationMs = 0;  // of the whole timeline, as far as known
  bool lengthsKnown = false;    // every segment has a length (or 2 s of playing have passed)
  std::int64_t bytesPerSecond = 0;
  std::size_t segment = 0;  // the segment that plays
};

class SegmentPlayer {
 public:
  SegmentPlayer(MovieTimeline timeline, SegmentPlayerSinks sinks);
  ~SegmentPlayer();
  SegmentPlayer(const SegmentPlayer&) = delete;
  SegmentPlayer& operator=(const SegmentPlayer&) = delete;

  void pause();
  void resume();
  // Timeline position in ms.
  void seek(std::int64_t ms);
  // 0..100.
  void setVolume(int level);
  void setRenderRectangle(int left, int top, int width, int height);

  SegmentPlayerState state() const;
  // Timeline position in ms (with a fraction); 0 before anything plays.
  double positionMs() const;

  // Called on the bus thread whenever a segment starts to play (index), for measurements.
  std::function<void(std::size_t)> OnSegmentStart;

 private:
  struct Leg;
  enum class Command { Pause, Resume, Seek, Apply };
  void run();
  void measureLengths();
  void restartAt(std::size_t index, std::int64_t localMs);
  std::unique_ptr<Leg> openLeg(std::size_t index, bool showFirstFrame);
  void closeLeg(std::unique_ptr<Leg>& leg);
  void prepareNext();
  void join(bool scheduled);
  void makeCurrent(std::unique_ptr<Leg> leg);
  Leg* legOf(GstMessage* msg);
  void handle(GstMessage* msg);
  void leadEnded(Leg& leg);
  void applyState();
  void applyLook(Leg& leg);
  void sample();
  void watchForStall(std::int64_t nowUs);
  void fail(GstMessage* msg);
  void post(Command c, std::int64_t value = 0);
  static GstBusSyncReply legSyncHandler(GstBus* bus, GstMessage* msg, gpointer self);

  SegmentPlayerSinks sinks_;
  bool fakeSinks_ = false;
  GstBus* bus_ = nullptr;  // every leg's messages, and the player's own
  GstClock* clock_ = nullptr;

  // Guards the fields below; never held while calling into GStreamer state changes.
  mutable std::mutex mutex_;
  MovieTimeline timeline_;
  SegmentPlayerState state_;
  player::GstPtr<GstElement> shown_;   // the current leg's pipeline (a reference), for positions
  std::int64_t holdMs_ = -1;           // while a restart prerolls: its position in the segment
  mutable double lastPositionMs_ = 0;  // positions never run backwards between two restarts
  std::deque<std::pair<Command, std::int64_t>> commands_;
  int volume_ = 100;
  int rect_[4] = {0, 0, 0, 0};

  // Bus-thread state.
  std::unique_ptr<Leg> current_;   // the segment on screen
  std::unique_ptr<Leg> next_;      // the following segment, prerolling or prerolled
  std::unique_ptr<Leg> outgoing_;  // the segment before, showing its last frame after a join
  std::size_t legSerial_ = 0;
  bool wantPlay_ = true;
  bool joinWaiting_ = false;  // the current segment ended before the next was prerolled
  bool failed_ = false;       // a URL failed: the pipelines stay down
  bool lengthsKnown_ = false;
  std::int64_t startedUs_ = 0;
  std::int64_t lastPositionNs_ = -1;  // stall detection: the position and when it last moved
  std::int64_t lastMoveUs_ = 0;
  bool stalled_ = false;
  GstState target_ = GST_STATE_VOID_PENDING;
  std::atomic<std::uint64_t> bytes_{0};
  std::uint64_t lastBytes_ = 0;
  std::int64_t lastSampleUs_ = 0;
  std::atomic<bool> stopping_{false};
  std::thread measure_;
  std::thread thread_;
};

// Initialises GStreamer once per process; false when it cannot be.
bool ensureGStreamer();

}  // namespace nivra::extras
