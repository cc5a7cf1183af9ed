// A tiny GStreamer plugin, "nivracodecprobe", that the tests put into a codec folder to see it
// join the plugin search.

#include <gst/gst.h>

namespace {

gboolean pluginInit(GstPlugin* plugin) {
  return gst_element_register(plugin, "nivracodecprobe", GST_RANK_NONE, GST_TYPE_BIN);
}

}  // namespace

#define PACKAGE "nivra"
GST_PLUGIN_DEFINE(GST_VERSION_MAJOR, GST_VERSION_MINOR, nivracodecprobe,
                  "Codec folder probe for the tests", pluginInit, "1.0", "LGPL", "nivra",
                  "https://example.invalid/")
