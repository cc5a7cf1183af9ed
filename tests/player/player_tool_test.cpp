// nivra-tool play and channel-copy as processes, on media generated at test time.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

#include "platform/process_runner.h"
#include "tests/player/gst/test_media.h"
#include "tests/support/temp_dir.h"

namespace nivra::player::test {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) out.push_back(l);
  return out;
}

platform::CapturedRun tool(const std::vector<std::string>& args) {
  return platform::runAndCapture(NIVRA_TOOL_PATH, args).value_or(platform::CapturedRun{});
}

// The event lines without the position lines.
std::vector<std::string> events(const platform::CapturedRun& r) {
  std::vector<std::string> out;
  for (const auto& l : lines(r.out)) {
    if (l.rfind("position ", 0) != 0) out.push_back(l);
  }
  return out;
}

class PlayToolTest : public ::testing::Test {
 protected:
  const TestMedia& media = TestMedia::get();
};

TEST_F(PlayToolTest, HeadlessPlaybackPrintsTheEventSequence) {
  const auto r = tool({"play", media.videoWithSound.string(), "--headless", "--no-sync"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  const auto e = events(r);
  ASSERT_EQ(e.size(), 7u) << r.out;
  EXPECT_EQ(e[0], "stop");
  EXPECT_THAT(e[1], StartsWith("open 20"));
  EXPECT_THAT(e[1], ::testing::EndsWith(" 1"));
  EXPECT_EQ(e[2], "video 1 160 120");
  EXPECT_THAT(std::vector<std::string>(e.begin() + 3, e.end()),
              ElementsAre("state psPlay", "end", "state psStop", "stop"));
}

TEST_F(PlayToolTest, OutcomeBySource) {
  struct Case {
    std::filesystem::path source;
    std::string line;
    int exitCode;
  };
  const Case cases[] = {
      {media.soundOnly, "video 0 0 0", 0},
      {media.truncated, "end", 0},
      {media.undecodable, "error 8 ", 2},
      {media.realMedia, "idle", 3},
      {media.folder / "missing.mkv", "error 8 ", 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source.string());
    const auto r = tool({"play", c.source.string(), "--headless", "--no-sync"});
    EXPECT_EQ(r.exitCode, c.exitCode) << r.out << r.err;
    EXPECT_THAT(lines(r.out), Contains(StartsWith(c.line))) << r.out;
  }
}

TEST_F(PlayToolTest, SeekThenPositionsFromThere) {
  const auto r = tool({"play", media.soundOnly.string(), "--headless", "--seek", "1500"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  std::vector<int> positions;
  for (const auto& l : lines(r.out)) {
    int d = 0, p = 0, f = 0;
    if (std::sscanf(l.c_str(), "position %d %d %d", &d, &p, &f) == 3) positions.push_back(p);
  }
  ASSERT_FALSE(positions.empty()) << r.out;
  EXPECT_GE(positions.front(), 1400);
  EXPECT_THAT(lines(r.out), Contains("end"));
}

TEST_F(PlayToolTest, MaxSecondsStopsARealTimePlayback) {
  const auto r =
      tool({"play", media.videoWithSound.string(), "--headless", "--max-seconds", "0.5"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  const auto all = lines(r.out);
  // Stopped half-way through the 2-second item.
  EXPECT_THAT(all, Contains("state psPlay"));
  EXPECT_THAT(all, ::testing::Not(Contains("end")));
  EXPECT_EQ(all.back(), "stop");
}

TEST_F(PlayToolTest, BadArgumentsGiveOneLineAndNonZeroExit) {
  const std::vector<std::vector<std::string>> cases = {
      {"play"},
      {"play", "a.mp4", "--channel", "3"},
      {"play", "a.mp4", "--volume"},
      {"play", "a.mp4", "--seek", "-5"},
      {"play", "a.mp4", "--max-seconds", "0"},
      {"play", "a.mp4", "--frobnicate"},
      {"play", "a.mp4", "b.mp4"},
      {"channel-copy", "3", "in.wav", "out.wav"},
      {"channel-copy", "1", "in.wav"},
      {"channel-copy", "1", "/nonexistent/in.wav", "out.wav"},
  };
  for (const auto& args : cases) {
    SCOPED_TRACE(args.back());
    const auto r = tool(args);
    EXPECT_NE(r.exitCode, 0);
    EXPECT_EQ(lines(r.err).size(), 1u) << r.err;
    EXPECT_TRUE(r.out.empty());
  }
  EXPECT_EQ(tool({"play", "--help"}).exitCode, 0);
  EXPECT_EQ(tool({"channel-copy", "--help"}).exitCode, 0);
}

class ChannelCopyToolTest : public ::testing::Test {
 protected:
  // Interleaved 16-bit samples: channel c of frame f is f * 10 + c.
  static std::vector<std::uint8_t> counting(unsigned channels, unsigned frames) {
    std::vector<std::uint8_t> data(channels * frames * 2);
    for (unsigned f = 0; f < frames; ++f) {
      for (unsigned c = 0; c < channels; ++c) {
        const auto v = static_cast<std::int16_t>(f * 10 + c);
        std::memcpy(&data[(f * channels + c) * 2], &v, 2);
      }
    }
    return data;
  }
  static std::int16_t sample(const std::vector<std::uint8_t>& data, std::size_t i) {
    std::int16_t v;
    std::memcpy(&v, &data[i * 2], 2);
    return v;
  }
  nivra::test::TempDir dir;
};

TEST_F(ChannelCopyToolTest, StereoAndExtensibleSixChannelThroughTheElement) {
  struct Case {
    const char* mode;
    unsigned channels;
    std::uint16_t tag;
    std::uint32_t mask;
  };
  const Case cases[] = {{"1", 2, 1, 0},         {"2", 2, 1, 0},         {"0", 2, 1, 0},
                        {"1", 6, 0xFFFE, 0x3F}, {"2", 6, 0xFFFE, 0x3F}, {"1", 1, 1, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << c.mode << ", " << c.channels << " channels");
    WavFormat format;
    format.channels = static_cast<std::uint16_t>(c.channels);
    format.formatTag = c.tag;
    format.channelMask = c.mask;
    const unsigned frames = 3000;
    const auto input = counting(c.channels, frames);
    WriteWav(dir / "in.wav", format, input);
    const auto r =
        tool({"channel-copy", c.mode, (dir / "in.wav").string(), (dir / "out.wav").string()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "copied S16LE " + std::to_string(c.channels) + " 44100\n");
    WavFormat outFormat;
    std::vector<std::uint8_t> output;
    ASSERT_TRUE(ReadWav(dir / "out.wav", outFormat, output));
    EXPECT_EQ(outFormat.channels, c.channels);
    ASSERT_EQ(output.size(), input.size());
    for (std::size_t i = 0; i + 1 < frames * c.channels; i += 2) {
      if (c.channels == 1) {
        ASSERT_EQ(sample(output, i), sample(input, i));
        continue;
      }
      const auto left = sample(input, i), right = sample(input, i + 1);
      const std::int16_t wantLeft = std::string(c.mode) == "2" ? right : left;
      const std::int16_t wantRight = std::string(c.mode) == "1" ? left : right;
      ASSERT_EQ(sample(output, i), wantLeft) << "sample " << i;
      ASSERT_EQ(sample(output, i + 1), wantRight) << "sample " << i + 1;
    }
  }
}

TEST_F(ChannelCopyToolTest, MpegLayerThreeWaveIsRefusedAndLeavesNoFile) {
  WavFormat format;
  format.formatTag = 0x55;
  format.bitsPerSample = 0;
  std::vector<std::uint8_t> frames(4000, 0xFF);
  WriteWav(dir / "mp3.wav", format, frames);
  const auto r =
      tool({"channel-copy", "1", (dir / "mp3.wav").string(), (dir / "out.wav").string()});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_THAT(r.err, HasSubstr("mp3.wav"));
  EXPECT_FALSE(std::filesystem::exists(dir / "out.wav"));
  EXPECT_FALSE(std::filesystem::exists(dir / "out.wav.partial"));
}

}  // namespace
}  // namespace nivra::player::test
