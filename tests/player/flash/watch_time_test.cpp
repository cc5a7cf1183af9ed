// Watch-time accounting in virtual time: position notices of a playing movie every 200 ms.

#include "player/flash/watch_time.h"

#include <gtest/gtest.h>

#include "platform/manual_event_loop.h"

namespace nivra::player {
namespace {

// Position notices every `stepMs` for `durationMs` of virtual time; returns how often the stamp
// came due.
int notices(platform::ManualEventLoop& loop, WatchTimeCounter& counter, int stepMs, int durationMs) {
  int stamps = 0;
  for (int t = 0; t < durationMs; t += stepMs) {
    loop.advance(stepMs);
    stamps += counter.OnPositionNotice(loop.tickMs());
  }
  return stamps;
}

TEST(WatchTime, TenMinutesOfNoticesStampOnceAndNeverAgain) {
  platform::ManualEventLoop loop;
  WatchTimeCounter counter;
  EXPECT_EQ(notices(loop, counter, 200, 600000 - 200), 0);
  EXPECT_FALSE(counter.WatchStamped());
  EXPECT_EQ(notices(loop, counter, 200, 200), 1);
  EXPECT_TRUE(counter.WatchStamped());
  EXPECT_EQ(notices(loop, counter, 200, 1200000), 0);
}

TEST(WatchTime, GapsOfTwoSecondsOrMoreDoNotCount) {
  platform::ManualEventLoop loop;
  WatchTimeCounter counter;
  notices(loop, counter, 200, 1000);
  EXPECT_EQ(counter.WatchedMs(), 1000u);
  notices(loop, counter, 2000, 20000);  // a paused movie: notices 2 s apart
  EXPECT_EQ(counter.WatchedMs(), 1000u);
  notices(loop, counter, 1999, 1999);
  EXPECT_EQ(counter.WatchedMs(), 2999u);
  loop.advance(60000);  // a long pause, then playback again
  notices(loop, counter, 200, 1000);
  EXPECT_EQ(counter.WatchedMs(), 2999u + 800u);
  EXPECT_FALSE(counter.WatchStamped());
}

TEST(WatchTime, TwoNoticesAtTheSameTickAddNothing) {
  WatchTimeCounter counter;
  counter.OnPositionNotice(1000);
  counter.OnPositionNotice(1000);
  EXPECT_EQ(counter.WatchedMs(), 1000u);  // the first notice counts from tick 0
  counter.OnPositionNotice(1000);
  EXPECT_EQ(counter.WatchedMs(), 1000u);
}

TEST(WatchTime, TheTickCountMayWrap) {
  WatchTimeCounter counter;
  counter.OnPositionNotice(0xFFFFFF00ull);  // far from 0: not counted
  EXPECT_EQ(counter.WatchedMs(), 0u);
  counter.OnPositionNotice(0x1'00000100ull);  // 512 ms later, past the wrap
  EXPECT_EQ(counter.WatchedMs(), 512u);
}

}  // namespace
}  // namespace nivra::player
