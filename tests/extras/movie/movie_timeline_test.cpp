// The movie's URL list as one timeline.

#include "extras/movie/movie_timeline.h"

#include <gtest/gtest.h>

namespace nivra::extras {
namespace {

TEST(MovieTimeline, LengthHintsFromTheSegmentUrls) {
  const std::pair<const char*, std::int64_t> cases[] = {
      {"http://h/X_1.mp4?l=300000", 300000}, {"http://h/a?x=1&l=25", 25}, {"http://h/a?l=", 0},
      {"http://h/a?l=abc", 0}, {"http://h/a?ll=5", 0}, {"http://h/a", 0}, {"http://h/a?l=-3", 0}};
  for (const auto& [url, ms] : cases) EXPECT_EQ(segmentLengthHint(url), ms) << url;
}

TEST(MovieTimeline, OffsetsAndLocationsCoverTheWholeList) {
  MovieTimeline t = MovieTimeline::fromList(
      " http://h/1.mp4?l=1000\r\n\r\nhttp://h/2.mp4?l=600\r\nhttp://h/3.mp4?l=800 \r\n");
  ASSERT_EQ(t.size(), 3u);
  EXPECT_EQ(t.totalMs(), 2400);
  EXPECT_EQ(t.offsetOf(2), 1600);
  t.setMeasured(1, 640);  // measured beats the hint
  EXPECT_EQ(t.totalMs(), 2440);
  const std::tuple<std::int64_t, std::size_t, std::int64_t> cases[] = {
      {-5, 0, 0}, {0, 0, 0}, {999, 0, 999}, {1000, 1, 0}, {1639, 1, 639}, {1640, 2, 0},
      {2440, 2, 800}, {9000, 2, 7360}};
  for (const auto& [ms, index, local] : cases) {
    EXPECT_EQ(t.locate(ms), std::make_pair(index, local)) << ms;
  }
}

TEST(MovieTimeline, EmptyListHasNoSegments) {
  MovieTimeline t = MovieTimeline::fromList(" \r\n ");
  EXPECT_TRUE(t.empty());
  EXPECT_EQ(t.totalMs(), 0);
  EXPECT_EQ(t.locate(100), std::make_pair(std::size_t{0}, std::int64_t{0}));
}

}  // namespace
}  // namespace nivra::extras
