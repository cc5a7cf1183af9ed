#include "platform/window_channel.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <future>
#include <thread>

#include "platform/manual_event_loop.h"
#include "platform/messages.h"
#include "platform/window_frame.h"
#include "tests/support/env_guard.h"
#include "tests/support/temp_dir.h"

namespace nivra::platform {
namespace {
using namespace std::chrono_literals;

// A target on a loop pumped by its own thread, as a window's GUI thread would be.
class PumpedTarget final : public MessageTarget {
 public:
  explicit PumpedTarget(ManualEventLoop& loop) : MessageTarget(loop), loop_(loop) {
    pump_ = std::thread([this] {
      while (!stop_) {
        loop_.runPending();
        std::this_thread::sleep_for(1ms);
      }
    });
  }
  ~PumpedTarget() override {
    stop_ = true;
    pump_.join();
  }
  std::intptr_t handleMessage(const Message& msg) override {
    if (serverGone) handledWithoutServer = true;
    std::lock_guard lock(m_);
    lParams.push_back(msg.id == WM_COPYDATA ? 0 : msg.lParam);
    if (msg.id == WM_COPYDATA) {
      auto* rec = reinterpret_cast<const CopyDataRecord*>(msg.lParam);
      texts.emplace_back(static_cast<const char*>(rec->lpData), rec->cbData);
      dwData = rec->dwData;
    }
    ids.push_back(msg.id);
    return msg.wParam + 1;
  }
  std::vector<std::uint32_t> idsSnapshot() {
    std::lock_guard lock(m_);
    return ids;
  }
  std::mutex m_;
  std::vector<std::uint32_t> ids;
  std::vector<std::string> texts;
  std::vector<std::intptr_t> lParams;
  std::atomic<bool> serverGone{false};
  std::atomic<bool> handledWithoutServer{false};
  std::uint32_t dwData = 99;

 private:
  ManualEventLoop& loop_;
  std::atomic<bool> stop_{false};
  std::thread pump_;
};

class WindowChannelTest : public ::testing::Test {
 protected:
  void SetUp() override { env_.set("XDG_RUNTIME_DIR", dir_.path().string()); }
  test::TempDir dir_;
  test::EnvGuard env_;
};

int rawConnect(const std::filesystem::path& path) {
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::strcpy(addr.sun_path, path.c_str());
  int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

TEST_F(WindowChannelTest, SendPostAndCopyDataReachTheTarget) {
  ManualEventLoop loop;
  PumpedTarget target(loop);
  WindowChannelServer server("TTestForm", target);
  ASSERT_TRUE(server.listening());
  struct stat st {};
  ASSERT_EQ(::stat(windowSocketPath("TTestForm").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);

  auto window = findWindow("TTestForm");
  ASSERT_TRUE(window);
  EXPECT_EQ(sendWindowMessage(*window, {WM_INSTANCE_ACTIVATE, 41, 0}), 42);
  const char text[] = "Nivra://abc";
  EXPECT_EQ(sendCopyData(*window, 0, {5, sizeof text, text}), 1);
  EXPECT_TRUE(postWindowMessage(*window, {WM_CLOSE, 0, 0}));
  for (int i = 0; i < 200 && target.idsSnapshot().size() < 3; ++i) std::this_thread::sleep_for(5ms);
  EXPECT_EQ(target.idsSnapshot(),
            (std::vector<std::uint32_t>{WM_INSTANCE_ACTIVATE, WM_COPYDATA, WM_CLOSE}));
  EXPECT_EQ(target.texts.at(0), std::string(text, sizeof text));  // NUL included
  EXPECT_EQ(target.dwData, 5u);
}

TEST_F(WindowChannelTest, NoListenerMeansNoWindowAndNoHang) {
  EXPECT_FALSE(findWindow("TNobody"));
  // A socket file left by a dead process refuses connections.
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::strcpy(addr.sun_path, windowSocketPath("TStale").c_str());
  int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  ::close(fd);
  ASSERT_TRUE(std::filesystem::exists(windowSocketPath("TStale")));
  EXPECT_FALSE(findWindow("TStale"));
  EXPECT_FALSE(sendWindowMessage(WindowHandle{windowSocketPath("TStale")}, {1, 0, 0}, 500ms));
}

TEST_F(WindowChannelTest, MalformedAndStalledPeersAreDroppedWhileOthersAreServed) {
  ManualEventLoop loop;
  PumpedTarget target(loop);
  WindowChannelServer server("TTestForm", target);
  const auto path = windowSocketPath("TTestForm");

  const std::string badMagic = "XXXX" + std::string(40, '\0');
  ChannelFrame oversized;
  oversized.message = WM_COPYDATA;
  std::string big = encodeFrame(oversized);
  const std::uint32_t huge = kMaxCopyDataBytes + 1;
  std::memcpy(big.data() + 32, &huge, 4);  // claims more than any record may carry
  std::string truncated = encodeFrame(ChannelFrame{false, 5, 1, 2, 0, "abc"});
  truncated.resize(truncated.size() - 2);
  const std::string cases[] = {badMagic, big, truncated};
  for (const std::string& bytes : cases) {
    int fd = rawConnect(path);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL),
              static_cast<ssize_t>(bytes.size()));
    if (&bytes == &cases[2]) ::shutdown(fd, SHUT_WR);  // then the peer hangs up mid-frame
    char reply[16];
    timeval tv{2, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    EXPECT_EQ(::recv(fd, reply, sizeof reply, 0), 0) << "server must close without a reply";
    ::close(fd);
  }
  // A peer that sends half a header and then stalls holds no one up.
  int stalled = rawConnect(path);
  ASSERT_GE(stalled, 0);
  ::send(stalled, "NVWC", 4, MSG_NOSIGNAL);
  auto window = findWindow("TTestForm");
  ASSERT_TRUE(window);
  EXPECT_EQ(sendWindowMessage(*window, {WM_INSTANCE_ACTIVATE, 1, 0}), 2);
  // nothing malformed got through
  EXPECT_EQ(target.idsSnapshot(), std::vector<std::uint32_t>{WM_INSTANCE_ACTIVATE});
  ::close(stalled);
}

TEST_F(WindowChannelTest, AHundredConcurrentSendsAreAllAnswered) {
  ManualEventLoop loop;
  PumpedTarget target(loop);
  WindowChannelServer server("TTestForm", target);
  std::vector<std::future<std::optional<std::int64_t>>> replies;
  for (int i = 0; i < 100; ++i)
    replies.push_back(std::async(std::launch::async, [i] {
      auto window = findWindow("TTestForm");
      return window ? sendWindowMessage(*window, {WM_INSTANCE_ACTIVATE, i, 0}) : std::nullopt;
    }));
  for (int i = 0; i < 100; ++i) EXPECT_EQ(replies[static_cast<std::size_t>(i)].get(), i + 1);
  EXPECT_EQ(target.idsSnapshot().size(), 100u);
}

TEST_F(WindowChannelTest, PeersOfAnotherUserAreRefused) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  ManualEventLoop loop;
  PumpedTarget target(loop);
  WindowChannelServer server("TTestForm", target);
  const auto path = windowSocketPath("TTestForm");
  // Open the folder and socket to everyone so that only the credential check stands in the way.
  ::chmod(dir_.path().c_str(), 0755);
  ::chmod(path.parent_path().c_str(), 0755);
  ::chmod(path.c_str(), 0777);
  pid_t child = ::fork();
  if (child == 0) {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(3);
    auto reply = sendWindowMessage(WindowHandle{path}, {WM_CLOSE, 0, 0}, 2000ms);
    ::_exit(reply ? 1 : 0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the other user's send must not be answered";
  EXPECT_TRUE(target.idsSnapshot().empty());
}

TEST_F(WindowChannelTest, OnlyMessagesThatCrossProcessesAreAccepted) {
  ManualEventLoop loop;
  PumpedTarget target(loop);
  WindowChannelServer server("TTestForm", target);
  auto window = findWindow("TTestForm");
  ASSERT_TRUE(window);
  struct Row {
    std::uint32_t id;
    bool accepted;
  };
  // Messages whose parameters carry addresses, or that the window only sends itself, never
  // come from another process.
  const Row rows[] = {
      {WM_INSTANCE_ACTIVATE, true}, {WM_CLOSE, true},         {WM_STOP_PLAYBACK, true},
      {WM_LIST_READY, false},       {WM_OPEN_PENDING, false}, {WM_SOURCES_READY, false},
      {WM_GRAPH_EVENT, false},      {WM_UDP_READ, false},     {WM_LEFT_XML_READY, false},
      {WM_TREE_RELOAD, false},      {WM_HOTKEY, false},       {77, false}};
  std::vector<std::uint32_t> expected;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.id);
    const auto reply = sendWindowMessage(*window, {row.id, 41, 0x7fff0000}, 2000ms);
    EXPECT_EQ(reply, row.accepted ? std::optional<std::int64_t>(42) : std::nullopt);
    EXPECT_TRUE(postWindowMessage(*window, {row.id, 41, 0x7fff0000}));  // a post has no answer
    if (row.accepted) expected.insert(expected.end(), {row.id, row.id});
  }
  const char text[] = "x";
  EXPECT_EQ(sendCopyData(*window, 0, {0, sizeof text, text}), 1);
  expected.push_back(WM_COPYDATA);
  for (int i = 0; i < 400 && target.idsSnapshot().size() < expected.size(); ++i)
    std::this_thread::sleep_for(5ms);
  EXPECT_EQ(target.idsSnapshot(), expected);
  std::lock_guard lock(target.m_);
  EXPECT_EQ(target.lParams.size(), expected.size());
  for (std::size_t i = 0; i + 1 < target.lParams.size(); ++i)
    EXPECT_EQ(target.lParams[i], 0) << "an address from another process reached the window";
}

TEST_F(WindowChannelTest, DestroyingTheServerWithFramesInFlightIsSafe) {
  ManualEventLoop loop;
  PumpedTarget target(loop);
  std::atomic<bool> sending{true};
  std::vector<std::thread> senders;
  for (int t = 0; t < 6; ++t)
    senders.emplace_back([&sending, t] {
      const WindowHandle window{windowSocketPath("TTestForm")};
      while (sending) {
        if (t % 2)
          postWindowMessage(window, {WM_INSTANCE_ACTIVATE, t, 0});
        else
          sendWindowMessage(window, {WM_INSTANCE_ACTIVATE, t, 0}, 500ms);
      }
    });
  for (int round = 0; round < 60; ++round) {
    auto server = std::make_unique<WindowChannelServer>("TTestForm", target);
    ASSERT_TRUE(server->listening());
    const std::size_t before = target.idsSnapshot().size();
    for (int i = 0; i < 200 && target.idsSnapshot().size() < before + 3; ++i)
      std::this_thread::sleep_for(1ms);
    // Destroyed here on this thread while frames are being read and handled on the others.
    server.reset();
    target.serverGone = true;
    loop.post([] {});
    std::this_thread::sleep_for(2ms);
    EXPECT_FALSE(target.handledWithoutServer.load()) << "round " << round;
    target.serverGone = false;
  }
  sending = false;
  for (auto& t : senders) t.join();
  EXPECT_GT(target.idsSnapshot().size(), 60u);
}

TEST_F(WindowChannelTest, AListenerOfAnotherUserIsNotTalkedTo) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  test::TempDir open;
  ::chmod(open.path().c_str(), 0777);
  const auto path = open / "impostor.sock";
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  pid_t child = ::fork();
  if (child == 0) {
    // A process of another user listens where the window would and answers everything.
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(3);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strcpy(addr.sun_path, path.c_str());
    int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 8) != 0)
      ::_exit(4);
    [[maybe_unused]] auto w = ::write(ready[1], "k", 1);
    for (;;) {
      int c = ::accept(fd, nullptr, nullptr);
      char buf[kFrameHeaderSize];
      std::size_t got = 0;
      while (got < sizeof buf) {
        ssize_t n = ::recv(c, buf + got, sizeof buf - got, 0);
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
      }
      const std::string reply = encodeReply(1);
      [[maybe_unused]] auto s = ::send(c, reply.data(), reply.size(), MSG_NOSIGNAL);
      ::close(c);
    }
  }
  char c = 0;
  ASSERT_EQ(::read(ready[0], &c, 1), 1);
  const WindowHandle impostor{path};
  EXPECT_EQ(sendWindowMessage(impostor, {WM_INSTANCE_ACTIVATE, 0, 0}, 2000ms), std::nullopt);
  const char text[] = "Nivra://secret";
  EXPECT_EQ(sendCopyData(impostor, 0, {0, sizeof text, text}, 2000ms), std::nullopt);
  EXPECT_FALSE(postWindowMessage(impostor, {WM_CLOSE, 0, 0}));
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
}

TEST(WindowFrame, ParsesWholeFramesAndRejectsBadOnes) {
  ChannelFrame f{false, WM_COPYDATA, -3, 9, 17, std::string("x\0y", 3)};
  const std::string bytes = encodeFrame(f);
  auto span = [](const std::string& s) {
    return std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
  };
  for (std::size_t cut = 0; cut < bytes.size(); ++cut)
    EXPECT_EQ(parseFrame(span(bytes.substr(0, cut))).status, FrameStatus::NeedMore) << cut;
  auto whole = parseFrame(span(bytes + "trailing"));
  ASSERT_EQ(whole.status, FrameStatus::Complete);
  EXPECT_EQ(whole.consumed, bytes.size());
  EXPECT_EQ(whole.frame.message, WM_COPYDATA);
  EXPECT_EQ(whole.frame.wParam, -3);
  EXPECT_EQ(whole.frame.dwData, 17u);
  EXPECT_EQ(whole.frame.data, std::string("x\0y", 3));

  std::string badVersion = bytes;
  badVersion[4] = 2;
  std::string badKind = bytes;
  badKind[5] = 7;
  for (const std::string& bad : {std::string("NVX"), badVersion, badKind})
    EXPECT_EQ(parseFrame(span(bad)).status, FrameStatus::Bad);
  EXPECT_EQ(parseReply(span(encodeReply(-5))), -5);
  EXPECT_FALSE(parseReply(span(std::string("NVWQ") + std::string(8, '\0'))));
}

}  // namespace
}  // namespace nivra::platform
