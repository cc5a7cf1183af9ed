#pragma once
// The audio filter as a GStreamer element: an in-place GstBaseTransform registered statically
// as "nivraaudiofilter" (type TAudioFilter). The media-type check decides caps negotiation and
// picks the copy function for the negotiated sample width once per caps; the copy runs on every
// buffer of the streaming thread. The channel mode is one atomic byte that SetChannel writes from
// the GUI thread and the transform reads once per buffer; the channel count that SetChannel reads
// to choose passthrough is atomic too.
//
// Element property: "channel" (uint 0..2), the same byte as SetAudioFilterChannel.

#include <gst/gst.h>

#include <cstdint>

#include "player/gst/audio_filter.h"

namespace nivra::player {

inline constexpr const char* kAudioFilterElement = "nivraaudiofilter";

// Registers the element with GStreamer's registry. Idempotent and thread-safe; GStreamer must be
// initialised. False when the registration failed.
bool RegisterAudioFilterElement();

// A new, floating element (registered first when needed), or nullptr when it cannot be made:
// the "construction reports failure" case, which makes the graph go without the filter.
GstElement* CreateAudioFilter(const char* name);

// SetChannel / GetChannel of the filter's control interface. `element` must be a filter made by
// CreateAudioFilter; both calls are safe while the element streams.
void SetAudioFilterChannel(GstElement* element, std::uint8_t mode);
std::uint8_t GetAudioFilterChannel(GstElement* element);

// How the media-type check sees caps: raw interleaved PCM and float as wave formats (more than
// two positioned channels as the extensible layout), MPEG audio as its wave tag, anything else
// as a format block that is not a wave format.
AudioMediaType MediaTypeFromCaps(const GstCaps* caps);

}  // namespace nivra::player
