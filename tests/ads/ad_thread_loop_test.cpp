// The scheduler's own loop thread: posted work and timers run on it, and its end joins it.

#include "ads/ad_thread_loop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

namespace nivra::ads {
namespace {

using namespace std::chrono_literals;

TEST(ThreadEventLoop, RunsPostsAndTimersOnItsOwnThreadUntilKilled) {
  std::atomic<int> ticks{0};
  std::promise<std::thread::id> postedOn;
  std::promise<void> fiveTicks;
  int ticksAtKill = 0;
  {
    ThreadEventLoop loop;
    loop.post([&] { postedOn.set_value(std::this_thread::get_id()); });
    const auto id = loop.startTimer(2, [&] {
      if (++ticks == 5) fiveTicks.set_value();
    });
    const auto loopThread = postedOn.get_future().get();
    EXPECT_NE(loopThread, std::this_thread::get_id());
    ASSERT_EQ(fiveTicks.get_future().wait_for(10s), std::future_status::ready);
    std::promise<void> killed;
    loop.post([&] {
      loop.killTimer(id);
      ticksAtKill = ticks;
      killed.set_value();
    });
    killed.get_future().wait();
    std::this_thread::sleep_for(20ms);  // ten periods of the killed timer
  }
  EXPECT_GE(ticksAtKill, 5);
  EXPECT_EQ(ticks.load(), ticksAtKill);
}

}  // namespace
}  // namespace nivra::ads
