#include "player/gst/gst_audio_filter.h"

#include <gst/audio/audio.h>
#include <gst/base/gstbasetransform.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <new>
#include <span>

namespace nivra::player {
namespace {

struct TAudioFilter {
  GstBaseTransform parent;
  // Written by SetChannel (GUI thread), read once per buffer on the streaming thread.
  std::atomic<std::uint8_t> mode;
  // The negotiated channel count: set_caps writes it on the streaming thread, SetChannel reads it
  // on the GUI thread to choose passthrough.
  std::atomic<unsigned> channels;
  // The copy for the negotiated sample width, chosen once per caps by set_caps; nullptr when
  // there is nothing to copy (mono).
  std::atomic<ChannelCopyFunction> copy;
};

struct TAudioFilterClass {
  GstBaseTransformClass parent_class;
};

enum { PROP_0, PROP_CHANNEL };

GType audioFilterType();

TAudioFilter* asFilter(gpointer p) { return reinterpret_cast<TAudioFilter*>(p); }

gpointer parentClass = nullptr;

// The caps the check can accept; negotiation then picks one of these formats upstream.
GstStaticPadTemplate sinkTemplate = GST_STATIC_PAD_TEMPLATE(
    "sink", GST_PAD_SINK, GST_PAD_ALWAYS,
    GST_STATIC_CAPS("audio/x-raw, format = (string) { S16LE, F32LE, S32LE, S24LE, U8 }, "
                    "rate = (int) [ 1, MAX ], channels = (int) [ 1, MAX ], "
                    "layout = (string) interleaved"));
GstStaticPadTemplate srcTemplate = GST_STATIC_PAD_TEMPLATE(
    "src", GST_PAD_SRC, GST_PAD_ALWAYS,
    GST_STATIC_CAPS("audio/x-raw, format = (string) { S16LE, F32LE, S32LE, S24LE, U8 }, "
                    "rate = (int) [ 1, MAX ], channels = (int) [ 1, MAX ], "
                    "layout = (string) interleaved"));

// Passthrough whenever the copy would change nothing, so buffers are not made writable for
// nothing. Safe from any thread.
void updatePassthrough(TAudioFilter* self) {
  const auto mode = self->mode.load(std::memory_order_relaxed);
  const bool idle = mode == kChannelStereo || self->channels.load(std::memory_order_relaxed) <= 1;
  gst_base_transform_set_passthrough(&self->parent, idle);
}

std::uint32_t checkCaps(GstCaps* caps) { return CheckInputType(MediaTypeFromCaps(caps)); }

gboolean acceptCaps(GstBaseTransform* trans, GstPadDirection direction, GstCaps* caps) {
  auto* base = static_cast<GstBaseTransformClass*>(parentClass);
  if (!base->accept_caps(trans, direction, caps)) return FALSE;
  if (!gst_caps_is_fixed(caps)) return TRUE;
  const auto result = checkCaps(caps);
  if (result != kTypeAccepted) {
    GST_DEBUG_OBJECT(trans, "CheckInputType refused the type: 0x%08x", result);
    return FALSE;
  }
  return TRUE;
}

gboolean setCaps(GstBaseTransform* trans, GstCaps* incaps, GstCaps* /*outcaps*/) {
  auto* self = asFilter(trans);
  const auto result = checkCaps(incaps);
  if (result != kTypeAccepted) {
    GST_WARNING_OBJECT(trans, "CheckInputType refused the type: 0x%08x", result);
    return FALSE;
  }
  const auto type = MediaTypeFromCaps(incaps);
  // The check accepted 8, 16, 24 or 32 bits, each of which has its copy function.
  ChannelCopyFunction copy =
      type.channels > 1 ? SelectChannelCopy(type.bitsPerSample / 8) : nullptr;
  if (type.channels > 1 && copy == nullptr) return FALSE;
  self->copy.store(copy, std::memory_order_relaxed);
  self->channels.store(type.channels, std::memory_order_relaxed);
  updatePassthrough(self);
  return TRUE;
}

GstFlowReturn transformIp(GstBaseTransform* trans, GstBuffer* buffer) {
  auto* self = asFilter(trans);
  const auto mode = self->mode.load(std::memory_order_relaxed);
  const ChannelCopyFunction copy = self->copy.load(std::memory_order_relaxed);
  if (mode == kChannelStereo || copy == nullptr) return GST_FLOW_OK;
  GstMapInfo map;
  if (!gst_buffer_map(buffer, &map, GST_MAP_READWRITE)) return GST_BASE_TRANSFORM_FLOW_DROPPED;
  copy(std::span<std::uint8_t>(map.data, map.size), mode);
  gst_buffer_unmap(buffer, &map);
  return GST_FLOW_OK;
}

void setProperty(GObject* object, guint id, const GValue* value, GParamSpec* pspec) {
  if (id == PROP_CHANNEL) {
    SetAudioFilterChannel(GST_ELEMENT(object), static_cast<std::uint8_t>(g_value_get_uint(value)));
  } else {
    G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, pspec);
  }
}

void getProperty(GObject* object, guint id, GValue* value, GParamSpec* pspec) {
  if (id == PROP_CHANNEL) {
    g_value_set_uint(value, GetAudioFilterChannel(GST_ELEMENT(object)));
  } else {
    G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, pspec);
  }
}

void classInit(gpointer klass, gpointer /*data*/) {
  parentClass = g_type_class_peek_parent(klass);
  auto* objectClass = G_OBJECT_CLASS(klass);
  objectClass->set_property = setProperty;
  objectClass->get_property = getProperty;
  g_object_class_install_property(
      objectClass, PROP_CHANNEL,
      g_param_spec_uint("channel", "Channel",
                        "0 stereo, 1 left channel on both outputs, 2 right channel on both", 0, 2,
                        0, static_cast<GParamFlags>(G_PARAM_READWRITE | G_PARAM_STATIC_STRINGS)));

  auto* elementClass = GST_ELEMENT_CLASS(klass);
  gst_element_class_set_static_metadata(elementClass, "TAudioFilter", "Filter/Effect/Audio",
                                        "Copies one stereo channel over the other", "Nivra");
  gst_element_class_add_static_pad_template(elementClass, &sinkTemplate);
  gst_element_class_add_static_pad_template(elementClass, &srcTemplate);

  auto* transClass = GST_BASE_TRANSFORM_CLASS(klass);
  transClass->accept_caps = acceptCaps;
  transClass->set_caps = setCaps;
  transClass->transform_ip = transformIp;
  transClass->passthrough_on_same_caps = FALSE;
  transClass->transform_ip_on_passthrough = FALSE;
}

void instanceInit(GTypeInstance* instance, gpointer /*klass*/) {
  auto* self = asFilter(instance);
  new (&self->mode) std::atomic<std::uint8_t>(kChannelStereo);
  new (&self->channels) std::atomic<unsigned>(0);
  new (&self->copy) std::atomic<ChannelCopyFunction>(nullptr);
  gst_base_transform_set_in_place(&self->parent, TRUE);
  gst_base_transform_set_passthrough(&self->parent, TRUE);
}

GType audioFilterType() {
  static const GType type = [] {
    GTypeInfo info{};
    info.class_size = sizeof(TAudioFilterClass);
    info.class_init = classInit;
    info.instance_size = sizeof(TAudioFilter);
    info.instance_init = instanceInit;
    return g_type_register_static(GST_TYPE_BASE_TRANSFORM, "TAudioFilter", &info, GTypeFlags{});
  }();
  return type;
}

bool isAudioFilter(GstElement* element) {
  return element != nullptr && G_TYPE_CHECK_INSTANCE_TYPE(element, audioFilterType());
}

}  // namespace

bool RegisterAudioFilterElement() {
  static std::once_flag once;
  static bool registered = false;
  std::call_once(once, [] {
    registered = gst_element_register(nullptr, kAudioFilterElement, GST_RANK_NONE,
                                      audioFilterType()) != FALSE;
  });
  return registered;
}

GstElement* CreateAudioFilter(const char* name) {
  if (!RegisterAudioFilterElement()) return nullptr;
  return gst_element_factory_make(kAudioFilterElement, name);
}

void SetAudioFilterChannel(GstElement* element, std::uint8_t mode) {
  if (!isAudioFilter(element)) return;
  auto* self = asFilter(element);
  self->mode.store(mode, std::memory_order_relaxed);
  updatePassthrough(self);
}

std::uint8_t GetAudioFilterChannel(GstElement* element) {
  if (!isAudioFilter(element)) return kChannelStereo;
  return asFilter(element)->mode.load(std::memory_order_relaxed);
}

AudioMediaType MediaTypeFromCaps(const GstCaps* caps) {
  AudioMediaType type;
  type.majorAudio = false;
  type.waveFormat = false;
  type.channels = 0;
  type.bitsPerSample = 0;
  type.formatTag = 0;
  if (caps == nullptr || gst_caps_get_size(caps) == 0) return type;
  const GstStructure* s = gst_caps_get_structure(caps, 0);
  const char* name = gst_structure_get_name(s);
  type.majorAudio = g_str_has_prefix(name, "audio/");
  int channels = 0;
  if (gst_structure_get_int(s, "channels", &channels) && channels > 0 && channels <= 0xFFFF) {
    type.channels = static_cast<std::uint16_t>(channels);
  }
  if (std::strcmp(name, "audio/mpeg") == 0) {
    int version = 0, layer = 0;
    gst_structure_get_int(s, "mpegversion", &version);
    gst_structure_get_int(s, "layer", &layer);
    if (version == 1 && layer == 3) {
      type.waveFormat = true;
      type.formatTag = kWaveFormatMpegLayer3;
    }
    return type;
  }
  if (std::strcmp(name, "audio/x-raw") != 0) return type;
  const char* layout = gst_structure_get_string(s, "layout");
  if (layout != nullptr && std::strcmp(layout, "interleaved") != 0) return type;
  const char* formatName = gst_structure_get_string(s, "format");
  if (formatName == nullptr) return type;
  switch (gst_audio_format_from_string(formatName)) {
    case GST_AUDIO_FORMAT_U8:
    case GST_AUDIO_FORMAT_S16LE:
    case GST_AUDIO_FORMAT_S24LE:
    case GST_AUDIO_FORMAT_S32LE:
      type.formatTag = kWaveFormatPcm;
      break;
    case GST_AUDIO_FORMAT_F32LE:
    case GST_AUDIO_FORMAT_F64LE:
      type.formatTag = kWaveFormatIeeeFloat;
      break;
    default:
      return type;  // no wave format describes it
  }
  type.waveFormat = true;
  const GstAudioFormatInfo* info =
      gst_audio_format_get_info(gst_audio_format_from_string(formatName));
  type.bitsPerSample = static_cast<std::uint16_t>(GST_AUDIO_FORMAT_INFO_WIDTH(info));
  // A channel mask gives every channel a position: the extensible layout.
  guint64 mask = 0;
  const bool positioned =
      gst_structure_get(s, "channel-mask", GST_TYPE_BITMASK, &mask, nullptr) && mask != 0;
  if (type.channels > 2 && positioned) type.formatTag = kWaveFormatExtensible;
  return type;
}

}  // namespace nivra::player
