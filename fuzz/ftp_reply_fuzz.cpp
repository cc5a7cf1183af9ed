// Fuzzes the FTP reply handling: whatever a server sends, the reply text, the passive-port and
// SIZE parsers and the item splitter must neither crash nor give an out-of-range answer.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "net/ftp_reply.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace nivra::net;
  const std::string_view received(reinterpret_cast<const char*>(data),
                                  size < kFtpBufferSize ? size : kFtpBufferSize);
  const std::string reply = ReplyText(received);
  if (reply.find('\0') != std::string::npos) std::abort();

  if (const auto port = ParsePassivePort(reply); port && *port == 0) std::abort();
  const std::int64_t sizeAnswer = ParseSizeReply(reply);
  if (reply.rfind("550", 0) == 0 && sizeAnswer != -2) std::abort();
  if (!ReplyBeginsWith(reply, '2') && reply.rfind("550", 0) != 0 && sizeAnswer != -1) std::abort();

  std::size_t total = 0;
  for (const auto& item : SplitReplyItems(reply)) total += item.size();
  if (total > reply.size()) std::abort();

  if (const auto command = FormatCommand(reply)) {
    if (command->size() + 1 > kFtpBufferSize) std::abort();
    if (command->find_first_of("\r\n") != command->size() - 2) std::abort();
  }
  return 0;
}
