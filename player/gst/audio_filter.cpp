#include "player/gst/audio_filter.h"

#include <bit>
#include <cstring>

namespace nivra::player {

std::uint32_t CheckInputType(const AudioMediaType& type) {
  if (!type.waveFormat) return VFW_E_TYPE_NOT_ACCEPTED;
  if (type.channels > 2 && type.formatTag != kWaveFormatExtensible) return VFW_E_INVALIDMEDIATYPE;
  if (!type.majorAudio) return VFW_E_TYPE_NOT_ACCEPTED;
  const bool bitsOk = type.bitsPerSample == 8 || type.bitsPerSample == 16 ||
                      type.bitsPerSample == 24 || type.bitsPerSample == 32;
  const bool tagOk = type.formatTag == kWaveFormatPcm || type.formatTag == kWaveFormatIeeeFloat ||
                     type.formatTag == kWaveFormatDolbyAc3Spdif ||
                     type.formatTag == kWaveFormatExtensible;
  return bitsOk && tagOk ? kTypeAccepted : VFW_E_TYPE_NOT_ACCEPTED;
}

namespace {

// Applies `op` to every (left, right) pair taken as one unsigned word of twice the sample width.
// Loads and stores go through memcpy, so buffers of any alignment are fine; the fixed-size
// blocks let the compiler turn the inner loop into vector code.
template <typename Pair, typename Op>
void forEachPair(std::span<std::uint8_t> data, Op op) {
  constexpr std::size_t kBlock = 16;
  const std::size_t pairs = data.size() / sizeof(Pair);
  std::uint8_t* p = data.data();
  std::size_t i = 0;
  for (; i + kBlock <= pairs; i += kBlock, p += kBlock * sizeof(Pair)) {
    Pair v[kBlock];
    std::memcpy(v, p, sizeof v);
    for (std::size_t k = 0; k < kBlock; ++k) v[k] = op(v[k]);
    std::memcpy(p, v, sizeof v);
  }
  for (; i < pairs; ++i, p += sizeof(Pair)) {
    Pair v;
    std::memcpy(&v, p, sizeof v);
    v = op(v);
    std::memcpy(p, &v, sizeof v);
  }
}

template <typename Pair>
void copyPairs(std::span<std::uint8_t> data, std::uint8_t mode) {
  constexpr unsigned kBits = sizeof(Pair) * 4;  // bits of one sample
  constexpr Pair kLow = (Pair{1} << kBits) - 1;
  // The sample stored first (left) is the low half on little-endian machines.
  constexpr bool kLeftLow = std::endian::native == std::endian::little;
  if (mode != kChannelLeftToRight && mode != kChannelRightToLeft) return;
  if ((mode == kChannelLeftToRight) == kLeftLow) {
    forEachPair<Pair>(data, [](Pair v) -> Pair { return (v & kLow) | (v << kBits); });
  } else {
    forEachPair<Pair>(data, [](Pair v) -> Pair { return (v >> kBits) | (v & ~kLow); });
  }
}

template <unsigned kWidth>
void copySamples(std::span<std::uint8_t> data, std::uint8_t mode) {
  const std::size_t pairs = data.size() / (2 * kWidth);
  std::uint8_t* p = data.data();
  if (mode == kChannelLeftToRight) {
    for (std::size_t i = 0; i < pairs; ++i, p += 2 * kWidth) std::memcpy(p + kWidth, p, kWidth);
  } else if (mode == kChannelRightToLeft) {
    for (std::size_t i = 0; i < pairs; ++i, p += 2 * kWidth) std::memcpy(p, p + kWidth, kWidth);
  }
}

}  // namespace

void CopyChannels8(std::span<std::uint8_t> data, std::uint8_t mode) {
  copyPairs<std::uint16_t>(data, mode);
}
void CopyChannels16(std::span<std::uint8_t> data, std::uint8_t mode) {
  copyPairs<std::uint32_t>(data, mode);
}
void CopyChannels24(std::span<std::uint8_t> data, std::uint8_t mode) { copySamples<3>(data, mode); }
void CopyChannels32(std::span<std::uint8_t> data, std::uint8_t mode) {
  copyPairs<std::uint64_t>(data, mode);
}

void CopyChannelsGeneric(std::span<std::uint8_t> data, unsigned bytesPerSample, std::uint8_t mode) {
  if (bytesPerSample == 0) return;
  const std::size_t frame = 2 * std::size_t{bytesPerSample};
  const std::size_t pairs = data.size() / frame;
  std::uint8_t* p = data.data();
  for (std::size_t i = 0; i < pairs; ++i, p += frame) {
    if (mode == kChannelLeftToRight) {
      std::memmove(p + bytesPerSample, p, bytesPerSample);
    } else if (mode == kChannelRightToLeft) {
      std::memmove(p, p + bytesPerSample, bytesPerSample);
    }
  }
}

ChannelCopyFunction SelectChannelCopy(unsigned bytesPerSample) {
  switch (bytesPerSample) {
    case 1: return CopyChannels8;
    case 2: return CopyChannels16;
    case 3: return CopyChannels24;
    case 4: return CopyChannels32;
    default: return nullptr;
  }
}

void ApplyChannelCopy(std::span<std::uint8_t> data, unsigned bitsPerSample, unsigned channels,
                      std::uint8_t mode) {
  if (mode == kChannelStereo || channels <= 1) return;
  const unsigned width = bitsPerSample / 8;
  if (auto fn = SelectChannelCopy(width)) {
    fn(data, mode);
  } else {
    CopyChannelsGeneric(data, width, mode);
  }
}

}  // namespace nivra::player
