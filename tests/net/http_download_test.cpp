// The HTTP download against python's http.server and a scripted server on 127.0.0.1.

#include "net/http_download.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "net/download_file.h"
#include "platform/error.h"
#include "tests/support/env_guard.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_process.h"

namespace nivra::net {
namespace {

using test::readFile;

class HttpDownloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    env.set("no_proxy", "*");
    ASSERT_NE(scripted.port, 0);
  }
  std::string at(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(scripted.port) + path;
  }
  test::EnvGuard env;
  test::TempDir local;
  test::ScriptServer scripted{"http_scripted.py", {}};
};

TEST_F(HttpDownloadTest, StaticServerFileArrivesWhole) {
  test::TempDir root;
  std::string content(300 * 1024, '\0');
  std::mt19937 rng(7);
  for (auto& c : content) c = static_cast<char>(rng());
  root.write("media/file.bin", content);
  test::TestProcess server("/usr/bin/python3", {"-u", "-m", "http.server", "0", "--bind",
                                                "127.0.0.1", "--directory", root.path().string()});
  const auto banner = server.waitFor("Serving HTTP on 127.0.0.1 port");
  ASSERT_TRUE(banner.has_value());
  const std::string port = banner->substr(0, banner->find(' '));

  const auto target = local / "file.bin";
  EXPECT_TRUE(DownloadFile("HTTP://127.0.0.1:" + port + "/media/file.bin", target));
  EXPECT_EQ(readFile(target), content);
  // Its error page carries a Content-Length, so it is stored like any file.
  EXPECT_TRUE(DownloadFile("http://127.0.0.1:" + port + "/missing.bin", local / "missing.bin"));
  EXPECT_NE(readFile(local / "missing.bin").find("404"), std::string::npos);
}

TEST_F(HttpDownloadTest, ContentLengthDecidesWhetherTheReplyIsStored) {
  struct Case {
    const char* path;
    bool ok;
    std::optional<std::string> file;
  };
  const Case cases[] = {
      {"/error", true, "<html>not here</html>"},
      {"/empty", true, ""},
      {"/chunked", false, std::nullopt},
      {"/truncated", false, std::nullopt},  // a body cut short is not a file
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    const auto target = local / "out";
    std::filesystem::remove(target);
    EXPECT_EQ(HttpDownload(at(c.path), target), c.ok);
    ASSERT_EQ(std::filesystem::exists(target), c.file.has_value());
    if (c.file) {
      EXPECT_EQ(readFile(target), *c.file);
    }
  }
  // No temporary file is left behind by any of them.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(local.path()), {}), 0);
}

TEST_F(HttpDownloadTest, RedirectsAreFollowedAndOnlyTheFinalReplyIsStored) {
  struct Case {
    const char* path;
    std::optional<std::string> file;  // nullopt: the download fails and leaves no file
  };
  const Case cases[] = {
      {"/moved", "final body"},                // 302 with a body of its own
      {"/dir/relative", "final in dir"},       // 301 to a relative location
      {"/absolute", "final body"},             // 307 to a full URL, chunked redirect body
      {"/to-error", "<html>not here</html>"},  // 303 to a 404 that has a Content-Length
      {"/chain/5", "end of chain"},            // five hops are allowed
      {"/chain/6", std::nullopt},              // six are not
      {"/to-chunked", std::nullopt},           // the final reply has no Content-Length
      {"/to-ftp", std::nullopt},               // only http and https are followed
      {"/no-location", "no location"},         // not a redirect without a Location: stored as is
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    const auto target = local / "out";
    std::filesystem::remove(target);
    EXPECT_EQ(DownloadFile(at(c.path), target), c.file.has_value());
    ASSERT_EQ(std::filesystem::exists(target), c.file.has_value());
    if (c.file) {
      EXPECT_EQ(readFile(target), *c.file);
    }
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(local.path()), {}), 1);
}

TEST_F(HttpDownloadTest, RequestCarriesOnlyHostAndUserAgent) {
  const auto target = local / "headers.txt";
  ASSERT_TRUE(HttpDownload(at("/headers"), target));
  const std::string expected =
      "GET /headers HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(scripted.port) +
      "\nUser-Agent: " + std::string(kHttpUserAgent) + "\n\n";
  EXPECT_EQ(readFile(target), expected);
}

TEST_F(HttpDownloadTest, UnwritableLocalFileRaises) {
  EXPECT_THROW(HttpDownload(at("/error"), local / "no-such-dir" / "x"), nivra::Error);
  // Without a Content-Length nothing is written, so nothing can fail to be written.
  EXPECT_FALSE(HttpDownload(at("/chunked"), local / "no-such-dir" / "x"));
}

TEST(HttpDownloadFailure, RefusedConnectionAndOtherSchemesFail) {
  test::TempDir local;
  EXPECT_FALSE(HttpDownload("http://127.0.0.1:1/x", local / "x"));
  EXPECT_FALSE(DownloadFile("gopher://127.0.0.1/x", local / "x"));
  EXPECT_FALSE(HttpDownload("http://127.0.0.1:1/a\r\nX-Injected: 1", local / "x"));
  EXPECT_FALSE(std::filesystem::exists(local / "x"));
}

}  // namespace
}  // namespace nivra::net
