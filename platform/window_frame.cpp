#include "platform/window_frame.h"

#include <cstring>

namespace nivra::platform {
namespace {

template <class T>
T readLe(const std::uint8_t* p) {
  std::make_unsigned_t<T> v = 0;
  for (std::size_t i = 0; i < sizeof(T); ++i) v |= static_cast<decltype(v)>(p[i]) << (8 * i);
  return static_cast<T>(v);
}

template <class T>
void writeLe(std::string& out, T value) {
  auto v = static_cast<std::make_unsigned_t<T>>(value);
  for (std::size_t i = 0; i < sizeof(T); ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

}  // namespace

FrameParse parseFrame(std::span<const std::uint8_t> bytes) {
  FrameParse result;
  const std::size_t have = bytes.size();
  const std::uint8_t* p = bytes.data();
  // Reject a wrong magic as soon as its first bytes are in.
  static constexpr char kMagic[4] = {'N', 'V', 'W', 'C'};
  for (std::size_t i = 0; i < 4 && i < have; ++i)
    if (p[i] != static_cast<std::uint8_t>(kMagic[i])) return {FrameStatus::Bad, 0, {}};
  if (have >= 5 && p[4] != 1) return {FrameStatus::Bad, 0, {}};
  if (have >= 6 && p[5] > 1) return {FrameStatus::Bad, 0, {}};
  if (have < kFrameHeaderSize) return result;
  const auto cbData = readLe<std::uint32_t>(p + 32);
  if (cbData > kMaxCopyDataBytes) return {FrameStatus::Bad, 0, {}};
  if (have < kFrameHeaderSize + cbData) return result;
  result.status = FrameStatus::Complete;
  result.consumed = kFrameHeaderSize + cbData;
  result.frame.post = p[5] == 1;
  result.frame.message = readLe<std::uint32_t>(p + 8);
  result.frame.wParam = readLe<std::int64_t>(p + 12);
  result.frame.lParam = readLe<std::int64_t>(p + 20);
  result.frame.dwData = readLe<std::uint32_t>(p + 28);
  result.frame.data.assign(reinterpret_cast<const char*>(p + kFrameHeaderSize), cbData);
  return result;
}

std::string encodeFrame(const ChannelFrame& frame) {
  std::string out = "NVWC";
  out += static_cast<char>(1);
  out += static_cast<char>(frame.post ? 1 : 0);
  writeLe<std::uint16_t>(out, 0);
  writeLe(out, frame.message);
  writeLe(out, frame.wParam);
  writeLe(out, frame.lParam);
  writeLe(out, frame.dwData);
  writeLe(out, static_cast<std::uint32_t>(frame.data.size()));
  out += frame.data;
  return out;
}

std::string encodeReply(std::int64_t result) {
  std::string out = "NVWR";
  writeLe(out, result);
  return out;
}

std::optional<std::int64_t> parseReply(std::span<const std::uint8_t> bytes) {
  if (bytes.size() != kReplySize || std::memcmp(bytes.data(), "NVWR", 4) != 0) return std::nullopt;
  return readLe<std::int64_t>(bytes.data() + 4);
}

}  // namespace nivra::platform
