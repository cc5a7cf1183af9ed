#pragma once
// TSimpleUdpClient: an unbound IPv4 datagram socket (the system picks the local port at the
// first send). One Send is one datagram; every datagram that arrives is one OnRead call on the
// loop of the thread that created the client. A watcher thread waits for the socket and posts a
// read notice to that loop, one notice at a time, so the loop does every receive itself.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/event_loop.h"

namespace nivra::net {

inline constexpr std::size_t kUdpReceiveBuffer = 1600;

class TSimpleUdpClient {
 public:
  // Data is valid only during the call.
  using ReadEvent = std::function<void(const std::uint8_t* data, int len, const std::string& fromIp,
                                       std::uint16_t fromPort)>;
  using ErrorEvent = std::function<void(TSimpleUdpClient& sender, const std::string& msg)>;

  // Creates the socket and asks for read notices on `loop`, which must be the calling thread's
  // loop. Throws nivra::Error("创建SOCKET失败") when the socket cannot be made; a failure to set
  // up the notices goes to OnError (unassigned at this point, so it is silent) and leaves the
  // client usable for sending.
  explicit TSimpleUdpClient(platform::EventLoop& loop);
  // Stops the notices (none arrives afterwards) and closes the socket. Loop thread only.
  ~TSimpleUdpClient();
  TSimpleUdpClient(const TSimpleUdpClient&) = delete;
  TSimpleUdpClient& operator=(const TSimpleUdpClient&) = delete;

  // Sends `len` bytes to ip:port as one datagram. An invalid address text or a failed send is
  // not reported. Any thread.
  void Send(const void* data, int len, const std::string& ip, std::uint16_t port);
  // The local port the system gave the socket; 0 before the first send.
  std::uint16_t LocalPort() const;

  // Called once per received datagram, on the loop's thread; unassigned: datagrams are read and
  // discarded.
  ReadEvent OnRead;
  // Called with the system's error text when a receive fails (also for a datagram longer than
  // 1600 bytes, which is dropped) or the notices cannot be set up.
  ErrorEvent OnError;

 private:
  struct Watch;
  void receive();
  void startWatch();

  platform::EventLoop& loop_;
  int socket_ = -1;
  std::shared_ptr<Watch> watch_;
};

}  // namespace nivra::net
