#include "ads/ad_records.h"

#include <algorithm>
#include <cstring>

namespace nivra::ads {
namespace {

// Little-endian field access at fixed offsets.
template <class T>
void put(std::uint8_t* out, std::size_t offset, T value) {
  auto v = static_cast<std::make_unsigned_t<T>>(value);
  for (std::size_t i = 0; i < sizeof(T); ++i)
    out[offset + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

template <class T>
T get(const std::uint8_t* in, std::size_t offset) {
  std::make_unsigned_t<T> v = 0;
  for (std::size_t i = 0; i < sizeof(T); ++i)
    v |= static_cast<std::make_unsigned_t<T>>(static_cast<std::make_unsigned_t<T>>(in[offset + i])
                                              << (8 * i));
  return static_cast<T>(v);
}

// Offsets shared by both records.
constexpr std::size_t kId = 0, kWidth = 4, kHeight = 8, kUrl = 12, kAfterUrl = kUrl + kUrlBytes;

template <class Record>
void putHead(std::uint8_t* out, const Record& r) {
  put(out, kId, r.Id);
  put(out, kWidth, r.Width);
  put(out, kHeight, r.Height);
  std::copy(r.Url.begin(), r.Url.end(), out + kUrl);
}

template <class Record>
void getHead(const std::uint8_t* in, Record& r) {
  r.Id = get<std::uint32_t>(in, kId);
  r.Width = get<std::int32_t>(in, kWidth);
  r.Height = get<std::int32_t>(in, kHeight);
  std::copy_n(in + kUrl, kUrlBytes, r.Url.begin());
}

}  // namespace

std::string UrlText(const UrlBytes& url) {
  const auto end = std::find(url.begin(), url.end(), std::uint8_t{0});
  return std::string(url.begin(), end);
}

UrlBytes UrlFromText(const std::string& text) {
  UrlBytes url{};
  std::copy_n(text.begin(), std::min(text.size(), kUrlBytes), url.begin());
  return url;
}

MiniRecordBytes EncodeMiniRecord(const MiniRecord& r) {
  MiniRecordBytes out{};
  putHead(out.data(), r);
  put(out.data(), kAfterUrl + 0, r.MaxPerDay);
  put(out.data(), kAfterUrl + 2, r.CountRefund);
  put(out.data(), kAfterUrl + 4, r.MiniGap);
  put(out.data(), kAfterUrl + 6, r.CrossGap);
  put(out.data(), kAfterUrl + 8, r.TrayDelay);
  return out;
}

RightRecordBytes EncodeRightRecord(const RightRecord& r) {
  RightRecordBytes out{};
  putHead(out.data(), r);
  put(out.data(), kAfterUrl + 0, r.ShowTime);
  put(out.data(), kAfterUrl + 4, r.StartDelay);
  return out;
}

std::optional<MiniRecord> DecodeMiniRecord(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kMiniRecordSize) return std::nullopt;
  MiniRecord r;
  const auto* in = bytes.data();
  getHead(in, r);
  r.MaxPerDay = get<std::uint16_t>(in, kAfterUrl + 0);
  r.CountRefund = get<std::uint16_t>(in, kAfterUrl + 2);
  r.MiniGap = get<std::uint16_t>(in, kAfterUrl + 4);
  r.CrossGap = get<std::uint16_t>(in, kAfterUrl + 6);
  r.TrayDelay = get<std::uint16_t>(in, kAfterUrl + 8);
  return r;
}

std::optional<RightRecord> DecodeRightRecord(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kRightRecordSize) return std::nullopt;
  RightRecord r;
  const auto* in = bytes.data();
  getHead(in, r);
  r.ShowTime = get<std::int32_t>(in, kAfterUrl + 0);
  r.StartDelay = get<std::uint16_t>(in, kAfterUrl + 4);
  return r;
}

std::array<std::uint8_t, kHeartbeatSize> EncodeHeartbeat(std::uint32_t miniId,
                                                         std::uint32_t rightId) {
  std::array<std::uint8_t, kHeartbeatSize> out{};
  put(out.data(), 0, kHeartbeatType);
  put(out.data(), 2, std::uint16_t{1});
  put(out.data(), 4, miniId);
  put(out.data(), 8, rightId);
  return out;
}

AdReply DecodeReply(std::span<const std::uint8_t> datagram) {
  if (datagram.size() < kReplyHeaderSize) return {};
  const auto type = get<std::uint16_t>(datagram.data(), 0);
  const auto payload = datagram.subspan(kReplyHeaderSize);
  if (type == kMiniReplyType && datagram.size() == kMiniReplySize)
    return *DecodeMiniRecord(payload);
  if (type == kRightReplyType && datagram.size() == kRightReplySize)
    return *DecodeRightRecord(payload);
  return {};
}

std::array<std::uint8_t, kMiniReplySize> EncodeMiniReply(const MiniRecord& record) {
  std::array<std::uint8_t, kMiniReplySize> out{};
  put(out.data(), 0, kMiniReplyType);
  const auto body = EncodeMiniRecord(record);
  std::copy(body.begin(), body.end(), out.begin() + kReplyHeaderSize);
  return out;
}

std::array<std::uint8_t, kRightReplySize> EncodeRightReply(const RightRecord& record) {
  std::array<std::uint8_t, kRightReplySize> out{};
  put(out.data(), 0, kRightReplyType);
  const auto body = EncodeRightRecord(record);
  std::copy(body.begin(), body.end(), out.begin() + kReplyHeaderSize);
  return out;
}

}  // namespace nivra::ads
