// TPlayer with the GStreamer graph, headless, on media generated at test time.

#include <gmock/gmock.h>
#include <gst/audio/audio.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <mutex>

#include "tests/player/gst/gst_player_fixture.h"
#include "tests/support/debug_log.h"
#include "tests/support/env_guard.h"
#include "tests/support/temp_dir.h"

namespace nivra::player::test {
namespace {

using ::testing::ElementsAre;
using ::testing::StartsWith;

TEST_F(GstPlayerTest, VideoWithSoundPlaysToItsEnd) {
  ASSERT_TRUE(open(media.videoWithSound.string()));
  EXPECT_TRUE(player->HasVideo());
  EXPECT_EQ(player->MediaWidth(), 160);
  EXPECT_EQ(player->MediaHeight(), 120);
  EXPECT_NEAR(player->Duration(), 2000, 60);
  EXPECT_TRUE(player->CanSeek());
  ASSERT_NE(lastGraph, nullptr);
  EXPECT_TRUE(lastGraph->hasAudioFilter());
  ASSERT_TRUE(playToEnd());
  EXPECT_THAT(events, ElementsAre("stop", "open 1", "state 1", "end", "state 0", "stop"));
}

TEST_F(GstPlayerTest, SoundOnlyDropsTheRendererAndRefusesFullScreen) {
  int fullChanges = 0;
  player->OnFullChangeing = [&] { ++fullChanges; };
  ASSERT_TRUE(open(media.soundOnly.string()));
  EXPECT_FALSE(player->HasVideo());
  EXPECT_EQ(player->MediaWidth(), 0);
  EXPECT_NEAR(player->Duration(), 2000, 60);
  player->SetFullScreen(true);
  EXPECT_EQ(fullChanges, 0);
  EXPECT_FALSE(player->FullScreen());
  ASSERT_TRUE(playToEnd());
  EXPECT_THAT(events, ElementsAre("stop", "open 1", "state 1", "end", "state 0", "stop"));
}

TEST_F(GstPlayerTest, UndecodableFileIsRenderErrorEight) {
  ASSERT_TRUE(open(media.undecodable.string()));
  EXPECT_THAT(events, ElementsAre("stop", "error 8"));
  EXPECT_FALSE(errorText.empty());
  EXPECT_EQ(player->PlayState(), psStop);
  EXPECT_TRUE(player->Opened());  // the built graph stays until Stop
}

TEST_F(GstPlayerTest, UnrenderableRealMediaNameFailsSilently) {
  ASSERT_TRUE(open(media.realMedia.string()));
  EXPECT_THAT(events, ElementsAre("stop"));
  EXPECT_EQ(player->PlayState(), psStop);
  EXPECT_TRUE(player->Opened());
  player->Stop();
  EXPECT_FALSE(player->Opened());
}

TEST_F(GstPlayerTest, TruncatedFileEndsWhereItsDataEnds) {
  ASSERT_TRUE(open(media.truncated.string()));
  EXPECT_NEAR(player->Duration(), 2000, 60);  // the header still says 2 s
  ASSERT_TRUE(playToEnd());
  EXPECT_THAT(events, ElementsAre("stop", "open 1", "state 1", "end", "state 0", "stop"));
}

// "FirstFrame" marks the first picture of each open: once, however many frames follow, and
// never for a source without pictures.
TEST_F(GstPlayerTest, FirstFrameIsLoggedOncePerOpenWithPictures) {
  struct Case {
    const std::filesystem::path& source;
    long perOpen;
  };
  for (const Case& c : {Case{media.videoWithSound, 1}, Case{media.theora, 1},
                        Case{media.soundOnly, 0}, Case{media.tones, 0}}) {
    SCOPED_TRACE(c.source.filename().string());
    nivra::test::DebugLog log;
    const auto firstFrames = [&] {
      const auto lines = log.lines();
      return std::count(lines.begin(), lines.end(), "FirstFrame");
    };
    for (long open = 1; open <= 2; ++open) {
      ended = false;
      ASSERT_TRUE(this->open(c.source.string()));
      ASSERT_TRUE(playToEnd());  // every frame has reached the sink
      EXPECT_EQ(firstFrames(), open * c.perOpen);
    }
  }
}

TEST_F(GstPlayerTest, OpenHandlerThatClearsCanPlayThenSeekAndPlay) {
  autoPlay = false;
  ASSERT_TRUE(open(media.videoWithSound.string()));
  EXPECT_EQ(player->PlayState(), psStop);
  EXPECT_NEAR(duration, 2000, 60);
  player->Seek(1500);
  ASSERT_TRUE(PumpUntil(loop, [&] { return player->Position() >= 1400; }, 5000));
  EXPECT_LE(player->Position(), 1600u);
  player->Play();
  ASSERT_TRUE(playToEnd());
  EXPECT_THAT(events, ElementsAre("stop", "open 1", "state 1", "end", "state 0", "stop"));
}

TEST_F(GstPlayerTest, PositionEventsFollowRealTimePlayback) {
  makePlayer(headless(true));
  std::vector<std::uint32_t> positions;
  player->OnPlayPosition = [&](std::uint32_t d, std::uint32_t p, std::uint32_t f) {
    EXPECT_EQ(f, 0u);
    EXPECT_EQ(d, player->Duration());
    positions.push_back(p);
  };
  player->Open(media.soundOnly.string());
  ASSERT_TRUE(PumpUntil(loop, [&] { return player->Position() >= 600; }, 5000));
  player->Pause();
  EXPECT_EQ(player->PlayState(), psPause);
  const auto paused = player->Position();
  PumpUntil(loop, [] { return false; }, 300);
  EXPECT_NEAR(player->Position(), paused, 30);
  player->Play();
  ASSERT_TRUE(playToEnd());
  ASSERT_GE(positions.size(), 8u);
  EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end() - 1));
}

// Frequency of one channel by zero crossings.
double frequency(const std::vector<double>& samples, int rate) {
  int crossings = 0;
  for (std::size_t i = 1; i < samples.size(); ++i) {
    if ((samples[i - 1] < 0) != (samples[i] < 0)) ++crossings;
  }
  return crossings / 2.0 * rate / static_cast<double>(samples.size());
}

TEST_F(GstPlayerTest, ChannelModesAtTheSink) {
  struct Case {
    std::uint8_t mode;
    double left, right;
  };
  const Case cases[] = {{0, 440, 1000}, {1, 440, 440}, {2, 1000, 1000}};
  for (const auto& c : cases) {
    SCOPED_TRACE(int(c.mode));
    std::mutex m;
    std::vector<double> left, right;
    int rate = 0;
    std::string format;
    auto options = headless(false);
    options.audioTap = [&](GstCaps* caps, GstBuffer* buffer) {
      GstAudioInfo info;
      if (caps == nullptr || !gst_audio_info_from_caps(&info, caps)) return;
      GstMapInfo map;
      gst_buffer_map(buffer, &map, GST_MAP_READ);
      std::lock_guard lock(m);
      rate = GST_AUDIO_INFO_RATE(&info);
      format = GST_AUDIO_INFO_NAME(&info);
      const int channels = GST_AUDIO_INFO_CHANNELS(&info);
      const std::size_t frames = map.size / GST_AUDIO_INFO_BPF(&info);
      for (std::size_t i = 0; i < frames; ++i) {
        double l = 0, r = 0;
        if (GST_AUDIO_INFO_FORMAT(&info) == GST_AUDIO_FORMAT_S16LE) {
          l = reinterpret_cast<const std::int16_t*>(map.data)[i * channels];
          r = reinterpret_cast<const std::int16_t*>(map.data)[i * channels + 1];
        } else if (GST_AUDIO_INFO_FORMAT(&info) == GST_AUDIO_FORMAT_F32LE) {
          l = reinterpret_cast<const float*>(map.data)[i * channels];
          r = reinterpret_cast<const float*>(map.data)[i * channels + 1];
        }
        left.push_back(l);
        right.push_back(r);
      }
      gst_buffer_unmap(buffer, &map);
    };
    makePlayer(options);
    ended = false;
    player->SetAudioChannel(c.mode);
    player->Open(media.tones.string());
    ASSERT_TRUE(playToEnd());
    std::lock_guard lock(m);
    EXPECT_TRUE(format == "S16LE" || format == "F32LE") << format;
    ASSERT_GT(left.size(), 40000u);
    EXPECT_NEAR(frequency(left, rate), c.left, 10);
    EXPECT_NEAR(frequency(right, rate), c.right, 10);
  }
}

TEST_F(GstPlayerTest, GraphEditDumpsTheGraphWhileRegistered) {
  nivra::test::TempDir runtime;
  nivra::test::EnvGuard env;
  env.set("XDG_RUNTIME_DIR", runtime.path().string());
  autoPlay = false;
  player->SetGraphEdit(true);
  ASSERT_TRUE(open(media.videoWithSound.string()));
  ASSERT_NE(lastGraph, nullptr);
  const auto dump = lastGraph->inspectorFile();
  EXPECT_THAT(dump.filename().string(), StartsWith("FilterGraph 0x"));
  const auto dot = nivra::test::readFile(dump);
  EXPECT_NE(dot.find("Video Render"), std::string::npos);
  EXPECT_NE(dot.find("Audio Filter"), std::string::npos);
  player->SetGraphEdit(false);
  EXPECT_FALSE(std::filesystem::exists(dump));
}

TEST_F(GstPlayerTest, CodecFolderJoinsThePluginSearch) {
  nivra::test::TempDir codecs;
  std::filesystem::copy_file(NIVRA_CODEC_PROBE_PLUGIN, codecs / "libnivracodecprobe.so");
  auto options = headless(false);
  options.codecFolder = codecs.path();
  makePlayer(options);
  ASSERT_TRUE(EnsureGStreamer());
  EXPECT_EQ(gst_registry_find_plugin(gst_registry_get(), "nivracodecprobe"), nullptr);
  autoPlay = false;
  player->Open(media.soundOnly.string());
  GstPlugin* plugin = gst_registry_find_plugin(gst_registry_get(), "nivracodecprobe");
  ASSERT_NE(plugin, nullptr);
  gst_object_unref(plugin);
}

TEST_F(GstPlayerTest, HundredOpenStopCyclesReleaseEveryGraph) {
  std::atomic<int> created{0}, finalized{0};
  auto options = headless(false);
  options.onPipelineCreated = [&](GstElement* pipeline) {
    ++created;
    g_object_weak_ref(G_OBJECT(pipeline),
                      [](gpointer count, GObject*) { ++*static_cast<std::atomic<int>*>(count); },
                      &finalized);
  };
  makePlayer(options);
  autoPlay = true;
  int cycle = 0;
  player->OnPlayStateChange = [&](TPlayState s) {
    // A third of the cycles stop from inside the event that says playback started, a third
    // from inside the open event.
    if (s == psPlay && cycle % 3 == 1) player->Stop();
  };
  player->OnPlayOpen = [&](std::uint32_t, bool, bool&) {
    if (cycle % 3 == 2) player->Stop();
  };
  for (cycle = 0; cycle < 100; ++cycle) {
    player->Open(cycle % 2 ? media.videoWithSound.string() : media.soundOnly.string());
    // The others stop while the source is still being rendered.
    if (cycle % 3 != 0) PumpUntil(loop, [&] { return !player->OpenPending(); });
    loop.runPending();
    player->Stop();
  }
  EXPECT_EQ(created.load(), 100);
  EXPECT_EQ(finalized.load(), 100);
  EXPECT_FALSE(player->Opened());
  EXPECT_EQ(loop.activeTimers(), 0u);
}

}  // namespace
}  // namespace nivra::player::test
