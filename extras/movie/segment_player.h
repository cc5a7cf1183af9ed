#pragma once
// Plays a MovieTimeline back to back through GStreamer: one playbin3 whose next URL is queued
// when the current one is about to finish (gapless), so the segments join into one timeline.
// All pipeline control runs on the player's own bus thread; the public members only queue
// commands or read a snapshot, and may be called from any thread.

#include <gst/gst.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "extras/movie/movie_timeline.h"

namespace nivra::extras {

// The sinks of a player. Null members get the defaults: for audio "autoaudiosink", for video an
// overlay sink when a window is given, else a synchronised fakesink. NIVRA_MOVIE_SINKS=fake
// makes both defaults synchronised fakesinks (headless runs and tests).
struct SegmentPlayerSinks {
  GstElement* audio = nullptr;  // floating reference, taken over
  GstElement* video = nullptr;  // floating reference, taken over
  std::uintptr_t window = 0;    // X11 window for the picture
};

struct SegmentPlayerState {
  bool started = false;    // reached playing once
  bool buffering = false;  // waiting for data after it had started
  bool ended = false;      // the last segment finished
  int bufferPercent = 100;
  std::string error;       // non-empty once a URL failed
  std::string status;      // free text for diagnostics
  int width = 0;           // picture size, 0 until known
  int height = 0;
  std::int64_t durationMs = 0;  // of the whole timeline, as far as known
  bool lengthsKnown = false;    // every segment has a length (or 2 s of playing have passed)
  std::int64_t bytesPerSecond = 0;
  std::size_t segment = 0;      // the segment that plays
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

  // Called on a streaming thread whenever a segment starts to play (index), for measurements.
  std::function<void(std::size_t)> OnSegmentStart;

 private:
  enum class Command { Pause, Resume, Seek };
  void run();
  void restartAt(std::size_t index, std::int64_t localMs);
  void handle(GstMessage* msg);
  void applyState();
  void sample();
  void watchForStall(std::int64_t nowUs);
  void fail(GstMessage* msg);
  void post(Command c, std::int64_t value = 0);
  static void aboutToFinish(GstElement* playbin, gpointer self);
  static void sourceSetup(GstElement* playbin, GstElement* source, gpointer self);
  static GstBusSyncReply syncHandler(GstBus* bus, GstMessage* msg, gpointer self);

  GstElement* playbin_ = nullptr;
  GstBus* bus_ = nullptr;
  std::uintptr_t window_ = 0;

  // Guards the fields below; never held while calling into GStreamer state changes.
  mutable std::mutex mutex_;
  MovieTimeline timeline_;
  SegmentPlayerState state_;
  std::deque<std::size_t> starting_;  // segments queued to play, in order
  std::size_t nextIndex_ = 1;         // the segment to queue next
  std::int64_t holdMs_ = -1;          // while a restart prerolls: its position in the segment
  mutable double lastPositionMs_ = 0; // positions never run backwards between two restarts
  std::deque<std::pair<Command, std::int64_t>> commands_;

  // Bus-thread state.
  bool wantPlay_ = true;
  bool prerolled_ = false;
  bool buffering_ = false;
  bool failed_ = false;  // a URL failed: the pipeline stays down
  // The segment already given its one second chance after a stream error.
  std::size_t retriedSegment_ = static_cast<std::size_t>(-1);
  bool lengthsKnown_ = false;
  std::int64_t startedUs_ = 0;
  std::int64_t pendingSeekNs_ = -1;
  std::int64_t lastPositionNs_ = -1;  // stall detection: the position and when it last moved
  std::int64_t lastMoveUs_ = 0;
  bool stalled_ = false;
  GstState target_ = GST_STATE_VOID_PENDING;
  std::atomic<std::uint64_t> bytes_{0};
  std::uint64_t lastBytes_ = 0;
  std::int64_t lastSampleUs_ = 0;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

// Initialises GStreamer once per process; false when it cannot be.
bool ensureGStreamer();

}  // namespace nivra::extras
