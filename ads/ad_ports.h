#pragma once
// What the ad scheduler reaches outside itself, each behind a small interface that tests
// replace: the ad server link (heartbeats out, replies in), the internet connection check, and
// the start of a pop-up process.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/event_loop.h"

namespace nivra::net {
class TSimpleUdpClient;
}

namespace nivra::ads {

class AdServerLink {
 public:
  using ReplyEvent = std::function<void(std::span<const std::uint8_t> datagram)>;
  virtual ~AdServerLink() = default;
  // Sends one datagram to the ad server; an unresolvable host sends nothing. Any thread.
  virtual void Send(std::span<const std::uint8_t> datagram) = 0;
  // Called once per received datagram on the link's loop (the thread that created it).
  ReplyEvent OnReply;
};

class ConnectionCheck {
 public:
  virtual ~ConnectionCheck() = default;
  // Whether the internet can be reached now; may block for its time-out. Any thread.
  virtual bool Check() = 0;
};

class PopUpLauncher {
 public:
  virtual ~PopUpLauncher() = default;
  // Starts the program again with `args` (after the program path); true when it started.
  virtual bool Start(const std::vector<std::string>& args) = 0;
};

// The ad server over UDP: a TSimpleUdpClient made on `loop` (the caller's thread), the host
// resolved at every send.
class UdpAdServerLink final : public AdServerLink {
 public:
  UdpAdServerLink(platform::EventLoop& loop, std::string host, std::uint16_t port);
  ~UdpAdServerLink() override;
  void Send(std::span<const std::uint8_t> datagram) override;
  // The local port the replies come to; 0 before the first send.
  std::uint16_t LocalPort() const;

 private:
  std::unique_ptr<net::TSimpleUdpClient> client_;
  std::string host_;
  std::uint16_t port_;
};

// A TCP connection attempt to the host and port of an "http://host[:port]/…" address.
class TcpConnectionCheck final : public ConnectionCheck {
 public:
  explicit TcpConnectionCheck(std::string url,
                              std::chrono::milliseconds timeout = std::chrono::seconds(5));
  bool Check() override;

 private:
  std::string host_;
  std::uint16_t port_ = 80;
  std::chrono::milliseconds timeout_;
};

// Starts `program` with the arguments, never through a shell.
class ProcessPopUpLauncher final : public PopUpLauncher {
 public:
  explicit ProcessPopUpLauncher(std::filesystem::path program);
  bool Start(const std::vector<std::string>& args) override;

 private:
  std::filesystem::path program_;
};

}  // namespace nivra::ads
