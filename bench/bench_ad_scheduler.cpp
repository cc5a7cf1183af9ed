// The ad scheduler's own cost over an hour of virtual time: TAdObj on a virtual-time loop, the
// real UDP link, and an ad server on another thread that answers every heartbeat with a newer
// right record (so every answer opens a pop-up and saves the state) and every tenth with a newer
// mini record. Prints the CPU time of the thread that runs the passes and replies, the whole
// process's CPU time (the peer included), and the memory before and after.
//
//   bench_ad_scheduler [heartbeat interval in seconds, default -1: every pass]

#include <arpa/inet.h>
#include <malloc.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "ads/ad_obj.h"
#include "platform/date_time.h"
#include "platform/manual_event_loop.h"
#include "platform/unique_fd.h"

namespace {

using namespace nivra;
using namespace std::chrono_literals;

double cpuSeconds(clockid_t clock) {
  timespec t{};
  ::clock_gettime(clock, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

long rssKiB() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

class CountingLauncher final : public ads::PopUpLauncher {
 public:
  bool Start(const std::vector<std::string>&) override {
    ++starts;
    return true;
  }
  int starts = 0;
};

class Connected final : public ads::ConnectionCheck {
 public:
  bool Check() override { return true; }
};

// Answers each heartbeat at once: a right record with the next id, and every tenth time a mini
// record with the next id.
class AnsweringServer {
 public:
  AnsweringServer() : fd_(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0)) {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (::bind(fd_.get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::getsockname(fd_.get(), reinterpret_cast<sockaddr*>(&addr), &len) != 0)
      std::abort();
    port = ntohs(addr.sin_port);
    thread_ = std::jthread([this](std::stop_token stop) { run(stop); });
  }
  std::uint16_t port = 0;
  std::atomic<int> answered{0};  // datagrams sent back
  std::atomic<int> heard{0};     // heartbeats answered; counted after their answers

 private:
  void run(std::stop_token stop) {
    std::uint32_t rightId = 1, miniId = 1;
    while (!stop.stop_requested()) {
      pollfd p{fd_.get(), POLLIN, 0};
      if (::poll(&p, 1, 50) != 1) continue;
      std::uint8_t buffer[2048];
      sockaddr_in from{};
      socklen_t len = sizeof from;
      const auto n =
          ::recvfrom(fd_.get(), buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &len);
      if (n != static_cast<ssize_t>(ads::kHeartbeatSize)) continue;
      auto sendTo = [&](const auto& bytes) {
        ::sendto(fd_.get(), bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&from), len);
      };
      ads::RightRecord right;
      right.Id = ++rightId;
      right.Width = 300;
      right.Height = 200;
      right.Url = ads::UrlFromText("http://127.0.0.1/right" + std::to_string(right.Id) + ".htm");
      right.ShowTime = 5000;
      sendTo(ads::EncodeRightReply(right));
      if (rightId % 10 == 0) {
        ads::MiniRecord mini;
        mini.Id = ++miniId;
        mini.Width = 320;
        mini.Height = 240;
        mini.Url = ads::UrlFromText("http://127.0.0.1/mini.htm");
        mini.MaxPerDay = 50;
        mini.MiniGap = 60;
        sendTo(ads::EncodeMiniReply(mini));
      }
      answered.fetch_add(1 + (rightId % 10 == 0 ? 1 : 0));
      heard.fetch_add(1);
    }
  }
  platform::UniqueFd fd_;
  std::jthread thread_;
};

// The UDP link, counting what goes out and comes in.
class CountingLink final : public ads::AdServerLink {
 public:
  explicit CountingLink(ads::UdpAdServerLink& inner) : inner_(inner) {
    inner_.OnReply = [this](std::span<const std::uint8_t> d) {
      ++replies;
      if (OnReply) OnReply(d);
    };
  }
  void Send(std::span<const std::uint8_t> d) override {
    ++sent;
    inner_.Send(d);
  }
  int sent = 0;
  int replies = 0;

 private:
  ads::UdpAdServerLink& inner_;
};

}  // namespace

int main(int argc, char** argv) {
  const std::string interval = argc > 1 ? argv[1] : "-1";
  char pattern[] = "/tmp/nivra-bench-ads-XXXXXX";
  if (!::mkdtemp(pattern)) return 1;
  const std::filesystem::path dir = pattern;
  std::ofstream(dir / "Heatbeat.ini") << "[Heatbeat]\nHeatbeat=" << interval << "\n";

  AnsweringServer server;
  platform::ManualEventLoop loop(platform::fromDateTime(45361.375));  // 2024-03-10 09:00
  ads::UdpAdServerLink udp(loop, "127.0.0.1", server.port);
  CountingLink link(udp);
  Connected check;
  CountingLauncher launcher;
  {
    ads::TAdObj obj(loop, link, check, launcher, {dir, dir, 0});
    obj.NotifyTrayMode();
    // One pass: advance, then take every answer to the pass's heartbeat.
    auto pass = [&](int ms) {
      loop.advance(ms);
      while (server.heard.load() < link.sent || link.replies < server.answered.load())
        if (loop.runPending() == 0) std::this_thread::sleep_for(20us);
    };
    pass(0);
    for (int i = 0; i < 20; ++i) pass(ads::kAdPassIntervalMs);  // a minute of warming up
    const long rssBefore = rssKiB();
    const auto heapBefore = ::mallinfo2().uordblks;
    const int startsBefore = launcher.starts, sentBefore = link.sent;
    const int repliesBefore = link.replies;
    const double threadBefore = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
    const double processBefore = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
    const auto wallBefore = std::chrono::steady_clock::now();
    constexpr int kPassesInAnHour = 3600 * 1000 / ads::kAdPassIntervalMs;
    for (int i = 0; i < kPassesInAnHour; ++i) pass(ads::kAdPassIntervalMs);
    const double threadCpu = cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - threadBefore;
    const double processCpu = cpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - processBefore;
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
    const long rssAfter = rssKiB();
    const auto heapAfter = ::mallinfo2().uordblks;  // before printf makes stdout's buffer
    std::printf(
        "heartbeat interval %s: %d passes (one hour of virtual time), %d heartbeats, %d "
        "replies, %d pop-ups started\n",
        interval.c_str(), kPassesInAnHour, link.sent - sentBefore, link.replies - repliesBefore,
        launcher.starts - startsBefore);
    std::printf(
        "scheduler thread CPU %.3f s (%.1f us a pass, %.4f%% of one core over a real "
        "hour); process CPU %.3f s; wall %.2f s\n",
        threadCpu, threadCpu / kPassesInAnHour * 1e6, threadCpu / 3600 * 100, processCpu, wall);
    std::printf("memory: RSS %ld -> %ld KiB, heap in use %zu -> %zu bytes\n", rssBefore, rssAfter,
                heapBefore, heapAfter);
  }
  std::filesystem::remove_all(dir);
  return 0;
}
