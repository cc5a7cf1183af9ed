// Segment joins in the movie runtime, in two benchmarks run through
// bench/segment_joins_vs_concat.py (which makes the media, serves it and times gst-launch-1.0
// concat over the same files):
//
// BM_SegmentJoins: the list in the file named by NIVRA_BENCH_LIST (one address a line) played
// by SegmentPlayer into synchronised fakesinks, every buffer timed as its sink renders it. A
// join's gap is the wall time between the last frame of one segment and the first frame of the
// next (a seamless join shows the frame interval, 40 ms; frame_step_max_ms is the longest step
// between two frames inside a segment, the jitter of the run); the sound's offset is the wall time
// between the first sound buffer and the first frame of a segment, for the first segment and for
// the last one, after all the joins (equal: no drift). Every gap also goes to stderr.
//
// BM_MovieListPlays: the list played NIVRA_BENCH_PLAYS times (default 200) through the movie's
// variable protocol, polled like the bridge does; counts the plays that reach "PlayEnd" with
// the whole list's duration (NIVRA_BENCH_TOTAL_MS), errors, hangs and buffering phases.

#include <benchmark/benchmark.h>
#include <gst/gst.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "extras/movie/movie_control.h"
#include "extras/movie/segment_player.h"
#include "player/links/utf16_text.h"

namespace {

using nivra::extras::MovieTimeline;
using nivra::extras::SegmentPlayer;

double wallMs() {
  return std::chrono::duration<double, std::milli>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

std::string listText(const char* variable) {
  const char* file = std::getenv(variable);
  if (!file) return {};
  std::ifstream in(file);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

int envNumber(const char* variable, int fallback) {
  const char* v = std::getenv(variable);
  return v ? std::atoi(v) : fallback;
}

// Render times of the buffers of every sink, by the order the sinks were made in (one sink of
// each kind per segment).
struct RenderLog {
  struct Sink {
    RenderLog* log;
    int segment;
    bool video;
  };
  std::mutex mutex;
  std::map<int, std::vector<double>> video, audio;  // segment -> wall times
  std::vector<std::unique_ptr<Sink>> sinks;
  int videoMade = 0, audioMade = 0;

  GstElement* make(bool isVideo) {
    GstElement* sink = gst_element_factory_make("fakesink", nullptr);
    g_object_set(sink, "sync", TRUE, "signal-handoffs", TRUE, nullptr);
    std::lock_guard lock(mutex);
    sinks.push_back(
        std::make_unique<Sink>(Sink{this, isVideo ? videoMade++ : audioMade++, isVideo}));
    g_signal_connect(sink, "handoff", G_CALLBACK(&RenderLog::onHandoff), sinks.back().get());
    return sink;
  }
  static void onHandoff(GstElement*, GstBuffer*, GstPad*, gpointer data) {
    const double now = wallMs();
    auto* sink = static_cast<Sink*>(data);
    std::lock_guard lock(sink->log->mutex);
    (sink->video ? sink->log->video : sink->log->audio)[sink->segment].push_back(now);
  }
};

void BM_SegmentJoins(benchmark::State& state) {
  const std::string list = listText("NIVRA_BENCH_LIST");
  const MovieTimeline timeline = MovieTimeline::fromList(list);
  if (timeline.size() < 2) {
    state.SkipWithError("NIVRA_BENCH_LIST names no list of two or more segments");
    return;
  }
  nivra::extras::ensureGStreamer();
  std::vector<double> gaps, steps, firstOffsets, lastOffsets;
  for (auto _ : state) {
    RenderLog log;
    {
      SegmentPlayer player(timeline,
                           {[&] { return log.make(false); }, [&] { return log.make(true); }, 0});
      const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
      while (!player.state().ended && player.state().error.empty() &&
             std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      if (!player.state().ended) {
        state.SkipWithError(("no end: " + player.state().error).c_str());
        return;
      }
    }
    const int segments = static_cast<int>(timeline.size());
    for (auto& [segment, times] : log.video)
      for (std::size_t i = 1; i < times.size(); ++i) steps.push_back(times[i] - times[i - 1]);
    double worst = 0;
    for (int k = 0; k + 1 < segments; ++k) {
      if (log.video[k].empty() || log.video[k + 1].empty()) {
        state.SkipWithError("a segment showed no frame");
        return;
      }
      const double gap = log.video[k + 1].front() - log.video[k].back();
      gaps.push_back(gap);
      worst = std::max(worst, gap);
    }
    if (!log.audio[0].empty() && !log.audio[segments - 1].empty()) {
      firstOffsets.push_back(log.audio[0].front() - log.video[0].front());
      lastOffsets.push_back(log.audio[segments - 1].front() - log.video[segments - 1].front());
    }
    state.SetIterationTime(worst / 1000.0);
  }
  auto mean = [](const std::vector<double>& v) {
    double sum = 0;
    for (double x : v) sum += x;
    return v.empty() ? 0.0 : sum / static_cast<double>(v.size());
  };
  std::cerr << "join_gaps_ms:";
  for (double gap : gaps) std::cerr << ' ' << gap;
  std::cerr << '\n';
  state.counters["joins"] = static_cast<double>(gaps.size());
  state.counters["join_gap_mean_ms"] = mean(gaps);
  state.counters["join_gap_max_ms"] = *std::max_element(gaps.begin(), gaps.end());
  if (!steps.empty())
    state.counters["frame_step_max_ms"] = *std::max_element(steps.begin(), steps.end());
  if (!lastOffsets.empty()) {
    state.counters["av_offset_first_ms"] = mean(firstOffsets);
    state.counters["av_offset_last_ms"] = mean(lastOffsets);
  }
}

BENCHMARK(BM_SegmentJoins)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

std::string get(nivra::extras::MovieControl& movie, const char* name) {
  return nivra::player::Utf16ToUtf8(movie.GetVariable(nivra::player::Utf8ToUtf16(name)));
}

void BM_MovieListPlays(benchmark::State& state) {
  const std::string list = listText("NIVRA_BENCH_LIST");
  const int plays = envNumber("NIVRA_BENCH_PLAYS", 200);
  const int totalMs = envNumber("NIVRA_BENCH_TOTAL_MS", 0);
  if (list.empty() || totalMs <= 0) {
    state.SkipWithError("NIVRA_BENCH_LIST and NIVRA_BENCH_TOTAL_MS name no list");
    return;
  }
  const auto movieFile = std::filesystem::temp_directory_path() / "nivra_bench_movie.swf";
  std::ofstream(movieFile) << "NVRMovie 1\n";
  int ended = 0, errors = 0, hangs = 0, wrongDuration = 0, buffering = 0;
  double worstMs = 0;
  for (auto _ : state) {
    for (int run = 0; run < plays; ++run) {
      nivra::extras::MovieControl movie;
      movie.LoadMovie(0, movieFile.string());
      movie.Play();
      movie.SetVariable(u"AddUrl", nivra::player::Utf8ToUtf16(list));
      const double start = wallMs();
      std::string outcome = "hang";
      bool sawBuffering = false;
      while (wallMs() - start < 20000) {
        if (const std::string error = get(movie, "ErrorStr"); !error.empty()) {
          outcome = "error: " + error;
          break;
        }
        const std::string phase = get(movie, "playstat");
        sawBuffering = sawBuffering || phase == "Buffering";
        if (phase == "PlayEnd") {
          outcome = "ended";
          break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      }
      worstMs = std::max(worstMs, wallMs() - start);
      const int duration = std::atoi(get(movie, "Duration").c_str());
      if (outcome == "ended") {
        ++ended;
        if (std::abs(duration - totalMs) > 150) ++wrongDuration;
      } else {
        (outcome == "hang" ? hangs : errors)++;
        std::cerr << "play " << run << ": " << outcome << " (" << get(movie, "statstr") << ")\n";
      }
      buffering += sawBuffering ? 1 : 0;
      movie.Stop();
    }
  }
  std::filesystem::remove(movieFile);
  state.counters["plays"] = plays;
  state.counters["ended"] = ended;
  state.counters["errors"] = errors;
  state.counters["hangs"] = hangs;
  state.counters["wrong_duration"] = wrongDuration;
  state.counters["buffering"] = buffering;
  state.counters["longest_play_ms"] = worstMs;
}

BENCHMARK(BM_MovieListPlays)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
