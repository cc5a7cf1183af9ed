// nivra-tool catalogue, run as a separate process against the scripted catalogue server.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "platform/process_runner.h"
#include "tests/catalogue/catalogue_test_support.h"
#include "tests/support/env_guard.h"

namespace nivra::catalogue::test {
namespace {

using nlohmann::json;

struct ToolRun {
  int status = -1;
  std::string out, err;
};

class CatalogueToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.running());
    dir.write("Servers.ini", "[Servers]\nCatalogue=" + server.host() + "\n");
    env.set("NIVRA_SERVERS", (dir / "Servers.ini").string());
    env.set("XDG_DATA_HOME", (dir / "data").string());
  }

  ToolRun run(std::vector<std::string> args) {
    args.insert(args.begin(), "catalogue");
    auto r = platform::runAndCapture(NIVRA_TOOL_PATH, args).value_or(platform::CapturedRun{});
    return {r.exitCode, std::move(r.out), std::move(r.err)};
  }

  EtagServer server;
  nivra::test::TempDir dir;
  nivra::test::EnvGuard env;
};

TEST_F(CatalogueToolTest, GetPrintsTheDocumentAndCachesIt) {
  server.put("Tree.js", R"({"c":"0"})", "\"t\"");
  ToolRun r = run({"get", "Tree.js"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, R"({"c":"0"})");
  EXPECT_EQ(nivra::test::readFile(dir / "data" / "Nivra" / "Cache" / "Tree.js"), R"({"c":"0"})");
  // Fresh for the next run: no second request.
  EXPECT_EQ(run({"get", "Tree.js"}).out, "{\"c\":\"0\"}\r\n");
  EXPECT_EQ(server.requests().size(), 1u);
}

TEST_F(CatalogueToolTest, TreeExpandsAlbumsWithTheirSubtreeAndGroupsFromTheCache) {
  server.put("Tree.js", json{{"c", "2"},
                             {"arr",
                              {{{"i", 1}, {"t", 1}, {"n", "Series"}, {"c", "2"}},
                               {{"i", 2}, {"t", 0}, {"n", "Films"}, {"c", "5"}}}}}
                            .dump());
  server.put("1.js", json{{"c", "2"},
                          {"arr",
                           {{{"i", 11}, {"t", 2}, {"n", ""}, {"u", "Nivra://e"}},
                            {{"i", 12}, {"t", 0}, {"n", "Extras"}, {"c", "1"}}}}}
                         .dump());
  server.put("12.js",
             json{{"c", "1"}, {"arr", {{{"i", 13}, {"t", 2}, {"n", "Making of"}}}}}.dump());
  server.put("2.js", json{{"c", "1"}, {"arr", {{{"i", 21}, {"t", 2}, {"n", "x"}}}}}.dump());

  ToolRun r = run({"tree", "Tree.js", "--expand", "1", "--expand", "12", "--expand", "2"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "count=2\n"
            "[2] Series|(2)\n"
            "  [-1] 第11集 \n"
            "  [2] Extras|(1)\n"
            "    [-1] Making of \n"
            "[2] Films|(5)\n"
            "  [-1] 正在加载...\n");  // 2.js was never prefetched: the group keeps its placeholder
}

TEST_F(CatalogueToolTest, BadInputExitsNonZeroWithOneLine) {
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{},
                                             {"get"},
                                             {"list", "x"},
                                             {"tree", "Tree.js", "--expand"},
                                             {"tree", "Tree.js", "--expand", "abc"},
                                             {"get", "missing.js"}}) {
    server.put("Tree.js", R"({"c":"0"})");
    ToolRun r = run(args);
    EXPECT_NE(r.status, 0);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  }
  EXPECT_EQ(run({"--help"}).status, 0);
}

}  // namespace
}  // namespace nivra::catalogue::test
