// nivra-tool channel-copy MODE IN.wav OUT.wav: runs a WAV file through the audio filter element.

#include <gst/gst.h>

#include <filesystem>
#include <iostream>
#include <memory>

#include "player/gst/gst_audio_filter.h"
#include "player/gst/gst_media_graph.h"
#include "player/gst/gst_ptr.h"
#include "tools/tool_command.h"

namespace nivra::tool {
namespace {

constexpr const char* kUsage =
    "usage: nivra-tool channel-copy MODE IN.wav OUT.wav\n"
    "copies IN.wav to OUT.wav through the audio filter element with channel mode MODE\n"
    "(0 stereo, 1 left channel on both outputs, 2 right channel on both outputs) and prints\n"
    "\"copied FORMAT CHANNELS RATE\" for the format the filter negotiated.\n";

int fail(const std::string& message) {
  std::cerr << "nivra-tool channel-copy: " << message << "\n";
  return 1;
}

int runChannelCopy(const std::vector<std::string>& args) {
  if (wantsHelp(args)) {
    std::cout << kUsage;
    return 0;
  }
  if (args.size() != 3) return fail("needs MODE IN.wav OUT.wav (see --help)");
  if (args[0] != "0" && args[0] != "1" && args[0] != "2") return fail("MODE must be 0, 1 or 2");
  const std::filesystem::path in = args[1], out = args[2];
  std::error_code ec;
  if (!std::filesystem::is_regular_file(in, ec)) return fail("cannot read " + in.string());
  std::string error;
  if (!player::EnsureGStreamer(&error)) return fail(error);

  // Written beside the target and renamed over it, so a failed run leaves no half file.
  const auto partial = out.string() + ".partial";
  player::GstPtr<GstElement> pipeline(gst_pipeline_new("channel-copy"));
  GstElement* src = gst_element_factory_make("filesrc", nullptr);
  GstElement* parse = gst_element_factory_make("wavparse", nullptr);
  GstElement* filter = player::CreateAudioFilter("Audio Filter");
  GstElement* enc = gst_element_factory_make("wavenc", nullptr);
  GstElement* sink = gst_element_factory_make("filesink", nullptr);
  if (!src || !parse || !filter || !enc || !sink) return fail("missing GStreamer elements");
  gst_bin_add_many(GST_BIN(pipeline.get()), src, parse, filter, enc, sink, nullptr);
  if (!gst_element_link_many(src, parse, filter, enc, sink, nullptr)) {
    return fail("cannot link the pipeline");
  }
  g_object_set(src, "location", in.c_str(), nullptr);
  g_object_set(sink, "location", partial.c_str(), nullptr);
  player::SetAudioFilterChannel(filter, static_cast<std::uint8_t>(args[0][0] - '0'));

  gst_element_set_state(pipeline.get(), GST_STATE_PLAYING);
  player::GstPtr<GstBus> bus(gst_element_get_bus(pipeline.get()));
  const player::GstPtr<GstMessage> msg(
      gst_bus_timed_pop_filtered(bus.get(), 60 * GST_SECOND,
                                 static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)));
  std::string failure;
  if (!msg) {
    failure = "timed out";
  } else if (GST_MESSAGE_TYPE(msg.get()) == GST_MESSAGE_ERROR) {
    GError* raw = nullptr;
    gst_message_parse_error(msg.get(), &raw, nullptr);
    const player::GstPtr<GError> err(raw);
    failure = err ? err->message : "stream error";
  }
  std::string negotiated;
  {
    player::GstPtr<GstPad> pad(gst_element_get_static_pad(filter, "sink"));
    if (const player::GstPtr<GstCaps> caps{gst_pad_get_current_caps(pad.get())}) {
      const GstStructure* s = gst_caps_get_structure(caps.get(), 0);
      int channels = 0, rate = 0;
      gst_structure_get_int(s, "channels", &channels);
      gst_structure_get_int(s, "rate", &rate);
      const char* format = gst_structure_get_string(s, "format");
      negotiated = std::string(format ? format : "?") + " " + std::to_string(channels) + " " +
                   std::to_string(rate);
    }
  }
  gst_element_set_state(pipeline.get(), GST_STATE_NULL);
  if (!failure.empty()) {
    std::filesystem::remove(partial, ec);
    return fail(in.string() + ": " + failure);
  }
  std::filesystem::rename(partial, out, ec);
  if (ec) {
    std::filesystem::remove(partial, ec);
    return fail("cannot write " + out.string());
  }
  std::cout << "copied " << negotiated << "\n";
  return 0;
}

const ToolCommandRegistrar registrar{
    {"channel-copy", "run a WAV file through the audio channel filter", runChannelCopy}};

}  // namespace
}  // namespace nivra::tool
