#include "net/ftp_reply_drain.h"

#include <sys/socket.h>

#include <algorithm>
#include <cerrno>

#include "net/ftp_reply.h"
#include "net/socket_io.h"

namespace nivra::net {

using std::chrono::duration_cast;
using std::chrono::milliseconds;

FtpReplyDrain::FtpReplyDrain(int socket) : socket_(socket) {
  const auto now = Clock::now();
  quietUntil_ = now + kFtpDrainWait;
  limit_ = now + kFtpDrainLimit;
}

milliseconds FtpReplyDrain::waitLeft(Clock::time_point now) const {
  if (!active_) return milliseconds(0);
  const auto end = std::min(quietUntil_, limit_);
  // Rounded up, so a poll for this long never wakes just before the end.
  const auto left = std::chrono::ceil<milliseconds>(end - now);
  return std::max(left, milliseconds(0));
}

bool FtpReplyDrain::readBlock() {
  if (!active_) return false;
  char buffer[kFtpBufferSize] = {};
  const ssize_t n = ::recv(socket_, buffer, sizeof buffer, MSG_DONTWAIT);
  if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return false;
  if (n <= 0) {
    if (n < 0) result_.clear();
    active_ = false;
    return false;
  }
  if (!gotBlock_) result_ = ReplyText(std::string_view(buffer, static_cast<std::size_t>(n)));
  gotBlock_ = true;
  quietUntil_ = Clock::now() + kFtpDrainWait;
  return true;
}

void FtpReplyDrain::finishNow() {
  while (readBlock()) {
  }
  active_ = false;
}

void FtpReplyDrain::expire(Clock::time_point now) {
  if (now >= quietUntil_ || now >= limit_) active_ = false;
}

std::string DrainReply(FtpReplyDrain& drain) {
  while (drain.active()) {
    if (waitReadable(drain.socket(), drain.waitLeft(FtpReplyDrain::Clock::now())))
      drain.readBlock();
    drain.expire(FtpReplyDrain::Clock::now());
  }
  return drain.result();
}

}  // namespace nivra::net
