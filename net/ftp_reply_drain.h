#pragma once
// The drained read of an FTP reply, as a state that can be advanced a block at a time, so the
// caller can wait on the control connection and on the data connection together: the replies to
// RETR are drained while the file arrives instead of holding the transfer back, and the read
// ends with the transfer.

#include <chrono>
#include <string>

namespace nivra::net {

inline constexpr std::chrono::milliseconds kFtpDrainWait{500};
inline constexpr std::chrono::milliseconds kFtpDrainLimit{5000};

class FtpReplyDrain {
 public:
  using Clock = std::chrono::steady_clock;

  // Starts draining `socket` now: the first wait of 0.5 s begins.
  explicit FtpReplyDrain(int socket);

  int socket() const { return socket_; }
  // False once the read has ended: a wait of 0.5 s passed with nothing to read, the connection
  // closed or failed, or 5 s passed in all.
  bool active() const { return active_; }
  // How long the current wait may still last (zero when it is over).
  std::chrono::milliseconds waitLeft(Clock::time_point now) const;
  // Receives one block of up to 1024 bytes without waiting. The first block is the result, later
  // ones are discarded; a failed receive empties the result and ends the read. False when
  // nothing was there to take.
  bool readBlock();
  // Takes the blocks that have already arrived, without waiting for more, and ends the read.
  void finishNow();
  // Ends the read when its wait (or the whole limit) is over at `now`.
  void expire(Clock::time_point now);
  // The text of the first block (empty when none came or a receive failed).
  const std::string& result() const { return result_; }

 private:
  int socket_;
  bool active_ = true;
  bool gotBlock_ = false;
  Clock::time_point quietUntil_;
  Clock::time_point limit_;
  std::string result_;
};

// Runs a drain on its own until it ends and returns its result.
std::string DrainReply(FtpReplyDrain& drain);

}  // namespace nivra::net
