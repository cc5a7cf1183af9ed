// TSimpleUdpClient against a UDP peer socket on 127.0.0.1, its notices on a manual loop.

#include "net/simple_udp_client.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <thread>

#include "platform/manual_event_loop.h"
#include "platform/unique_fd.h"
#include "tests/support/debug_log.h"
#include "tests/support/udp_peer.h"

namespace nivra::net {
namespace {

using namespace std::chrono_literals;

struct Received {
  std::string data;
  std::string ip;
  std::uint16_t port;
  std::thread::id thread;
};

class UdpClientTest : public ::testing::Test {
 protected:
  void SetUp() override {
    peerPort = test::BindToLoopback(peer.get());
    ASSERT_NE(peerPort, 0);
    client.OnRead = [this](const std::uint8_t* data, int len, const std::string& ip,
                           std::uint16_t port) {
      reads.push_back(
          {std::string(reinterpret_cast<const char*>(data), static_cast<std::size_t>(len)), ip,
           port, std::this_thread::get_id()});
    };
    client.OnError = [this](TSimpleUdpClient& sender, const std::string& msg) {
      EXPECT_EQ(&sender, &client);
      errors.push_back(msg);
    };
    // The client's port exists only after its first send; the peer learns it from that datagram.
    client.Send("hello", 5, "127.0.0.1", peerPort);
    char buffer[16];
    sockaddr_in from{};
    socklen_t fromLen = sizeof from;
    ASSERT_EQ(::recvfrom(peer.get(), buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from),
                         &fromLen),
              5);
    clientAddr = from;
    EXPECT_EQ(ntohs(from.sin_port), client.LocalPort());
  }
  void reply(const std::string& bytes) {
    ASSERT_EQ(::sendto(peer.get(), bytes.data(), bytes.size(), 0,
                       reinterpret_cast<const sockaddr*>(&clientAddr), sizeof clientAddr),
              static_cast<ssize_t>(bytes.size()));
  }
  // Runs the loop until `n` events arrived, then a little longer to catch extra ones.
  void pump(std::size_t n) {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (reads.size() + errors.size() < n && std::chrono::steady_clock::now() < deadline) {
      loop.runPending();
      std::this_thread::sleep_for(1ms);
    }
    for (int i = 0; i < 50; ++i) {
      loop.runPending();
      std::this_thread::sleep_for(1ms);
    }
  }

  platform::ManualEventLoop loop;
  TSimpleUdpClient client{loop};
  platform::UniqueFd peer{::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)};
  std::uint16_t peerPort = 0;
  sockaddr_in clientAddr{};
  std::vector<Received> reads;
  std::vector<std::string> errors;
};

TEST_F(UdpClientTest, EachDatagramIsOneReadOnTheLoopThread) {
  reply(std::string(538, 'r'));
  pump(1);
  ASSERT_EQ(reads.size(), 1u);
  EXPECT_EQ(reads[0].data, std::string(538, 'r'));
  EXPECT_EQ(reads[0].ip, "127.0.0.1");
  EXPECT_EQ(reads[0].port, peerPort);
  EXPECT_EQ(reads[0].thread, std::this_thread::get_id());

  reply("first");
  reply("second");
  pump(3);
  ASSERT_EQ(reads.size(), 3u);
  EXPECT_EQ(reads[1].data, "first");
  EXPECT_EQ(reads[2].data, "second");
  EXPECT_TRUE(errors.empty());
}

TEST_F(UdpClientTest, DatagramOverTheBufferTakesTheFailurePath) {
  test::DebugLog debug;
  reply(std::string(2000, 'x'));
  reply(std::string(kUdpReceiveBuffer, 'y'));  // exactly the buffer still fits
  pump(2);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], "Message too long");
  EXPECT_TRUE(debug.contains(std::to_string(EMSGSIZE)));
  ASSERT_EQ(reads.size(), 1u);
  EXPECT_EQ(reads[0].data, std::string(kUdpReceiveBuffer, 'y'));
}

TEST_F(UdpClientTest, UnassignedReadDiscardsAndBadAddressesAreQuiet) {
  client.OnRead = nullptr;
  reply("dropped");
  pump(0);
  client.OnRead = [this](const std::uint8_t*, int len, const std::string&, std::uint16_t) {
    reads.push_back({std::string(static_cast<std::size_t>(len), '?'), "", 0, {}});
  };
  reply("kept");
  pump(1);
  ASSERT_EQ(reads.size(), 1u);
  EXPECT_EQ(reads[0].data.size(), 4u);

  client.Send("x", 1, "", 6570);
  client.Send("x", 1, "not an address", 6570);
  client.Send("x", -1, "127.0.0.1", peerPort);
  EXPECT_TRUE(errors.empty());
}

TEST(UdpClient, NoticesStopWithTheClient) {
  platform::ManualEventLoop loop;
  int reads = 0;
  {
    TSimpleUdpClient client(loop);
    client.OnRead = [&](const std::uint8_t*, int, const std::string&, std::uint16_t) { ++reads; };
    client.Send("to self", 7, "127.0.0.1", 9);  // gives it a port
    platform::UniqueFd peer(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(client.LocalPort());
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::sendto(peer.get(), "late", 4, 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    std::this_thread::sleep_for(50ms);  // the watcher has posted its notice by now
  }
  loop.runPending();
  EXPECT_EQ(reads, 0);
}

}  // namespace
}  // namespace nivra::net
