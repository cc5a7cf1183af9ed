#include "net/async_execute.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

#include "net/background_tasks.h"

namespace nivra::net {
namespace {

using namespace std::chrono_literals;

TEST(AsyncExecute, RunsFunctionThenCompletionOnTheWorker) {
  BackgroundTasks tasks;
  const auto caller = std::this_thread::get_id();
  std::thread::id workThread, completionThread;
  std::string received;
  std::int32_t result = -1;
  void* context = nullptr;
  int node = 0;
  AsyncExecute(
      [&](std::string text, std::intptr_t two) {
        workThread = std::this_thread::get_id();
        received = text + ":" + std::to_string(two);
        return 7;
      },
      "Tree.js", 2,
      [&](std::int32_t r, void* ctx) {
        completionThread = std::this_thread::get_id();
        result = r;
        context = ctx;
      },
      &node, tasks);
  ASSERT_TRUE(tasks.waitIdle(5s));
  EXPECT_EQ(received, "Tree.js:2");
  EXPECT_EQ(result, 7);
  EXPECT_EQ(context, &node);
  EXPECT_NE(workThread, caller);
  EXPECT_EQ(workThread, completionThread);
}

TEST(AsyncExecute, RaisingFunctionCompletesWithZeroAndMissingFunctionSkipsCompletion) {
  BackgroundTasks tasks;
  std::atomic<int> completions = 0;
  std::atomic<int> lastResult = -1;
  auto completion = [&](std::int32_t r, void*) {
    lastResult = r;
    ++completions;
    throw std::runtime_error("swallowed as well");
  };
  AsyncExecute([](std::string, std::intptr_t) -> std::int32_t { throw std::runtime_error("x"); },
               "", 0, completion, nullptr, tasks);
  ASSERT_TRUE(tasks.waitIdle(5s));
  EXPECT_EQ(completions, 1);
  EXPECT_EQ(lastResult, 0);

  AsyncExecute(nullptr, "", 0, completion, nullptr, tasks);
  AsyncExecute([](std::string, std::intptr_t) { return 1; }, "", 0, nullptr, nullptr, tasks);
  ASSERT_TRUE(tasks.waitIdle(5s));
  EXPECT_EQ(completions, 1);
}

TEST(BackgroundTasks, StopAndJoinWakesSleepersAndRefusesNewWork) {
  BackgroundTasks tasks;
  std::atomic<bool> sleptWhole = true;
  for (int i = 0; i < 3; ++i)
    ASSERT_TRUE(tasks.start([&](std::stop_token stop) {
      if (!BackgroundTasks::sleepFor(stop, 60s)) sleptWhole = false;
    }));
  EXPECT_EQ(tasks.running(), 3u);
  tasks.stopAndJoin();
  EXPECT_EQ(tasks.running(), 0u);
  EXPECT_FALSE(sleptWhole);
  std::atomic<bool> ran = false;
  EXPECT_FALSE(tasks.start([&](std::stop_token) { ran = true; }));
  EXPECT_FALSE(ran);
}

TEST(BackgroundTasks, FinishedWorkersAreReapedAndExceptionsSwallowed) {
  BackgroundTasks tasks;
  for (int i = 0; i < 50; ++i)
    ASSERT_TRUE(tasks.start([](std::stop_token) { throw std::runtime_error("ignored"); }));
  EXPECT_TRUE(tasks.waitIdle(10s));
  EXPECT_EQ(tasks.running(), 0u);
}

}  // namespace
}  // namespace nivra::net
