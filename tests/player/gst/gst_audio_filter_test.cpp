// The nivraaudiofilter element in a real pipeline: appsrc ! nivraaudiofilter ! appsink, checked
// sample by sample.

#include "player/gst/gst_audio_filter.h"

#include <gst/app/gstappsink.h>
#include <gst/app/gstappsrc.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "player/gst/gst_media_graph.h"

namespace nivra::player {
namespace {

struct Unref {
  void operator()(gpointer p) const { gst_object_unref(p); }
};

class FilterPipeline {
 public:
  explicit FilterPipeline(const std::string& caps) {
    std::string error;
    EXPECT_TRUE(EnsureGStreamer(&error)) << error;
    GError* raw = nullptr;
    pipeline_.reset(gst_parse_launch(
        "appsrc name=src format=time ! nivraaudiofilter name=filter ! appsink name=sink "
        "sync=false",
        &raw));
    if (raw) g_error_free(raw);
    src_.reset(gst_bin_get_by_name(GST_BIN(pipeline_.get()), "src"));
    filter_.reset(gst_bin_get_by_name(GST_BIN(pipeline_.get()), "filter"));
    sink_.reset(gst_bin_get_by_name(GST_BIN(pipeline_.get()), "sink"));
    GstCaps* c = gst_caps_from_string(caps.c_str());
    g_object_set(src_.get(), "caps", c, nullptr);
    gst_caps_unref(c);
    gst_element_set_state(pipeline_.get(), GST_STATE_PLAYING);
  }
  ~FilterPipeline() { gst_element_set_state(pipeline_.get(), GST_STATE_NULL); }

  GstElement* filter() const { return filter_.get(); }

  // New caps for the buffers pushed from now on (the stream renegotiates).
  void setCaps(const std::string& caps) {
    GstCaps* c = gst_caps_from_string(caps.c_str());
    g_object_set(src_.get(), "caps", c, nullptr);
    gst_caps_unref(c);
  }

  // Ends the stream and returns every buffer that reached the sink with its channel count.
  std::vector<std::pair<int, std::vector<std::uint8_t>>> finishBuffers() {
    gst_app_src_end_of_stream(GST_APP_SRC(src_.get()));
    std::vector<std::pair<int, std::vector<std::uint8_t>>> out;
    while (GstSample* sample =
               gst_app_sink_try_pull_sample(GST_APP_SINK(sink_.get()), 5 * GST_SECOND)) {
      int channels = 0;
      gst_structure_get_int(gst_caps_get_structure(gst_sample_get_caps(sample), 0), "channels",
                            &channels);
      GstMapInfo map;
      gst_buffer_map(gst_sample_get_buffer(sample), &map, GST_MAP_READ);
      out.emplace_back(channels, std::vector<std::uint8_t>(map.data, map.data + map.size));
      gst_buffer_unmap(gst_sample_get_buffer(sample), &map);
      gst_sample_unref(sample);
    }
    return out;
  }

  void push(const std::vector<std::uint8_t>& bytes) {
    GstBuffer* buffer = gst_buffer_new_memdup(bytes.data(), bytes.size());
    ASSERT_EQ(gst_app_src_push_buffer(GST_APP_SRC(src_.get()), buffer), GST_FLOW_OK);
  }

  // Everything that reached the sink until end of stream; nullopt when the stream failed.
  std::optional<std::vector<std::uint8_t>> finish() {
    gst_app_src_end_of_stream(GST_APP_SRC(src_.get()));
    std::vector<std::uint8_t> out;
    while (GstSample* sample =
               gst_app_sink_try_pull_sample(GST_APP_SINK(sink_.get()), 5 * GST_SECOND)) {
      GstBuffer* buffer = gst_sample_get_buffer(sample);
      GstMapInfo map;
      gst_buffer_map(buffer, &map, GST_MAP_READ);
      out.insert(out.end(), map.data, map.data + map.size);
      gst_buffer_unmap(buffer, &map);
      gst_sample_unref(sample);
    }
    if (!gst_app_sink_is_eos(GST_APP_SINK(sink_.get()))) return std::nullopt;
    // A stream that failed also ends, but with an error on the bus.
    std::unique_ptr<GstBus, Unref> bus(gst_element_get_bus(pipeline_.get()));
    if (GstMessage* error = gst_bus_pop_filtered(bus.get(), GST_MESSAGE_ERROR)) {
      gst_message_unref(error);
      return std::nullopt;
    }
    return out;
  }

  // Pulls one sample's bytes (waiting up to 5 s).
  std::vector<std::uint8_t> pullOne() {
    std::vector<std::uint8_t> out;
    if (GstSample* sample =
            gst_app_sink_try_pull_sample(GST_APP_SINK(sink_.get()), 5 * GST_SECOND)) {
      GstMapInfo map;
      gst_buffer_map(gst_sample_get_buffer(sample), &map, GST_MAP_READ);
      out.assign(map.data, map.data + map.size);
      gst_buffer_unmap(gst_sample_get_buffer(sample), &map);
      gst_sample_unref(sample);
    }
    return out;
  }

 private:
  std::unique_ptr<GstElement, Unref> pipeline_, src_, filter_, sink_;
};

struct Format {
  const char* name;
  unsigned width;  // bytes per sample
  unsigned channels;
  std::string caps;
};

std::string rawCaps(const char* format, unsigned channels, const char* extra = "") {
  return std::string("audio/x-raw,format=") + format +
         ",rate=48000,channels=" + std::to_string(channels) + ",layout=interleaved" + extra;
}

// Samples with distinct bytes; sample i is `width` bytes at i * width.
std::vector<std::uint8_t> samples(unsigned width, std::size_t count) {
  std::vector<std::uint8_t> data(width * count);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 13 + 5);
  return data;
}

bool sameSample(const std::vector<std::uint8_t>& a, std::size_t i,
                const std::vector<std::uint8_t>& b, std::size_t j, unsigned width) {
  return std::memcmp(&a[i * width], &b[j * width], width) == 0;
}

class ElementChannelCopyTest : public ::testing::TestWithParam<Format> {};

TEST_P(ElementChannelCopyTest, CopiesWholeSamplesBetweenChannelPairs) {
  const auto& f = GetParam();
  const std::size_t frames = 1001;
  const auto input = samples(f.width, frames * f.channels);
  for (std::uint8_t mode : {kChannelLeftToRight, kChannelRightToLeft, kChannelStereo}) {
    SCOPED_TRACE(testing::Message() << "mode " << int(mode));
    FilterPipeline pipeline(f.caps);
    SetAudioFilterChannel(pipeline.filter(), mode);
    pipeline.push(input);
    const auto output = pipeline.finish();
    ASSERT_TRUE(output.has_value());
    ASSERT_EQ(output->size(), input.size());
    for (std::size_t s = 0; s + 1 < frames * f.channels; s += 2) {
      const std::size_t left = s, right = s + 1;
      const std::size_t fromLeft = mode == kChannelRightToLeft ? right : left;
      const std::size_t fromRight = mode == kChannelLeftToRight ? left : right;
      ASSERT_TRUE(sameSample(*output, left, input, fromLeft, f.width)) << "sample " << left;
      ASSERT_TRUE(sameSample(*output, right, input, fromRight, f.width)) << "sample " << right;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, ElementChannelCopyTest,
    ::testing::Values(Format{"U8", 1, 2, rawCaps("U8", 2)},
                      Format{"S16LE", 2, 2, rawCaps("S16LE", 2)},
                      Format{"S24LE", 3, 2, rawCaps("S24LE", 2)},
                      Format{"S32LE", 4, 2, rawCaps("S32LE", 2)},
                      Format{"F32LE", 4, 2, rawCaps("F32LE", 2)},
                      Format{"S16LE6", 2, 6, rawCaps("S16LE", 6, ",channel-mask=(bitmask)0x3f")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AudioFilterElementTest, MonoPassesUntouched) {
  const auto input = samples(2, 4096);
  FilterPipeline pipeline(rawCaps("S16LE", 1));
  SetAudioFilterChannel(pipeline.filter(), kChannelLeftToRight);
  pipeline.push(input);
  EXPECT_EQ(pipeline.finish(), input);
}

TEST(AudioFilterElementTest, ModeChangeTakesEffectFromTheNextBuffer) {
  const auto input = samples(2, 512);
  FilterPipeline pipeline(rawCaps("S16LE", 2));
  g_object_set(pipeline.filter(), "channel", 0u, nullptr);
  pipeline.push(input);
  EXPECT_EQ(pipeline.pullOne(), input);
  g_object_set(pipeline.filter(), "channel", 2u, nullptr);
  EXPECT_EQ(GetAudioFilterChannel(pipeline.filter()), 2);
  pipeline.push(input);
  const auto copied = pipeline.pullOne();
  ASSERT_EQ(copied.size(), input.size());
  EXPECT_TRUE(sameSample(copied, 0, input, 1, 2));
  EXPECT_TRUE(sameSample(copied, 1, input, 1, 2));
}

TEST(AudioFilterElementTest, NegotiationFollowsTheMediaTypeCheck) {
  ASSERT_TRUE(EnsureGStreamer());
  struct Case {
    std::string caps;
    std::uint32_t check;
  };
  const Case cases[] = {
      {rawCaps("S16LE", 2), kTypeAccepted},
      {rawCaps("F32LE", 2), kTypeAccepted},
      {rawCaps("S16LE", 6, ",channel-mask=(bitmask)0x3f"), kTypeAccepted},
      {rawCaps("S16LE", 6), VFW_E_INVALIDMEDIATYPE},  // more than two, not positioned
      {rawCaps("F64LE", 2), VFW_E_TYPE_NOT_ACCEPTED},
      {rawCaps("S16BE", 2), VFW_E_TYPE_NOT_ACCEPTED},
      {rawCaps("S16LE", 2).replace(rawCaps("S16LE", 2).find("interleaved"), 11, "non-interleaved"),
       VFW_E_TYPE_NOT_ACCEPTED},
      {"audio/mpeg,mpegversion=1,layer=3,rate=44100,channels=2", VFW_E_TYPE_NOT_ACCEPTED},
      {"video/x-raw,format=I420,width=16,height=16", VFW_E_TYPE_NOT_ACCEPTED},
  };
  std::unique_ptr<GstElement, Unref> filter(
      GST_ELEMENT(gst_object_ref_sink(CreateAudioFilter("filter"))));
  std::unique_ptr<GstPad, Unref> sink(gst_element_get_static_pad(filter.get(), "sink"));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.caps);
    GstCaps* caps = gst_caps_from_string(c.caps.c_str());
    ASSERT_NE(caps, nullptr);
    EXPECT_EQ(CheckInputType(MediaTypeFromCaps(caps)), c.check);
    EXPECT_EQ(gst_pad_query_accept_caps(sink.get(), caps) != FALSE, c.check == kTypeAccepted);
    gst_caps_unref(caps);
  }
  GstCaps* mp3 = gst_caps_from_string("audio/mpeg,mpegversion=1,layer=3,rate=44100,channels=2");
  EXPECT_EQ(MediaTypeFromCaps(mp3).formatTag, kWaveFormatMpegLayer3);
  gst_caps_unref(mp3);
}

// The channel count changes on the streaming thread (mono and stereo caps in turn) while another
// thread keeps switching the mode: a mono buffer is never touched, and every stereo buffer is the
// input, or the input with one channel copied over the other throughout.
TEST(AudioFilterElementTest, FormatChangesWhileTheModeIsSwitchedFromAnotherThread) {
  const auto input = samples(2, 2048);
  auto copied = [&](std::uint8_t mode) {
    auto bytes = input;
    ApplyChannelCopy(bytes, 16, 2, mode);
    return bytes;
  };
  const auto leftToRight = copied(kChannelLeftToRight);
  const auto rightToLeft = copied(kChannelRightToLeft);
  FilterPipeline pipeline(rawCaps("S16LE", 2));
  std::atomic<bool> stop{false};
  std::thread switcher([&] {
    for (unsigned i = 0; !stop; ++i) SetAudioFilterChannel(pipeline.filter(), i % 3);
  });
  for (int i = 0; i < 200; ++i) {
    if (i % 10 == 0) pipeline.setCaps(rawCaps("S16LE", i % 20 == 0 ? 2 : 1));
    pipeline.push(input);
  }
  const auto buffers = pipeline.finishBuffers();
  stop = true;
  switcher.join();
  ASSERT_EQ(buffers.size(), 200u);
  for (std::size_t i = 0; i < buffers.size(); ++i) {
    const auto& [channels, bytes] = buffers[i];
    ASSERT_EQ(channels, i % 20 < 10 ? 2 : 1) << i;
    if (channels == 1) {
      ASSERT_TRUE(bytes == input) << "mono buffer " << i << " was changed";
    } else {
      ASSERT_TRUE(bytes == input || bytes == leftToRight || bytes == rightToLeft) << i;
    }
  }
}

TEST(AudioFilterElementTest, RefusedFormatFailsTheStreamInsteadOfCopyingIt) {
  FilterPipeline pipeline(rawCaps("S16LE", 6));
  pipeline.push(samples(2, 600));
  EXPECT_FALSE(pipeline.finish().has_value());
}

}  // namespace
}  // namespace nivra::player
