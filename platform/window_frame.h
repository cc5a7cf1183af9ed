#pragma once
// Frames of the window channel, little-endian:
//
//   request: "NVWC" | version u8 (1) | kind u8 (0 send, 1 post) | 0 u16 | message u32 |
//            wParam i64 | lParam i64 | dwData u32 | cbData u32 | cbData bytes
//   reply:   "NVWR" | result i64
//
// For WM_COPYDATA the bytes are the record's lpData; lParam is not carried across processes.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace nivra::platform {

inline constexpr std::size_t kFrameHeaderSize = 36;
inline constexpr std::size_t kReplySize = 12;
// The most lpData bytes one frame may carry: a forwarded command line is far shorter.
inline constexpr std::uint32_t kMaxCopyDataBytes = 64 * 1024;

struct ChannelFrame {
  bool post = false;
  std::uint32_t message = 0;
  std::int64_t wParam = 0;
  std::int64_t lParam = 0;
  std::uint32_t dwData = 0;
  std::string data;  // cbData bytes
};

enum class FrameStatus { NeedMore, Bad, Complete };

struct FrameParse {
  FrameStatus status = FrameStatus::NeedMore;
  std::size_t consumed = 0;  // bytes of a complete frame
  ChannelFrame frame;
};

// Parses the first frame of `bytes`. Bad for a wrong magic or version, an unknown kind, or a
// cbData above kMaxCopyDataBytes, so a reader never waits for or allocates an oversized record.
FrameParse parseFrame(std::span<const std::uint8_t> bytes);
std::string encodeFrame(const ChannelFrame& frame);
std::string encodeReply(std::int64_t result);
std::optional<std::int64_t> parseReply(std::span<const std::uint8_t> bytes);

}  // namespace nivra::platform
