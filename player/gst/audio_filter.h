#pragma once
// Module AudioFilter, the framework-free half: the media-type check of the in-place channel
// filter and the channel copy itself, one function per sample width. The GStreamer element
// (gst_audio_filter.h) calls these on the streaming thread.

#include <cstddef>
#include <cstdint>
#include <span>

namespace nivra::player {

// Channel modes (AudioChannel of the player): the byte the filter reads once per buffer.
inline constexpr std::uint8_t kChannelStereo = 0;       // no change
inline constexpr std::uint8_t kChannelLeftToRight = 1;  // left sample replaces the right one
inline constexpr std::uint8_t kChannelRightToLeft = 2;  // right sample replaces the left one

// Wave-format tags the check knows.
inline constexpr std::uint16_t kWaveFormatPcm = 0x0001;
inline constexpr std::uint16_t kWaveFormatIeeeFloat = 0x0003;
inline constexpr std::uint16_t kWaveFormatMpegLayer3 = 0x0055;
inline constexpr std::uint16_t kWaveFormatDolbyAc3Spdif = 0x0092;
inline constexpr std::uint16_t kWaveFormatExtensible = 0xFFFE;

// Result codes of the check.
inline constexpr std::uint32_t kTypeAccepted = 0;
inline constexpr std::uint32_t VFW_E_TYPE_NOT_ACCEPTED = 0x8004022A;
inline constexpr std::uint32_t VFW_E_INVALIDMEDIATYPE = 0x80040200;

// What the check sees of an offered media type.
struct AudioMediaType {
  bool majorAudio = true;        // the major type is audio
  bool waveFormat = true;        // the format block is a wave format
  std::uint16_t formatTag = kWaveFormatPcm;
  std::uint16_t channels = 2;
  std::uint16_t bitsPerSample = 16;
};

// CheckInputType: kTypeAccepted, VFW_E_TYPE_NOT_ACCEPTED or VFW_E_INVALIDMEDIATYPE, decided in
// the filter's fixed order (format block, channel count, major type, sample format).
std::uint32_t CheckInputType(const AudioMediaType& type);

// Channel copy over interleaved samples of the same width. The data is taken as consecutive
// (left, right) sample pairs whatever the channel count, so with more than two channels each
// pair of neighbouring channels is treated alike. Only whole pairs are touched: a trailing
// partial pair is left as it is. Mode kChannelStereo (or any unknown mode) changes nothing.
void CopyChannels8(std::span<std::uint8_t> data, std::uint8_t mode);
void CopyChannels16(std::span<std::uint8_t> data, std::uint8_t mode);
void CopyChannels24(std::span<std::uint8_t> data, std::uint8_t mode);
void CopyChannels32(std::span<std::uint8_t> data, std::uint8_t mode);
// Any sample width in bytes (1 and up), byte-wise; the fast functions above for 1..4.
void CopyChannelsGeneric(std::span<std::uint8_t> data, unsigned bytesPerSample, std::uint8_t mode);

using ChannelCopyFunction = void (*)(std::span<std::uint8_t>, std::uint8_t);
// The copy function for a sample width of 1..4 bytes; nullptr for other widths.
ChannelCopyFunction SelectChannelCopy(unsigned bytesPerSample);

// The whole transform of one buffer: nothing for mono or mode 0, else the copy for
// bitsPerSample / 8 bytes per sample.
void ApplyChannelCopy(std::span<std::uint8_t> data, unsigned bitsPerSample, unsigned channels,
                      std::uint8_t mode);

}  // namespace nivra::player
