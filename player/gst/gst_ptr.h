#pragma once
// One owner for every GStreamer and GLib reference: GstPtr<GstPad>, GstPtr<GstCaps>,
// GstPtr<GError>, GstPtr<gchar>… release what they hold with the matching unref or free.

#include <gst/gst.h>

#include <memory>

namespace nivra::player {

struct GstUnref {
  void operator()(GstCaps* caps) const { gst_caps_unref(caps); }
  void operator()(GstMessage* message) const { gst_message_unref(message); }
  void operator()(GstEvent* event) const { gst_event_unref(event); }
  void operator()(GstQuery* query) const { gst_query_unref(query); }
  void operator()(GError* error) const { g_error_free(error); }
  void operator()(gchar* text) const { g_free(text); }
  // Elements, pads, buses and every other GstObject (the types above are matched first).
  template <class T>
  void operator()(T* object) const {
    gst_object_unref(object);
  }
};

template <class T>
using GstPtr = std::unique_ptr<T, GstUnref>;

}  // namespace nivra::player
