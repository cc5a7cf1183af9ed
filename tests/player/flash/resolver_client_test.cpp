// The resolver client with the real libdecode.so: loading it, a page resolved on the library's
// thread reaching the owner only as WM_SOURCES_READY, cancelling, and the message's handling.

#include "player/resolver_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/error.h"
#include "platform/manual_event_loop.h"
#include "platform/messages.h"
#include "player/flash_media_player.h"
#include "tests/player/flash/fake_movie.h"
#include "tests/player/flash/media_fixture.h"
#include "platform/process_launcher.h"
#include "tests/net/debug_log.h"
#include "tests/support/env_guard.h"

namespace nivra::player {
namespace {

// The player's window as far as the resolver sees it: messages arrive on the test's thread.
class Owner final : public platform::MessageTarget {
 public:
  using MessageTarget::MessageTarget;
  std::intptr_t handleMessage(const platform::Message& msg) override {
    onLoopThread = onLoopThread && std::this_thread::get_id() == loopThread;
    received.push_back(msg);
    return 0;
  }
  std::vector<platform::Message> received;
  std::thread::id loopThread = std::this_thread::get_id();
  bool onLoopThread = true;
};

// Runs posted work until a message arrived or `ms` passed.
bool waitForMessage(platform::ManualEventLoop& loop, Owner& owner, int ms = 10000) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (owner.received.empty() && std::chrono::steady_clock::now() < deadline) {
    loop.runPending();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  loop.runPending();
  return !owner.received.empty();
}

class ResolverClientTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    site = new test::TempDir;
    site->write("page.html",
                "<html><head><meta property=\"video:duration\" content=\"12.3456\"></head>"
                "<body><video controls><source src=\"media/clip.mp4\" type=\"video/mp4\">"
                "</video><video src=\"/other.mp4\"></video></body></html>");
    site->write("single.html", "<html><head><title>One</title></head><body>"
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
  platform::ManualEventLoop loop;
  Owner owner{loop};
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

TEST_F(ResolverClientTest, PageIsResolvedOffTheLoopThreadAndArrivesAsSourcesReady) {
  ASSERT_NE(server->port(), 0);
  WebPageResolver resolver(library, owner);
  resolver.Start(server->url("page.html"));
  EXPECT_TRUE(owner.received.empty());  // nothing is delivered before the loop runs
  ASSERT_TRUE(waitForMessage(loop, owner));
  ASSERT_EQ(owner.received.size(), 1u);
  EXPECT_EQ(owner.received[0].id, platform::WM_SOURCES_READY);
  EXPECT_EQ(owner.received[0].wParam, resolver.Serial());
  EXPECT_TRUE(owner.onLoopThread);
  EXPECT_EQ(resolver.ResolverText(),
            server->url("media/clip.mp4") + "\r\n" + server->url("other.mp4") + "\r\n");
  EXPECT_EQ(resolver.ResolverDurationMs(), 12346u);
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

TEST_F(ResolverClientTest, PageWithoutMediaGivesNoSourcesAndErrorTwentyOne) {
  WebPageResolver resolver(library, owner);
  resolver.Start(server->url("nothing.html"));
  ASSERT_TRUE(waitForMessage(loop, owner));
  EXPECT_EQ(resolver.ResolverText(), "");
  EXPECT_EQ(resolver.ResolverDurationMs(), 0u);

  TFlashMediaPlayer bridge(loop, std::make_unique<test::FakeMovie>(), "/m");
  bridge.Wait = [](int) {};
  std::vector<std::string> errors;
  const auto onError = [&](int code, const std::string& text) {
    errors.push_back(std::to_string(code) + " " + text);
  };
  HandleSourcesReady(resolver.ResolverText(), 0, &bridge, onError);
  EXPECT_EQ(errors, std::vector<std::string>{"21 无法检测到电影源！"});
  HandleSourcesReady(resolver.ResolverText(), 0, nullptr, onError);  // no bridge: ignored
  EXPECT_EQ(errors.size(), 1u);
}

TEST_F(ResolverClientTest, UnreadablePageGivesNoSources) {
  WebPageResolver resolver(library, owner);
  resolver.Start(server->url("missing.html"));
  ASSERT_TRUE(waitForMessage(loop, owner));
  EXPECT_EQ(resolver.ResolverText(), "");
}

TEST_F(ResolverClientTest, ResolverReleasedBeforeCompletionNeverReachesItsOwner) {
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
  {
    WebPageResolver resolver(library, owner);
    resolver.Start(url);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  EXPECT_FALSE(waitForMessage(loop, owner, 500));
  ::close(listener);
}

TEST_F(ResolverClientTest, SourcesGoToTheBridgeWithTheResolverDuration) {
  auto fake = std::make_unique<test::FakeMovie>();
  TFlashMediaPlayer bridge(loop, std::move(fake), "/m");
  bridge.Wait = [](int) {};
  int errors = 0;
  HandleSourcesReady(" \r\n http://h/a.mp4 \r\n\r\nhttp://h/b.mp4\r\n", 95500, &bridge,
                     [&](int, const std::string&) { ++errors; });
  EXPECT_TRUE(bridge.ListLoaded());
  EXPECT_EQ(bridge.UrlListText(), "http://h/a.mp4\r\nhttp://h/b.mp4");
  EXPECT_EQ(bridge.Duration, 95500);
  HandleSourcesReady("", 0, &bridge, [&](int, const std::string&) { ++errors; });
  EXPECT_EQ(errors, 0);  // the bridge holds a list already
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
  WebPageResolver resolver(library, owner);
  resolver.Start(server->url("nothing.html"));
  ASSERT_TRUE(waitForMessage(loop, owner));
  EXPECT_EQ(resolver.ResolverText(), server->url("nothing.html") + "/resolved.mp4\r\n");
  EXPECT_EQ(resolver.ResolverDurationMs(), 61500u);
}

TEST_F(ResolverClientTest, InstalledYtDlpResolvesALocalPage) {
  if (platform::findProgram("yt-dlp").empty()) GTEST_SKIP() << "yt-dlp is not installed";
  test::DebugLog log;
  env.set("NIVRA_YTDLP", std::nullopt);
  WebPageResolver resolver(library, owner);
  resolver.Start(server->url("single.html"));
  ASSERT_TRUE(waitForMessage(loop, owner, 60000));
  EXPECT_EQ(resolver.ResolverText(), server->url("clip.mp4") + "\r\n");
  EXPECT_TRUE(log.contains("resolver: yt-dlp found 1 address(es)"));
}

TEST_F(ResolverClientTest, FailingYtDlpFallsBackToThePage) {
  env.set("NIVRA_YTDLP", "/bin/false");
  WebPageResolver resolver(library, owner);
  resolver.Start(server->url("page.html"));
  ASSERT_TRUE(waitForMessage(loop, owner));
  EXPECT_EQ(resolver.ResolverText().substr(0, server->url("media/clip.mp4").size()),
            server->url("media/clip.mp4"));
}

}  // namespace
}  // namespace nivra::player
