#pragma once
// TPipeClient: one request/reply exchange with the background service per connection, over the
// Unix stream socket that stands for the service's named pipe. Made on the GUI thread, so every
// wait has a time limit: a busy or silent service can delay the caller by at most `timeLimit`
// for the connection and `timeLimit` for the reply.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace nivra::net {

inline constexpr std::chrono::milliseconds kPipeTimeLimit{3000};

class TPipeClient {
 public:
  explicit TPipeClient(std::string_view id, std::chrono::milliseconds timeLimit = kPipeTimeLimit);

  // Connects, writes the 4-byte length and the payload, reads the reply and disconnects.
  // Returns the reply bytes; a write or read that fails (or times out) ends the exchange
  // normally with what was read. Throws nivra::Error: "命名管道不存在" when nobody listens,
  // "命名管道Mang" when the service stays busy for the whole time limit, "读取数据错误" when the
  // connection reports an error after the request was written.
  std::string Transact(const void* data, std::uint32_t len);
  // Transact, reply discarded: true unless it threw.
  bool SendRequest(const void* data, std::uint32_t len);

  const std::filesystem::path& pipePath() const { return path_; }

 private:
  std::filesystem::path path_;
  std::chrono::milliseconds timeLimit_;
};

// Tells the service that the main window closes; every failure is ignored.
void NotifyServiceClose();
// True when the service answers the presence probe.
bool ProbeService();

}  // namespace nivra::net
