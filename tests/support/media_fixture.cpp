#include "tests/support/media_fixture.h"

#include <gst/gst.h>

#include <cstdlib>

namespace nivra::test {

bool MakeMediaSegment(const std::filesystem::path& file, int ms, int pattern,
                      const std::string& container) {
  static const bool initialised = gst_init_check(nullptr, nullptr, nullptr);
  if (!initialised) return false;
  const int frames = ms / 40;
  const int audioBuffers = ms / 10;  // 441 samples = 10 ms at 44.1 kHz
  const std::string mux = container == "flv" ? "flvmux" : "mp4mux";
  const std::string description =
      "videotestsrc num-buffers=" + std::to_string(frames) + " pattern=" + std::to_string(pattern) +
      " ! video/x-raw,width=320,height=240,framerate=25/1 ! openh264enc ! h264parse ! queue ! " +
      mux + " name=m ! filesink location=\"" + file.string() + "\" " +
      "audiotestsrc num-buffers=" + std::to_string(audioBuffers) +
      " samplesperbuffer=441 ! audio/x-raw,rate=44100,channels=2 ! avenc_aac ! aacparse ! queue ! "
      "m.";
  GError* error = nullptr;
  GstElement* pipeline = gst_parse_launch(description.c_str(), &error);
  if (error) {
    g_error_free(error);
    if (pipeline) gst_object_unref(pipeline);
    return false;
  }
  gst_element_set_state(pipeline, GST_STATE_PLAYING);
  GstBus* bus = gst_element_get_bus(pipeline);
  GstMessage* msg = gst_bus_timed_pop_filtered(bus, 30 * GST_SECOND,
                                               GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
  const bool ok = msg && GST_MESSAGE_TYPE(msg) == GST_MESSAGE_EOS;
  if (msg) gst_message_unref(msg);
  gst_object_unref(bus);
  gst_element_set_state(pipeline, GST_STATE_NULL);
  gst_object_unref(pipeline);
  return ok && std::filesystem::file_size(file) > 0;
}

LocalWebServer::LocalWebServer(const std::filesystem::path& root)
    : process_(std::make_unique<TestProcess>(
          "/usr/bin/python3",
          std::vector<std::string>{"-u", "-m", "http.server", "0", "--bind", "127.0.0.1",
                                   "--directory", root.string()})) {
  // "Serving HTTP on 127.0.0.1 port 41234 (http://127.0.0.1:41234/) ..."
  if (auto rest = process_->waitFor("Serving")) {
    if (const auto at = rest->find("port "); at != std::string::npos)
      port_ = static_cast<std::uint16_t>(std::atoi(rest->c_str() + at + 5));
  }
}

std::string LocalWebServer::url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + "/" + path;
}

RangeWebServer::RangeWebServer(const std::filesystem::path& root)
    : process_(std::make_unique<TestProcess>(
          "/usr/bin/python3",
          std::vector<std::string>{NIVRA_TEST_SUPPORT_DIR "/range_server.py", root.string()})) {
  if (auto rest = process_->waitFor("READY"))
    port_ = static_cast<std::uint16_t>(std::atoi(rest->c_str()));
}

std::string RangeWebServer::url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + "/" + path;
}

}  // namespace nivra::test
