// The cache-first document getter against a real catalogue server on 127.0.0.1.

#include "catalogue/json_cache.h"

#include <gtest/gtest.h>

#include <thread>

#include "catalogue/text_files.h"
#include "tests/catalogue/catalogue_test_support.h"
#include "tests/support/param_name.h"

namespace nivra::catalogue::test {
namespace {

namespace fs = std::filesystem;
using std::chrono::minutes;

constexpr std::int64_t kMinute = 60 * 1000;

class JsonCacheTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(server.running()); }
  std::string storedETag(const std::string& key) {
    return ReadIniText(fx.cacheFolder() / "Cache.dat", "JSON_ETag", key, "<none>");
  }
  fs::file_time_type fileTime(const std::string& name) {
    return fs::last_write_time(fx.cacheFolder() / name);
  }
  fs::file_time_type loopTime() { return std::chrono::file_clock::from_sys(fx.loop.now()); }

  EtagServer server;
  CacheFixture fx{server.host()};
};

TEST_F(JsonCacheTest, FirstRunFetchesWithoutConditionAndStoresBodyAndETag) {
  server.put("Tree.js", R"({"c":"1","arr":[]})", "\"v1\"");
  EXPECT_EQ(fx.cache.GetCatalogueDocument("Tree.js"), R"({"c":"1","arr":[]})");

  auto reqs = server.requests();
  ASSERT_EQ(reqs.size(), 1u);
  EXPECT_EQ(reqs[0].path, "/rjson/Tree.js");
  EXPECT_FALSE(reqs[0].ifNoneMatch.has_value());
  EXPECT_EQ(nivra::test::readFile(fx.cacheFolder() / "Tree.js"), R"({"c":"1","arr":[]})");
  // Stored as received; profile reading gives it back without the quotes.
  EXPECT_EQ(storedETag("Tree.js"), "v1");
  EXPECT_NE(nivra::test::readFile(fx.cacheFolder() / "Cache.dat").find("Tree.js=\"v1\""),
            std::string::npos);
}

struct ETagCase {
  const char* served;    // the ETag header of the server
  const char* expected;  // what the second request must carry
};

void PrintTo(const ETagCase& c, std::ostream* os) { *os << c.served; }

class StoredETagTest : public JsonCacheTest, public ::testing::WithParamInterface<ETagCase> {};

TEST_P(StoredETagTest, StaleFileIsRevalidatedAnd304RenewsIt) {
  server.put("12345.js", "{\"c\":\"2\"}\n", GetParam().served);
  ASSERT_EQ(fx.cache.GetCatalogueDocument("12345.js"), "{\"c\":\"2\"}\n");

  fx.loop.advance(31 * kMinute);
  // The server answers 304 (the tag matches): the cached text comes back, and the file time is
  // renewed so the next half hour makes no request.
  EXPECT_EQ(fx.cache.GetCatalogueDocument("12345.js"), "{\"c\":\"2\"}\r\n");
  auto reqs = server.requests();
  ASSERT_EQ(reqs.size(), 2u);
  EXPECT_EQ(reqs[1].ifNoneMatch, std::optional<std::string>(GetParam().expected));
  EXPECT_EQ(fileTime("12345.js"), loopTime());

  fx.loop.advance(29 * kMinute);
  EXPECT_EQ(fx.cache.GetCatalogueDocument("12345.js"), "{\"c\":\"2\"}\r\n");
  EXPECT_EQ(server.requests().size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(
    Tags, StoredETagTest,
    ::testing::Values(ETagCase{"\"abc123\"", "\"abc123\""}, ETagCase{"abc123", "\"abc123\""},
                      ETagCase{"W/\"weak\"", "W/\"weak\""}, ETagCase{"w/\"weak\"", "w/\"weak\""},
                      ETagCase{"ab", "ab"}, ETagCase{"\"x\"", "x"}),
    [](const auto& info) {
      return std::to_string(info.index) + "_" + nivra::test::CaseName(info.param.served);
    });

TEST_F(JsonCacheTest, FreshFileMakesNoRequestAndChangedDocumentReplacesIt) {
  server.put("7.js", "old", "\"one\"");
  fx.cache.GetCatalogueDocument("7.js");
  server.put("7.js", "new", "\"two\"");
  fx.loop.advance(10 * kMinute);
  EXPECT_EQ(fx.cache.GetCatalogueDocument("7.js"), "old\r\n");
  EXPECT_EQ(server.requests().size(), 1u);

  fx.loop.advance(21 * kMinute);
  EXPECT_EQ(fx.cache.GetCatalogueDocument("7.js"), "new");
  EXPECT_EQ(nivra::test::readFile(fx.cacheFolder() / "7.js"), "new");
  EXPECT_EQ(storedETag("7.js"), "two");
  EXPECT_EQ(server.requests().back().ifNoneMatch, std::optional<std::string>("\"one\""));
}

TEST_F(JsonCacheTest, FullUrlAndBareNameShareOneCacheFile) {
  server.put("55.js", "doc", "\"e\"");
  const std::string full = fx.endpoints.catalogueDocumentPrefix() + "55.js";
  std::string upper = full;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  upper.replace(upper.size() - 5, 5, "55.js");

  EXPECT_EQ(fx.cache.GetCatalogueDocument(full), "doc");
  EXPECT_EQ(fx.cache.GetCatalogueDocument("55.js"), "doc\r\n");
  EXPECT_EQ(fx.cache.GetCatalogueDocument(upper), "doc\r\n");
  EXPECT_EQ(server.requests().size(), 1u);
  EXPECT_EQ(server.requests()[0].path, "/rjson/55.js");
}

TEST_F(JsonCacheTest, RelativePathIsCachedInSubfolderAndKeyedByFileName) {
  server.put("a/b.js", "sub", "\"s\"");
  EXPECT_EQ(fx.cache.GetCatalogueDocument("a/b.js"), "sub");
  EXPECT_EQ(nivra::test::readFile(fx.cacheFolder() / "a" / "b.js"), "sub");
  EXPECT_EQ(server.requests()[0].path, "/rjson/a/b.js");
  EXPECT_EQ(storedETag("b.js"), "s");
}

TEST_F(JsonCacheTest, ReplyWithoutETagStoresEmptyValue) {
  server.put("plain.js", "p");
  EXPECT_EQ(fx.cache.GetCatalogueDocument("plain.js"), "p");
  EXPECT_EQ(storedETag("plain.js"), "");

  // Nothing stored means no condition on the next request.
  fx.loop.advance(31 * kMinute);
  EXPECT_EQ(fx.cache.GetCatalogueDocument("plain.js"), "p");
  EXPECT_FALSE(server.requests().back().ifNoneMatch.has_value());
}

TEST_F(JsonCacheTest, ServerErrorKeepsCachedCopyAndStore) {
  server.put("9.js", "good", "\"g\"");
  fx.cache.GetCatalogueDocument("9.js");
  server.setStatus("9.js", 500);
  fx.loop.advance(31 * kMinute);
  EXPECT_EQ(fx.cache.GetCatalogueDocument("9.js"), "good\r\n");
  EXPECT_EQ(nivra::test::readFile(fx.cacheFolder() / "9.js"), "good");
  EXPECT_EQ(storedETag("9.js"), "g");
  EXPECT_EQ(fileTime("9.js"), loopTime());
}

TEST_F(JsonCacheTest, NamesLeavingTheCacheFolderAreRefusedWithoutRequest) {
  server.put("x.js", "x");
  for (const char* name : {"../x.js", "a/../../x.js", "/etc/passwd", "a//x.js", "./x.js",
                           "..\\x.js", "", "http://elsewhere.example/x.js"}) {
    EXPECT_EQ(fx.cache.GetCatalogueDocument(name), "") << name;
  }
  EXPECT_TRUE(server.requests().empty());
  EXPECT_FALSE(fs::exists(fx.dir / "x.js"));
}

TEST_F(JsonCacheTest, ConcurrentReadersOfOneDocumentCauseOneFetch) {
  const std::string body(1 << 20, 'j');
  server.put("big.js", body, "\"b\"");
  std::vector<std::string> results(8);
  {
    std::vector<std::jthread> threads;
    for (auto& r : results)
      threads.emplace_back([&] { r = fx.cache.GetCatalogueDocument("big.js"); });
  }
  for (const auto& r : results) EXPECT_EQ(r.substr(0, body.size()), body);
  EXPECT_EQ(server.requests().size(), 1u);
}

TEST_F(JsonCacheTest, FetchJsonWithExplicitTagsAndStore) {
  server.put("f.js", "f", "\"tag\"");
  const std::string url = fx.endpoints.catalogueDocument("f.js");
  const fs::path store = fx.dir / "other.dat";

  EXPECT_EQ(fx.cache.FetchJson(url, "0"), "f");  // "0": no condition
  EXPECT_EQ(fx.cache.FetchJson(url, "", store), "f");
  EXPECT_EQ(ReadIniText(store, "JSON_ETag", "f.js", ""), "tag");
  EXPECT_EQ(fx.cache.FetchJson(url, "", store), "");  // stored tag matches: 304 gives nothing
  EXPECT_EQ(fx.cache.FetchJson(url, "mine"), "f");
  EXPECT_EQ(fx.cache.FetchCatalogueJson(url, false), "f");

  auto reqs = server.requests();
  ASSERT_EQ(reqs.size(), 5u);
  EXPECT_FALSE(reqs[0].ifNoneMatch);
  EXPECT_FALSE(reqs[1].ifNoneMatch);
  EXPECT_EQ(reqs[2].ifNoneMatch, std::optional<std::string>("\"tag\""));
  EXPECT_EQ(reqs[3].ifNoneMatch, std::optional<std::string>("\"mine\""));
  EXPECT_FALSE(reqs[4].ifNoneMatch);
}

TEST(JsonCacheOffline, NoNetworkGivesCachedCopyOrNothing) {
  CacheFixture fx;  // nothing listens on its catalogue host
  EXPECT_EQ(fx.cache.GetCatalogueDocument("Tree.js"), "");
  EXPECT_FALSE(fs::exists(fx.cacheFolder() / "Tree.js"));

  fx.putCached("Tree.js", "cached", minutes(45));
  EXPECT_EQ(fx.cache.GetCatalogueDocument("Tree.js"), "cached\r\n");
  EXPECT_EQ(fs::last_write_time(fx.cacheFolder() / "Tree.js"),
            std::chrono::file_clock::from_sys(fx.loop.now()));
}

TEST(QuoteETag, WrapsStrongTagsOnly) {
  EXPECT_EQ(quoteETag("abc"), "\"abc\"");
  EXPECT_EQ(quoteETag("a\"b"), "\"a\"\"b\"");
  EXPECT_EQ(quoteETag("W/\"x\""), "W/\"x\"");
  EXPECT_EQ(quoteETag("ab"), "ab");
  EXPECT_EQ(quoteETag("0"), "0");
  EXPECT_EQ(quoteETag(""), "");
}

}  // namespace
}  // namespace nivra::catalogue::test
