#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/alive_token.h"
#include "platform/manual_event_loop.h"
#include "platform/message.h"

namespace nivra::platform {
namespace {

TEST(ManualEventLoop, TimersFireInDueOrderAndCanStopThemselves) {
  ManualEventLoop loop;
  std::vector<std::string> fired;
  EventLoop::TimerId fast = 0;
  int fastCount = 0;
  fast = loop.startTimer(100, [&] {
    fired.push_back("fast@" + std::to_string(loop.tickMs()));
    if (++fastCount == 3) loop.killTimer(fast);
  });
  loop.startTimer(250, [&] { fired.push_back("slow@" + std::to_string(loop.tickMs())); });
  loop.advance(520);
  EXPECT_EQ(fired,
            (std::vector<std::string>{"fast@100", "fast@200", "slow@250", "fast@300", "slow@500"}));
  EXPECT_EQ(loop.tickMs(), 520u);
  EXPECT_EQ(loop.activeTimers(), 1u);
}

TEST(ManualEventLoop, PostsFromOtherThreadsRunInOrderOnRunPending) {
  ManualEventLoop loop;
  std::vector<int> seen;
  std::thread worker([&] {
    for (int i = 0; i < 100; ++i) loop.post([&seen, i] { seen.push_back(i); });
  });
  worker.join();
  loop.post([&] { loop.post([&] { seen.push_back(1000); }); });  // posted while running
  EXPECT_EQ(loop.runPending(), 102u);
  ASSERT_EQ(seen.size(), 101u);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(seen[static_cast<std::size_t>(i)], i);
  EXPECT_EQ(seen.back(), 1000);
}

class Recorder final : public MessageTarget {
 public:
  using MessageTarget::MessageTarget;
  std::intptr_t handleMessage(const Message& msg) override {
    ids.push_back(msg.id);
    return msg.wParam * 2;
  }
  std::vector<std::uint32_t> ids;
};

TEST(MessageTarget, PostQueuesSendAnswersAndDeadTargetsAreSkipped) {
  ManualEventLoop loop;
  auto target = std::make_unique<Recorder>(loop);
  EXPECT_EQ(target->sendMessage({7, 21, 0}), 42);
  target->postMessage({8, 0, 0});
  EXPECT_EQ(target->ids, std::vector<std::uint32_t>{7});
  loop.runPending();
  EXPECT_EQ(target->ids, (std::vector<std::uint32_t>{7, 8}));
  target->postMessage({9, 0, 0});
  target.reset();
  EXPECT_EQ(loop.runPending(), 1u);  // ran, found the target gone, did nothing
}

TEST(AliveToken, GuardedPostsAndWatchesEndWithTheToken) {
  ManualEventLoop loop;
  int runs = 0;
  auto token = std::make_unique<AliveToken>();
  const AliveToken::Watch watch = token->watch();
  loop.post(token->guard([&] { ++runs; }));
  loop.post(token->guard([&] { ++runs; }));
  loop.runPending();
  EXPECT_EQ(runs, 2);
  // Posted from another thread, run after the token went: dropped.
  std::thread([&, fn = token->guard([&] { ++runs; })] { loop.post(fn); }).join();
  EXPECT_TRUE(watch.alive());
  token.reset();
  EXPECT_FALSE(watch.alive());
  EXPECT_EQ(loop.runPending(), 1u);
  EXPECT_EQ(runs, 2);
}

}  // namespace
}  // namespace nivra::platform
