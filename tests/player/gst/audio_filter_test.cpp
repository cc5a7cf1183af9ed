// The media-type check and the channel copy, as plain functions.

#include "player/gst/audio_filter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <numeric>
#include <vector>

namespace nivra::player {
namespace {

TEST(CheckInputTypeTest, DecidesInTheFilterOrder) {
  struct Case {
    const char* what;
    AudioMediaType type;
    std::uint32_t result;
  };
  const Case cases[] = {
      {"16-bit stereo PCM", {true, true, kWaveFormatPcm, 2, 16}, kTypeAccepted},
      {"8-bit mono PCM", {true, true, kWaveFormatPcm, 1, 8}, kTypeAccepted},
      {"24-bit PCM", {true, true, kWaveFormatPcm, 2, 24}, kTypeAccepted},
      {"32-bit float", {true, true, kWaveFormatIeeeFloat, 2, 32}, kTypeAccepted},
      {"AC-3 over S/PDIF", {true, true, kWaveFormatDolbyAc3Spdif, 2, 16}, kTypeAccepted},
      {"6-channel extensible", {true, true, kWaveFormatExtensible, 6, 16}, kTypeAccepted},
      {"6-channel plain PCM", {true, true, kWaveFormatPcm, 6, 16}, VFW_E_INVALIDMEDIATYPE},
      {"MPEG layer 3", {true, true, kWaveFormatMpegLayer3, 2, 0}, VFW_E_TYPE_NOT_ACCEPTED},
      {"MPEG layer 3 with 16 bits", {true, true, kWaveFormatMpegLayer3, 2, 16},
       VFW_E_TYPE_NOT_ACCEPTED},
      {"64-bit float", {true, true, kWaveFormatIeeeFloat, 2, 64}, VFW_E_TYPE_NOT_ACCEPTED},
      {"12-bit PCM", {true, true, kWaveFormatPcm, 2, 12}, VFW_E_TYPE_NOT_ACCEPTED},
      {"not a wave format", {true, false, kWaveFormatPcm, 2, 16}, VFW_E_TYPE_NOT_ACCEPTED},
      {"video major type", {false, true, kWaveFormatPcm, 2, 16}, VFW_E_TYPE_NOT_ACCEPTED},
      // the channel rule comes before the major type
      {"6 channels of video", {false, true, kWaveFormatPcm, 6, 16}, VFW_E_INVALIDMEDIATYPE},
      // the format block rule comes first of all
      {"6 channels, no wave format", {true, false, kWaveFormatPcm, 6, 16},
       VFW_E_TYPE_NOT_ACCEPTED},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CheckInputType(c.type), c.result) << c.what;
  }
}

// Interleaved test frames: sample k of channel ch has the bytes (frame * 16 + ch) * 7 + byte.
std::vector<std::uint8_t> frames(unsigned width, unsigned channels, unsigned count) {
  std::vector<std::uint8_t> data(width * channels * count);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 7 + 3);
  return data;
}

// The copy by its defining rule, byte by byte over whole pairs.
std::vector<std::uint8_t> byRule(std::vector<std::uint8_t> data, unsigned s, std::uint8_t mode) {
  for (std::size_t f = 0; f + 2 * s <= data.size(); f += 2 * s) {
    for (unsigned j = 0; j < s; ++j) {
      if (mode == kChannelLeftToRight) data[f + s + j] = data[f + j];
      if (mode == kChannelRightToLeft) data[f + j] = data[f + s + j];
    }
  }
  return data;
}

TEST(ChannelCopyTest, EveryWidthAndModeFollowsTheByteRule) {
  for (unsigned bits : {8u, 16u, 24u, 32u}) {
    for (unsigned channels : {2u, 6u, 3u}) {
      for (std::uint8_t mode : {kChannelStereo, kChannelLeftToRight, kChannelRightToLeft,
                                std::uint8_t{7}}) {
        SCOPED_TRACE(testing::Message() << bits << " bits, " << channels << " channels, mode "
                                        << int(mode));
        const auto input = frames(bits / 8, channels, 37);
        auto data = input;
        ApplyChannelCopy(data, bits, channels, mode);
        EXPECT_EQ(data, byRule(input, bits / 8, mode));
      }
    }
  }
}

TEST(ChannelCopyTest, StereoSixteenBitFramesByValue) {
  std::vector<std::int16_t> samples = {100, -200, 300, -400};
  std::vector<std::uint8_t> bytes(samples.size() * 2);
  std::memcpy(bytes.data(), samples.data(), bytes.size());
  ApplyChannelCopy(bytes, 16, 2, kChannelLeftToRight);
  std::memcpy(samples.data(), bytes.data(), bytes.size());
  EXPECT_EQ(samples, (std::vector<std::int16_t>{100, 100, 300, 300}));
  samples = {100, -200, 300, -400};
  std::memcpy(bytes.data(), samples.data(), bytes.size());
  ApplyChannelCopy(bytes, 16, 2, kChannelRightToLeft);
  std::memcpy(samples.data(), bytes.data(), bytes.size());
  EXPECT_EQ(samples, (std::vector<std::int16_t>{-200, -200, -400, -400}));
}

TEST(ChannelCopyTest, MonoIsUntouchedInEveryMode) {
  const auto input = frames(2, 1, 64);
  for (std::uint8_t mode : {kChannelLeftToRight, kChannelRightToLeft}) {
    auto data = input;
    ApplyChannelCopy(data, 16, 1, mode);
    EXPECT_EQ(data, input);
  }
}

TEST(ChannelCopyTest, PartialTrailingPairAndUnalignedBuffersStayInBounds) {
  // 3 whole 24-bit pairs and 4 bytes of a fourth: the tail is left alone, nothing is written
  // past the data.
  std::vector<std::uint8_t> buffer(1 + 22 + 8, 0xEE);
  std::span<std::uint8_t> data(buffer.data() + 1, 22);
  std::iota(data.begin(), data.end(), 1);
  ApplyChannelCopy(data, 24, 2, kChannelLeftToRight);
  const std::vector<std::uint8_t> expected = {1,  2,  3,  1,  2,  3,  7,  8,  9,  7,  8,
                                              9,  13, 14, 15, 13, 14, 15, 19, 20, 21, 22};
  EXPECT_EQ(std::vector<std::uint8_t>(data.begin(), data.end()), expected);
  EXPECT_EQ(buffer[0], 0xEE);
  for (std::size_t i = 23; i < buffer.size(); ++i) EXPECT_EQ(buffer[i], 0xEE);
}

TEST(ChannelCopyTest, LargeBufferIsProcessedOverItsWholeLength) {
  const auto input = frames(2, 2, 70000);  // 280000 bytes, well past 65535
  auto data = input;
  ApplyChannelCopy(data, 16, 2, kChannelRightToLeft);
  EXPECT_EQ(data, byRule(input, 2, kChannelRightToLeft));
}

TEST(ChannelCopyTest, WiderSamplesUseTheGenericCopy) {
  const auto input = frames(8, 2, 9);
  auto data = input;
  ApplyChannelCopy(data, 64, 2, kChannelLeftToRight);
  EXPECT_EQ(data, byRule(input, 8, kChannelLeftToRight));
  EXPECT_EQ(SelectChannelCopy(8), nullptr);
}

}  // namespace
}  // namespace nivra::player
