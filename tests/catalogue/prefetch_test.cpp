// Prefetching a subtree of documents from a real catalogue server.

#include "catalogue/prefetch.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tests/catalogue/catalogue_test_support.h"

namespace nivra::catalogue::test {
namespace {

using nlohmann::json;

std::string doc(const json& entries) {
  return json{{"c", std::to_string(entries.size())}, {"arr", entries}}.dump();
}

class PrefetchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.running());
    // 10 holds groups 1 and 3 and an album 2; group 1 holds group 4 and refers back to itself.
    server.put(
        "10.js",
        doc(json::array({{{"i", 1}, {"t", "0"}}, {{"i", 2}, {"t", 1}}, {{"i", 3}, {"t", 0}}})));
    server.put(
        "1.js",
        doc(json::array({{{"i", 4}, {"t", "0"}}, {{"i", 1}, {"t", "0"}}, {{"i", 5}, {"t", 2}}})));
    server.put("4.js", doc(json::array({{{"i", 10}, {"t", "0"}}})));
    // 3.js is missing: its fetch fails and the walk goes on.
  }
  std::vector<std::string> paths() {
    std::vector<std::string> out;
    for (const auto& r : server.requests()) out.push_back(r.path);
    return out;
  }

  EtagServer server;
  CacheFixture fx{server.host()};
};

TEST_F(PrefetchTest, FetchesGroupsDepthFirstOnceEach) {
  EXPECT_EQ(PrefetchSubtree(fx.cache, "10.js"), 3u);
  EXPECT_EQ(paths(), (std::vector<std::string>{"/rjson/10.js", "/rjson/1.js", "/rjson/4.js",
                                               "/rjson/3.js"}));
  EXPECT_TRUE(std::filesystem::exists(fx.cacheFolder() / "4.js"));
  EXPECT_FALSE(std::filesystem::exists(fx.cacheFolder() / "2.js"));
}

TEST_F(PrefetchTest, StopRequestEndsTheWalk) {
  std::stop_source stop;
  stop.request_stop();
  EXPECT_EQ(PrefetchSubtree(fx.cache, "10.js", stop.get_token()), 0u);
  EXPECT_FALSE(std::filesystem::exists(fx.cacheFolder() / "10.js"));
  EXPECT_LE(server.requests().size(), 1u);
}

TEST_F(PrefetchTest, DestroyingTheWorkerAbortsAStalledFetch) {
  server.setDelay("10.js", 60);
  const auto started = std::chrono::steady_clock::now();
  {
    PrefetchWorker worker(fx.cache, fx.loop);
    worker.start("10.js", [] {});
    for (int i = 0; i < 1000 && server.requests().empty(); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_EQ(server.requests().size(), 1u);
  }  // stops and joins the thread
  // Without the abort the join would wait for the server's 60 seconds.
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30));
  EXPECT_FALSE(std::filesystem::exists(fx.cacheFolder() / "10.js"));
}

TEST_F(PrefetchTest, WorkerPostsItsCompletionToTheLoop) {
  int completions = 0;
  {
    PrefetchWorker worker(fx.cache, fx.loop);
    worker.start("10.js", [&] { ++completions; });
    for (int i = 0; i < 1000 && worker.running() > 0; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(worker.running(), 0u);
    EXPECT_EQ(completions, 0);  // nothing runs before the loop does
    fx.loop.runPending();
    EXPECT_EQ(completions, 1);

    worker.start("10.js", [&] { ++completions; });
    for (int i = 0; i < 1000 && worker.running() > 0; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  // The worker is gone: its posted completion no longer runs.
  fx.loop.runPending();
  EXPECT_EQ(completions, 1);
}

}  // namespace
}  // namespace nivra::catalogue::test
