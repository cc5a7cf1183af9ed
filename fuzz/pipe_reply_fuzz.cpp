// Fuzzes the pipe reply reader with hostile streams: the first byte picks how the stream is cut
// into reads, the rest is what the server sends. The reply must never exceed what was sent or
// what the length prefix promised, and no read of it may ask for more than 4096 bytes. The
// service's request reader gets the same stream.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "net/pipe_protocol.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace nivra::net;
  if (size == 0) return 0;
  const std::size_t step = 1 + data[0] % 64 * 97;
  const std::string stream(reinterpret_cast<const char*>(data + 1), size - 1);
  std::size_t pos = 0;
  bool replyReader = true;  // only the client's reply reader promises blocks of at most 4096
  const ReadSome read = [&](char* out, std::size_t max) -> long {
    if (max == 0 || (replyReader && max > kPipeReadBlock)) std::abort();
    if (pos == stream.size()) return data[0] & 0x80 ? -1 : 0;
    const std::size_t n = std::min({max, step, stream.size() - pos});
    std::copy_n(stream.data() + pos, n, out);
    pos += n;
    return static_cast<long>(n);
  };
  const std::string reply = ReadPipeReply(read);
  if (stream.size() < 4) {
    if (!reply.empty()) std::abort();
    return 0;
  }
  const auto* b = reinterpret_cast<const unsigned char*>(stream.data());
  const std::uint32_t promised =
      b[0] | b[1] << 8 | b[2] << 16 | static_cast<std::uint32_t>(b[3]) << 24;
  if (reply.size() > promised || reply.size() > stream.size() - 4) std::abort();
  if (stream.compare(4, reply.size(), reply) != 0) std::abort();

  pos = 0;
  replyReader = false;
  if (const auto request = ReadPipeRequest(read, 64 * 1024); request && request->size() > 64 * 1024)
    std::abort();
  return 0;
}
