// Segment joins in the movie runtime: three segments played back to back by SegmentPlayer, and
// the wall-clock gap between the last frame of one segment and the first frame of the next as
// the video sink renders them (the frame interval itself is 40 ms). The segments come from the
// folder named by NIVRA_BENCH_SEGMENTS (X_1.mp4, X_2.mp4, X_3.mp4); run through
// bench/segment_joins_vs_concat.py, which makes them and times gst-launch-1.0 concat over them.

#include <benchmark/benchmark.h>
#include <gst/gst.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>

#include "extras/movie/segment_player.h"

namespace {

using nivra::extras::MovieTimeline;
using nivra::extras::SegmentPlayer;

struct Frame {
  double wallMs;
  std::uint64_t pts;
};

struct FrameLog {
  std::mutex mutex;
  std::vector<Frame> frames;
};

void onHandoff(GstElement*, GstBuffer* buffer, GstPad*, gpointer data) {
  auto* log = static_cast<FrameLog*>(data);
  const double now = std::chrono::duration<double, std::milli>(
                         std::chrono::steady_clock::now().time_since_epoch())
                         .count();
  std::lock_guard lock(log->mutex);
  log->frames.push_back({now, GST_BUFFER_PTS(buffer)});
}

// Gaps (ms) at the joins: a frame whose timestamp is below its predecessor's starts a segment.
std::vector<double> joinGaps(const std::vector<Frame>& frames) {
  std::vector<double> gaps;
  for (std::size_t i = 1; i < frames.size(); ++i)
    if (frames[i].pts < frames[i - 1].pts) gaps.push_back(frames[i].wallMs - frames[i - 1].wallMs);
  return gaps;
}

void BM_RuntimeSegmentJoin(benchmark::State& state) {
  const char* folder = std::getenv("NIVRA_BENCH_SEGMENTS");
  if (!folder || !std::filesystem::exists(std::filesystem::path(folder) / "X_3.mp4")) {
    state.SkipWithError("NIVRA_BENCH_SEGMENTS names no folder with X_1.mp4 .. X_3.mp4");
    return;
  }
  nivra::extras::ensureGStreamer();
  std::string list;
  for (int i = 1; i <= 3; ++i) list += std::string(folder) + "/X_" + std::to_string(i) + ".mp4\r\n";
  std::vector<double> all;
  for (auto _ : state) {
    FrameLog log;
    GstElement* video = gst_element_factory_make("fakesink", nullptr);
    g_object_set(video, "sync", TRUE, "signal-handoffs", TRUE, nullptr);
    g_signal_connect(video, "handoff", G_CALLBACK(onHandoff), &log);
    GstElement* audio = gst_element_factory_make("fakesink", nullptr);
    g_object_set(audio, "sync", TRUE, nullptr);
    {
      SegmentPlayer player(MovieTimeline::fromList(list), {audio, video, 0});
      const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
      while (!player.state().ended && player.state().error.empty() &&
             std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      if (!player.state().error.empty()) state.SkipWithError(player.state().error.c_str());
    }
    const auto gaps = joinGaps(log.frames);
    if (gaps.size() != 2) {
      state.SkipWithError("the frames do not show two joins");
      break;
    }
    all.insert(all.end(), gaps.begin(), gaps.end());
    state.SetIterationTime(*std::max_element(gaps.begin(), gaps.end()) / 1000.0);
  }
  if (all.empty()) return;
  double sum = 0;
  for (double g : all) sum += g;
  state.counters["join_gap_mean_ms"] = sum / static_cast<double>(all.size());
  state.counters["join_gap_max_ms"] = *std::max_element(all.begin(), all.end());
  state.counters["frame_interval_ms"] = 40;
}

BENCHMARK(BM_RuntimeSegmentJoin)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
