// Volume levels, the Flash movie's layout, the logo's place, the resolver's duration, sources
// that are URIs and character cuts.

#include "player/player_arithmetic.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace nivra::player {
namespace {

TEST(GraphVolumeLevelTest, LogarithmicAndLinearMappings) {
  struct Case {
    int volume;
    int logarithmic;
    int linear;
  };
  const Case cases[] = {{0, -10000, -10000}, {1, -4989, -9900}, {10, -2499, -9000},
                        {50, -752, -5000},   {99, -11, -100},   {100, 0, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.volume);
    EXPECT_EQ(GraphVolumeLevel(c.volume, false, true), c.logarithmic);
    EXPECT_EQ(GraphVolumeLevel(c.volume, false, false), c.linear);
    EXPECT_EQ(GraphVolumeLevel(c.volume, true, true), -10000);
    EXPECT_EQ(GraphVolumeLevel(c.volume, true, false), -10000);
  }
  // The logarithmic curve never leaves the range and never falls as the volume rises.
  int previous = -10000;
  for (int v = 0; v <= 100; ++v) {
    const int level = GraphVolumeLevel(v, false, true);
    EXPECT_GE(level, previous);
    EXPECT_LE(level, 0);
    previous = level;
  }
}

TEST(ClampVolumeTest, KeepsZeroToHundred) {
  EXPECT_EQ(ClampVolume(150), 100);
  EXPECT_EQ(ClampVolume(-5), 0);
  EXPECT_EQ(ClampVolume(42), 42);
}

TEST(FlashMovieBoundsTest, FillsHeightOrWidthKeepingTheAspect) {
  struct Case {
    Size control, host, media;
    std::optional<Rect> bounds;
  };
  const Case cases[] = {
      // wider control than picture: full height, centred horizontally
      {{800, 300}, {800, 300}, {640, 360}, Rect{134, 0, 533, 300}},
      // narrower control: full width, centred vertically
      {{400, 300}, {800, 600}, {640, 360}, Rect{0, 75, 800, 450}},
      // equal ratios take the width branch
      {{320, 240}, {320, 240}, {320, 240}, Rect{0, 0, 320, 240}},
      // divisions truncate toward zero (negative offsets too)
      {{100, 100}, {100, 100}, {3, 7}, Rect{29, 0, 42, 100}},
      {{10, 100}, {10, 100}, {7, 1}, Rect{0, 50, 10, 1}},
      // a control without height counts as wider than any picture
      {{320, 0}, {320, 0}, {320, 240}, Rect{160, 0, 0, 0}},
      // unknown picture size: no layout
      {{320, 240}, {320, 240}, {320, 0}, std::nullopt},
      {{0, 240}, {320, 240}, {0, 240}, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.control.width << "x" << c.control.height << " "
                                    << c.media.width << "x" << c.media.height);
    EXPECT_EQ(FlashMovieBounds(c.control, c.host, c.media), c.bounds);
  }
}

TEST(LogoPlacementTest, CentresBothWaysEvenWhenTheLogoIsLarger) {
  EXPECT_EQ(LogoPlacement({320, 240}, {100, 50}), (Rect{110, 95, 100, 50}));
  EXPECT_EQ(LogoPlacement({100, 100}, {301, 120}), (Rect{100, 10, 301, 120}));
}

TEST(ResolverDurationMsTest, RoundsHalfToEvenAndKeepsTheLow32Bits) {
  struct Case {
    double seconds;
    std::uint32_t ms;
  };
  const Case cases[] = {
      {0, 0},
      {12.3456, 12346},
      {0.0625, 62},   // 62.5 ms: half to even
      {0.1875, 188},  // 187.5 ms
      {4294967.295, 4294967295u},
      {4294967.296, 0},   // 2^32 ms wraps
      {5e6, 705032704u},  // 5e9 ms
      {-1, 4294966296u},  // -1000 ms
      {-0.0004, 0},
      {std::numeric_limits<double>::quiet_NaN(), 0},
      {std::numeric_limits<double>::infinity(), 0},
      {-std::numeric_limits<double>::infinity(), 0},
      {1e300, 0},
      {-1e300, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.seconds);
    EXPECT_EQ(ResolverDurationMs(c.seconds), c.ms);
  }
}

TEST(IsMediaUriTest, SchemeWithSlashesOrFileIsAUriAnythingElseAPath) {
  struct Case {
    const char* source;
    bool uri;
  };
  const Case cases[] = {
      {"http://h/a.mp4", true},
      {"rtsp://h:554/s", true},
      {"mms://h/a", true},
      {"file:///tmp/a.wav", true},
      {"FILE:/tmp/a.wav", true},
      {"svn+ssh://h/x", true},
      {"my:clip.wav", false},
      {"a:b", false},
      {"C:/films/a.mp4", false},
      {"c:\\films\\a.mp4", false},
      {"C://films/a.mp4", false},
      {"clip.wav", false},
      {"/tmp/x:y.wav", false},
      {"dir/my:clip.wav", false},
      {"1ab://h", false},
      {"file:clip.wav", false},
      {"", false},
      {"://h/a", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsMediaUri(c.source), c.uri) << c.source;
}

TEST(FirstCharactersTest, CountsCharactersNotBytes) {
  EXPECT_EQ(FirstCharacters("abc", 2), "ab");
  EXPECT_EQ(FirstCharacters("abc", 5), "abc");
  EXPECT_EQ(FirstCharacters("\u00e9\u4e2d\U0001F3ACz", 3), "\u00e9\u4e2d\U0001F3AC");
  EXPECT_EQ(FirstCharacters("\u00e9\u4e2d", 0), "");
}

}  // namespace
}  // namespace nivra::player
