#pragma once
// The ad server's two fixed-size records and the datagrams that carry them. Every field is read
// and written explicitly, little-endian, at its fixed offset; the address field keeps all of its
// 512 bytes as received, so a stored record is the received one byte for byte.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>

namespace nivra::ads {

inline constexpr std::size_t kUrlBytes = 512;
inline constexpr std::size_t kMiniRecordSize = 534;
inline constexpr std::size_t kRightRecordSize = 530;
inline constexpr std::size_t kHeartbeatSize = 12;
inline constexpr std::size_t kReplyHeaderSize = 4;
inline constexpr std::size_t kMiniReplySize = kReplyHeaderSize + kMiniRecordSize;    // 538
inline constexpr std::size_t kRightReplySize = kReplyHeaderSize + kRightRecordSize;  // 534
inline constexpr std::uint16_t kHeartbeatType = 0x0501;
inline constexpr std::uint16_t kMiniReplyType = 0x0581;
inline constexpr std::uint16_t kRightReplyType = 0x0582;

using UrlBytes = std::array<std::uint8_t, kUrlBytes>;

// The page address: the 8-bit text up to the first NUL, or all 512 bytes.
std::string UrlText(const UrlBytes& url);
UrlBytes UrlFromText(const std::string& text);

// The mini window's record ("NVRM.dat", and the payload of the mini reply).
struct MiniRecord {
  std::uint32_t Id = 0;
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  UrlBytes Url{};
  std::uint16_t MaxPerDay = 0;
  std::uint16_t CountRefund = 0;
  std::uint16_t MiniGap = 0;    // seconds since the last mini window
  std::uint16_t CrossGap = 0;   // seconds since the last window of the other kind
  std::uint16_t TrayDelay = 0;  // seconds since tray mode began

  bool operator==(const MiniRecord&) const = default;
};

// The right-corner window's record ("NVRR.dat", and the payload of the right reply).
struct RightRecord {
  std::uint32_t Id = 0;
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  UrlBytes Url{};
  std::int32_t ShowTime = 0;     // milliseconds
  std::uint16_t StartDelay = 0;  // seconds since tray mode began

  bool operator==(const RightRecord&) const = default;
};

using MiniRecordBytes = std::array<std::uint8_t, kMiniRecordSize>;
using RightRecordBytes = std::array<std::uint8_t, kRightRecordSize>;

MiniRecordBytes EncodeMiniRecord(const MiniRecord& record);
RightRecordBytes EncodeRightRecord(const RightRecord& record);
// Read the first record-size bytes; nullopt when fewer are given.
std::optional<MiniRecord> DecodeMiniRecord(std::span<const std::uint8_t> bytes);
std::optional<RightRecord> DecodeRightRecord(std::span<const std::uint8_t> bytes);

// The heartbeat request: type, 1, the mini and right record ids.
std::array<std::uint8_t, kHeartbeatSize> EncodeHeartbeat(std::uint32_t miniId,
                                                         std::uint32_t rightId);

// A reply of one of the two forms; any other type, or a known type with another length, is
// nothing (std::monostate). Bytes 2..3 of the header are not read.
using AdReply = std::variant<std::monostate, MiniRecord, RightRecord>;
AdReply DecodeReply(std::span<const std::uint8_t> datagram);
// The reply datagram that carries a record (the form an ad server sends).
std::array<std::uint8_t, kMiniReplySize> EncodeMiniReply(const MiniRecord& record);
std::array<std::uint8_t, kRightReplySize> EncodeRightReply(const RightRecord& record);

}  // namespace nivra::ads
