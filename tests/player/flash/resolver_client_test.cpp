// The resolver client with the real libdecode.so: loading it (and libraries that lack an
// export), a page resolved on a thread of the library, cancelling, and yt-dlp before the page.

#include "player/flash/resolver_client.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "platform/error.h"
#include "platform/process_launcher.h"
#include "tests/support/debug_log.h"
#include "tests/support/env_guard.h"
#include "tests/support/media_fixture.h"

namespace nivra::player {
namespace {

// What a resolver object reported when its completion ran.
struct Resolved {
  bool completed = false;
  std::string text;
  double seconds = 0;
};

// Resolves `url` with a new object of `library`, waiting up to `ms` for the completion.
Resolved resolve(const ResolverLibrary& library, const std::string& url, int ms = 10000) {
  ResolverObject resolver(library);
  std::atomic<bool> done{false};
  resolver.SetCompletion([&] { done = true; });
  resolver.Start(url);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!done && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  Resolved result;
  result.completed = done;
  if (done) {
    result.text = resolver.SourceList();
    result.seconds = resolver.DurationSeconds();
  }
  return result;
}

class ResolverClientTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    site = new test::TempDir;
    site->write("page.html",
                "<html><head><meta property=\"video:duration\" content=\"12.3456\"></head>"
                "<body><video controls><source src=\"media/clip.mp4\" type=\"video/mp4\">"
                "</video><video src=\"/other.mp4\"></video></body></html>");
    site->write("single.html",
                "<html><head><title>One</title></head><body>"
                "<video src=\"clip.mp4\"></video></body></html>");
    site->write("clip.mp4", "not really a film, but yt-dlp does not look inside");
    site->write("nothing.html", "<html><body><p>No film here.</p></body></html>");
    server = new test::LocalWebServer(site->path());
  }
  static void TearDownTestSuite() {
    delete server;
    delete site;
  }
  ResolverClientTest() { env.set("NIVRA_YTDLP", "none"); }

  static test::TempDir* site;
  static test::LocalWebServer* server;
  test::EnvGuard env;
  ResolverLibrary library = ResolverLibrary::Load(NIVRA_BIN_DIR);
};

test::TempDir* ResolverClientTest::site = nullptr;
test::LocalWebServer* ResolverClientTest::server = nullptr;

TEST(ResolverLibraryLoad, MissingLibraryRaisesTheLoaderText) {
  test::TempDir empty;
  try {
    ResolverLibrary::Load(empty.path());
    FAIL() << "loaded a library that is not there";
  } catch (const Error& e) {
    const std::string text = e.what();
    EXPECT_NE(text.find((empty.path() / "libdecode.so").string()), std::string::npos) << text;
    EXPECT_NE(text.find("No such file"), std::string::npos) << text;
  }
}

// Only a library that does not load, or cannot make resolvers, is an error: FreeVideoParam is
// looked up but never called.
TEST(ResolverLibraryLoad, OnlyGetVideoParamIsRequired) {
  struct Case {
    std::string folder;
    bool loads;
    bool hasFree;
  };
  const Case cases[] = {{NIVRA_BIN_DIR, true, true},
                        {NIVRA_RESOLVER_STUB_DIR "/resolver_without_free", true, false},
                        {NIVRA_RESOLVER_STUB_DIR "/resolver_without_get", false, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.folder);
    try {
      const ResolverLibrary library = ResolverLibrary::Load(c.folder);
      EXPECT_TRUE(c.loads);
      EXPECT_NE(library.GetVideoParam, nullptr);
      EXPECT_EQ(library.FreeVideoParam != nullptr, c.hasFree);
    } catch (const Error& e) {
      EXPECT_FALSE(c.loads) << e.what();
      EXPECT_NE(std::string(e.what()).find("GetVideoParam"), std::string::npos) << e.what();
    }
  }
}

TEST_F(ResolverClientTest, ResolverObjectCompletesOnAThreadOfTheLibrary) {
  ResolverObject resolver(library);
  std::atomic<bool> done{false};
  std::thread::id completedOn;
  resolver.SetCompletion([&] {
    completedOn = std::this_thread::get_id();
    done = true;
  });
  resolver.Start(server->url("page.html"));
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  ASSERT_TRUE(done);
  EXPECT_NE(completedOn, std::this_thread::get_id());
  EXPECT_EQ(resolver.SourceList(),
            server->url("media/clip.mp4") + "\r\n" + server->url("other.mp4") + "\r\n");
  EXPECT_DOUBLE_EQ(resolver.DurationSeconds(), 12.3456);
}

TEST_F(ResolverClientTest, ResolverObjectMayGoFromInsideItsCompletion) {
  auto resolver = std::make_unique<ResolverObject>(library);
  std::atomic<bool> done{false};
  resolver->SetCompletion([&] {
    resolver.reset();  // the last reference goes on the library's thread
    done = true;
  });
  resolver->Start(server->url("page.html"));
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_TRUE(done);
}

TEST_F(ResolverClientTest, PageWithoutMediaOrUnreadableGivesNoSources) {
  for (const char* page : {"nothing.html", "missing.html"}) {
    SCOPED_TRACE(page);
    const Resolved r = resolve(library, server->url(page));
    ASSERT_TRUE(r.completed);
    EXPECT_EQ(r.text, "");
    EXPECT_EQ(r.seconds, 0);
  }
}

TEST_F(ResolverClientTest, ResolverReleasedBeforeCompletionNeverCallsItsNotice) {
  // A peer that accepts the connection and never answers keeps the resolver busy.
  const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  ASSERT_EQ(::listen(listener, 4), 0);
  socklen_t len = sizeof addr;
  ::getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len);
  const std::string url = "http://127.0.0.1:" + std::to_string(ntohs(addr.sin_port)) + "/slow";
  auto calls = std::make_shared<std::atomic<int>>(0);
  {
    ResolverObject resolver(library);
    resolver.SetCompletion([calls] { ++*calls; });
    resolver.Start(url);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  EXPECT_EQ(*calls, 0);
  ::close(listener);
}

TEST_F(ResolverClientTest, OutputOfYtDlpComesBeforeThePage) {
  // A stand-in program with yt-dlp's output form; the real one is used below when present.
  test::TempDir bin;
  const auto script = bin.write("yt-dlp",
                                "#!/bin/sh\n"
                                "for a in \"$@\"; do last=\"$a\"; done\n"
                                "echo 61.5\necho \"$last\"/resolved.mp4\n");
  std::filesystem::permissions(script, std::filesystem::perms::owner_all);
  env.set("NIVRA_YTDLP", script.string());
  const Resolved r = resolve(library, server->url("nothing.html"));
  ASSERT_TRUE(r.completed);
  EXPECT_EQ(r.text, server->url("nothing.html") + "/resolved.mp4\r\n");
  EXPECT_DOUBLE_EQ(r.seconds, 61.5);
}

TEST_F(ResolverClientTest, InstalledYtDlpResolvesALocalPage) {
  if (platform::findProgram("yt-dlp").empty()) GTEST_SKIP() << "yt-dlp is not installed";
  test::DebugLog log;
  env.set("NIVRA_YTDLP", std::nullopt);
  const Resolved r = resolve(library, server->url("single.html"), 60000);
  ASSERT_TRUE(r.completed);
  EXPECT_EQ(r.text, server->url("clip.mp4") + "\r\n");
  EXPECT_TRUE(log.contains("resolver: yt-dlp found 1 address(es)"));
}

TEST_F(ResolverClientTest, FailingYtDlpFallsBackToThePage) {
  env.set("NIVRA_YTDLP", "/bin/false");
  const Resolved r = resolve(library, server->url("page.html"));
  ASSERT_TRUE(r.completed);
  EXPECT_EQ(r.text.substr(0, server->url("media/clip.mp4").size()), server->url("media/clip.mp4"));
}

}  // namespace
}  // namespace nivra::player
