#pragma once
// Fakes of the ad scheduler's ports and small helpers shared by the ad tests.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "ads/ad_ports.h"
#include "ads/ad_records.h"
#include "common/ini_date_time.h"
#include "platform/date_time.h"
#include "platform/event_loop.h"

namespace nivra::ads::test {

// Records every start with the loop's date-time at that moment.
class RecordingLauncher final : public PopUpLauncher {
 public:
  explicit RecordingLauncher(const platform::EventLoop& loop) : loop_(loop) {}
  struct Start {
    std::vector<std::string> args;
    std::string at;  // "YYYY-MM-DD HH:MM:SS"
  };
  bool Start(const std::vector<std::string>& args) override {
    starts.push_back({args, common::dateTimeToText(platform::toDateTime(loop_.now()))});
    return true;
  }
  std::vector<struct Start> starts;

 private:
  const platform::EventLoop& loop_;
};

class FixedConnectionCheck final : public ConnectionCheck {
 public:
  bool Check() override {
    ++checks;
    return connected;
  }
  bool connected = true;
  int checks = 0;
};

// Keeps the sent datagrams; replies are handed in by the test.
class RecordingLink final : public AdServerLink {
 public:
  void Send(std::span<const std::uint8_t> datagram) override {
    sent.emplace_back(datagram.begin(), datagram.end());
  }
  template <std::size_t N>
  void reply(const std::array<std::uint8_t, N>& bytes) {
    if (OnReply) OnReply(bytes);
  }
  std::vector<std::vector<std::uint8_t>> sent;
};

inline platform::EventLoop::Clock::time_point at(const std::string& text) {
  return platform::fromDateTime(common::textToDateTime(text));
}

inline MiniRecord miniRecord(std::uint32_t id, std::uint16_t maxPerDay, std::uint16_t miniGap = 0,
                             std::uint16_t crossGap = 0, std::uint16_t trayDelay = 0) {
  MiniRecord r;
  r.Id = id;
  r.Width = 300;
  r.Height = 200;
  r.Url = UrlFromText("http://ads.example/mini" + std::to_string(id) + ".htm");
  r.MaxPerDay = maxPerDay;
  r.MiniGap = miniGap;
  r.CrossGap = crossGap;
  r.TrayDelay = trayDelay;
  return r;
}

inline RightRecord rightRecord(std::uint32_t id, std::uint16_t startDelay = 0) {
  RightRecord r;
  r.Id = id;
  r.Width = 250;
  r.Height = 180;
  r.Url = UrlFromText("http://ads.example/right" + std::to_string(id) + ".htm");
  r.ShowTime = 15000;
  r.StartDelay = startDelay;
  return r;
}

}  // namespace nivra::ads::test
