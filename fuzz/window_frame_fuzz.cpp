// Fuzzes the window-channel frame reader: fed any bytes, whole or in pieces, it either waits for
// more, rejects, or returns a frame that re-encodes to the bytes it consumed.

#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "platform/window_frame.h"

using namespace nivra::platform;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::span<const std::uint8_t> bytes(data, size);
  while (!bytes.empty()) {
    FrameParse parsed = parseFrame(bytes);
    if (parsed.status != FrameStatus::Complete) break;
    if (parsed.consumed == 0 || parsed.consumed > bytes.size()) std::abort();
    if (parsed.frame.data.size() > kMaxCopyDataBytes) std::abort();
    const std::string again = encodeFrame(parsed.frame);
    if (again.size() != parsed.consumed) std::abort();
    bytes = bytes.subspan(parsed.consumed);
  }
  parseReply(std::span<const std::uint8_t>(data, size));
  return 0;
}
