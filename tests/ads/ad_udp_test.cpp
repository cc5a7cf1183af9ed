// TAdObj against a scripted ad server on 127.0.0.1: the real UDP link, a peer socket in the test,
// passes in virtual time.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <random>
#include <thread>

#include "ads/ad_obj.h"
#include "platform/manual_event_loop.h"
#include "platform/unique_fd.h"
#include "tests/ads/ad_test_support.h"
#include "tests/ads/live_allocations.h"
#include "tests/support/temp_dir.h"
#include "tests/support/udp_peer.h"

namespace nivra::ads {
namespace {

using namespace std::chrono_literals;

class AdServerPeerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::uint16_t peerPort = nivra::test::BindToLoopback(peer.get());
    ASSERT_NE(peerPort, 0);
    link = std::make_unique<UdpAdServerLink>(loop, "127.0.0.1", peerPort);
    dir.write("Heatbeat.ini", "[Heatbeat]\nHeatbeat=60\n");
    obj = std::make_unique<TAdObj>(loop, *link, check, launcher,
                                   AdSchedulerSetup{dir.path(), dir.path(), 0});
    loop.runPending();  // the first pass sends the first heartbeat
    ASSERT_EQ(receiveHeartbeat(), EncodeHeartbeat(0, 0));
  }
  void TearDown() override {
    obj.reset();
    link.reset();
  }

  // The next datagram to the peer; remembers its sender for replies.
  std::array<std::uint8_t, kHeartbeatSize> receiveHeartbeat() {
    std::array<std::uint8_t, kHeartbeatSize> out{};
    pollfd p{peer.get(), POLLIN, 0};
    if (::poll(&p, 1, 10000) != 1) {
      ADD_FAILURE() << "no heartbeat";
      return out;
    }
    std::uint8_t buffer[2048];
    socklen_t len = sizeof client;
    const auto n = ::recvfrom(peer.get(), buffer, sizeof buffer, 0,
                              reinterpret_cast<sockaddr*>(&client), &len);
    EXPECT_EQ(n, static_cast<ssize_t>(kHeartbeatSize));
    std::copy_n(buffer, kHeartbeatSize, out.begin());
    return out;
  }
  bool anotherDatagramWaiting() {
    pollfd p{peer.get(), POLLIN, 0};
    return ::poll(&p, 1, 0) == 1;
  }
  void send(const void* data, std::size_t size) {
    ASSERT_EQ(::sendto(peer.get(), data, size, 0, reinterpret_cast<const sockaddr*>(&client),
                       sizeof client),
              static_cast<ssize_t>(size));
    ++sent;
  }
  template <std::size_t N>
  void send(const std::array<std::uint8_t, N>& bytes) {
    send(bytes.data(), N);
  }
  // Delivers what the peer sent: the client reads every datagram (also the oversized ones,
  // which fail the read) on the loop. Waits for the socket's queue to drain.
  void deliver() {
    for (int idle = 0; idle < 200;) {
      idle = loop.runPending() == 0 ? idle + 1 : 0;
      std::this_thread::sleep_for(1ms);
    }
  }
  std::string file(const char* name) const { return nivra::test::readFile(dir / name); }
  // The heartbeats the peer has received since the last call; each one is checked.
  int takeHeartbeats(const std::array<std::uint8_t, kHeartbeatSize>& expected) {
    int count = 0;
    while (anotherDatagramWaiting()) {
      EXPECT_EQ(receiveHeartbeat(), expected);
      ++count;
    }
    return count;
  }

  nivra::test::TempDir dir;
  platform::ManualEventLoop loop{test::at("2024-03-10 09:00:00")};
  platform::UniqueFd peer{::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)};
  sockaddr_in client{};
  std::unique_ptr<UdpAdServerLink> link;
  test::FixedConnectionCheck check;
  test::RecordingLauncher launcher{loop};
  std::unique_ptr<TAdObj> obj;
  int sent = 0;
};

TEST_F(AdServerPeerTest, HeartbeatsCarryTheIdsAndRepliesAreStoredByteForByte) {
  auto mini = test::miniRecord(5, 2);
  mini.Url[300] = 0xEE;  // beyond the text's end: kept all the same
  auto miniReply = EncodeMiniReply(mini);
  miniReply[2] = 0x12;  // unread header word
  miniReply[3] = 0x34;
  send(miniReply);
  send(EncodeRightReply(test::rightRecord(8)));
  deliver();
  EXPECT_EQ(file("NVRM.dat"), std::string(miniReply.begin() + 4, miniReply.end()));
  const auto right = EncodeRightReply(test::rightRecord(8));
  EXPECT_EQ(file("NVRR.dat"), std::string(right.begin() + 4, right.end()));

  loop.advance(60'000);
  EXPECT_FALSE(anotherDatagramWaiting());
  loop.advance(3'000);
  EXPECT_EQ(receiveHeartbeat(), EncodeHeartbeat(5, 8));
}

TEST_F(AdServerPeerTest, WrongSizeOrTypeIsIgnoredAndARecordOpensOnce) {
  send(EncodeRightReply(test::rightRecord(1)));
  deliver();
  const auto before = file("NVRR.dat");
  auto rightAsMini = EncodeRightReply(test::rightRecord(2));
  rightAsMini[0] = 0x81;
  auto longer = std::vector<std::uint8_t>(538 + 1, 0);
  longer[0] = 0x81;
  longer[1] = 0x05;
  send(rightAsMini);
  send(longer.data(), longer.size());
  send(EncodeRightReply(test::rightRecord(2)).data(), kRightReplySize - 1);
  deliver();
  loop.advance(3'000);
  EXPECT_TRUE(launcher.starts.empty());
  EXPECT_EQ(file("NVRR.dat"), before);
  EXPECT_FALSE(std::filesystem::exists(dir / "NVRM.dat") &&
               file("NVRM.dat") != std::string(534, '\0'));

  for (int i = 0; i < 3; ++i) {
    send(EncodeRightReply(test::rightRecord(2)));
    deliver();
    loop.advance(3'000);
  }
  ASSERT_EQ(launcher.starts.size(), 1u);
  EXPECT_EQ(launcher.starts[0].args.at(0), "/SHOWAD");
}

TEST_F(AdServerPeerTest, HostilePeerChangesNothing) {
  send(EncodeMiniReply(test::miniRecord(9, 0)));
  send(EncodeRightReply(test::rightRecord(9)));
  deliver();
  const auto miniFile = file("NVRM.dat"), rightFile = file("NVRR.dat");
  const auto counters = file("NVRSet.ini");
  const auto state = obj->Snapshot().stored;

  std::mt19937 rng(7);
  std::vector<std::uint8_t> garbage(65000);
  for (auto& b : garbage) b = static_cast<std::uint8_t>(rng());
  const std::size_t sizes[] = {0, 1, 4, 12, 533, 537, 539, 1599, 1600, 1601, 9000, 65000};
  for (int round = 0; round < 20; ++round) {
    for (const auto size : sizes) send(garbage.data(), size);
    // Stale records of the right types: not newer (mini) or not shown (the same right id).
    send(EncodeMiniReply(test::miniRecord(9 - round % 3, 7)));
    deliver();
    loop.advance(3'000);
  }
  EXPECT_EQ(file("NVRM.dat"), miniFile);
  EXPECT_EQ(file("NVRR.dat"), rightFile);
  EXPECT_EQ(file("NVRSet.ini"), counters);
  EXPECT_EQ(obj->Snapshot().stored, state);
  EXPECT_TRUE(launcher.starts.empty());

  // The scheduler still works afterwards.
  send(EncodeRightReply(test::rightRecord(10)));
  deliver();
  loop.advance(3'000);
  EXPECT_EQ(launcher.starts.size(), 1u);
}

// Ten minutes of a silent server, then ten of a flooding one (garbage of every size, stale and
// repeated records, several hundred datagrams a minute): the state, the files and the pop-ups
// stay as they were, the heartbeats keep their interval, and nothing is kept in memory.
TEST_F(AdServerPeerTest, SilentOrFloodingServerForTenMinutesKeepsStateAndMemory) {
  send(EncodeMiniReply(test::miniRecord(9, 0)));
  send(EncodeRightReply(test::rightRecord(9)));
  deliver();
  const std::string files[] = {file("NVRM.dat"), file("NVRR.dat"), file("NVRSet.ini")};
  const auto state = obj->Snapshot().stored;
  const auto heartbeat = EncodeHeartbeat(9, 9);
  takeHeartbeats(heartbeat);

  // Every datagram reaches the link's handler in order; a three-byte marker ends each burst.
  std::size_t markers = 0;
  link->OnReply = [&markers, inner = link->OnReply](std::span<const std::uint8_t> datagram) {
    if (datagram.size() == 3) ++markers;
    inner(datagram);
  };
  std::mt19937 rng(11);
  std::vector<std::uint8_t> garbage(65000);
  const std::size_t sizes[] = {0, 1, 4, 12, 533, 534, 537, 538, 539, 1600, 1601, 9000, 65000};
  auto flood = [&] {
    for (const auto size : sizes) {
      for (auto& b : garbage) b = static_cast<std::uint8_t>(rng());
      send(garbage.data(), size);
    }
    auto wrongType = EncodeMiniReply(test::miniRecord(50, 9));
    wrongType[0] = 0x82;
    send(wrongType);
    send(EncodeMiniReply(test::miniRecord(9, 9)));  // not newer
    send(EncodeRightReply(test::rightRecord(9)));   // the shown one again
    const std::uint8_t marker[3] = {0x81, 0x05, 0};
    send(marker, sizeof marker);
    const std::size_t expected = markers + 1;
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (markers < expected && std::chrono::steady_clock::now() < deadline)
      if (loop.runPending() == 0) std::this_thread::sleep_for(100us);
    ASSERT_EQ(markers, expected) << "a burst did not arrive whole";
  };
  auto rssKiB = [] {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
  };

  constexpr int kPassesInTenMinutes = 200;
  for (const bool flooding : {false, true}) {
    SCOPED_TRACE(flooding ? "flooding" : "silent");
    // A minute first, so that what is made once (buffers, the loop's queues) is made.
    for (int pass = 0; pass < 20; ++pass) {
      if (flooding) {
        ASSERT_NO_FATAL_FAILURE(flood());
      }
      loop.advance(kAdPassIntervalMs);
    }
    takeHeartbeats(heartbeat);
    const auto before = nivra::test::CurrentLiveAllocations();
    const long rssBefore = rssKiB();
    for (int pass = 0; pass < kPassesInTenMinutes; ++pass) {
      if (flooding) {
        ASSERT_NO_FATAL_FAILURE(flood());
      }
      loop.advance(kAdPassIntervalMs);
    }
    const auto after = nivra::test::CurrentLiveAllocations();
    // Heartbeats every 63 s (the first pass after 60 s): 9 or 10 in ten minutes.
    const int heartbeats = takeHeartbeats(heartbeat);
    EXPECT_GE(heartbeats, 9);
    EXPECT_LE(heartbeats, 10);
    EXPECT_EQ(file("NVRM.dat"), files[0]);
    EXPECT_EQ(file("NVRR.dat"), files[1]);
    EXPECT_EQ(file("NVRSet.ini"), files[2]);
    EXPECT_EQ(obj->Snapshot().stored, state);
    EXPECT_TRUE(launcher.starts.empty());
    std::printf("%s: %d datagrams sent so far, %d heartbeats; RSS %ld KiB before, %ld KiB after\n",
                flooding ? "flooding" : "silent", sent, heartbeats, rssBefore, rssKiB());
    if (before && after) {
      EXPECT_LE(after->blocks, before->blocks + 2);
      EXPECT_LE(after->bytes, before->bytes + 4096);
      std::printf("  live blocks %zu -> %zu, bytes %zu -> %zu\n", before->blocks, after->blocks,
                  before->bytes, after->bytes);
    }
  }
}

}  // namespace
}  // namespace nivra::ads
