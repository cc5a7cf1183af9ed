#include "net/pipe_protocol.h"

#include <algorithm>

#include "platform/folders.h"

namespace nivra::net {
namespace {

std::uint32_t decodeLength(const char* p) {
  const auto* b = reinterpret_cast<const unsigned char*>(p);
  return std::uint32_t{b[0]} | std::uint32_t{b[1]} << 8 | std::uint32_t{b[2]} << 16 |
         std::uint32_t{b[3]} << 24;
}

std::optional<std::uint32_t> readLength(const ReadSome& read) {
  char prefix[4];
  if (!readExact(read, prefix, sizeof prefix)) return std::nullopt;
  return decodeLength(prefix);
}

}  // namespace

std::filesystem::path pipeSocketPath(std::string_view id) {
  return platform::runtimeDir() / "pipe" / std::string(id);
}

bool readExact(const ReadSome& read, char* out, std::size_t size) {
  while (size > 0) {
    const long n = read(out, size);
    if (n <= 0) return false;
    out += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

std::string ReadPipeReply(const ReadSome& read) {
  std::string reply;
  const auto length = readLength(read);
  if (!length) return reply;
  std::size_t remaining = std::min<std::size_t>(*length, kPipeReplyLimit);
  char block[kPipeReadBlock];
  while (remaining > 0) {
    const long n = read(block, std::min(remaining, sizeof block));
    if (n <= 0) break;
    reply.append(block, static_cast<std::size_t>(n));
    remaining -= static_cast<std::size_t>(n);
  }
  return reply;
}

std::optional<std::string> ReadPipeRequest(const ReadSome& read, std::size_t maxPayload) {
  const auto length = readLength(read);
  if (!length || *length > maxPayload) return std::nullopt;
  std::string payload(*length, '\0');
  if (!readExact(read, payload.data(), payload.size())) return std::nullopt;
  return payload;
}

std::string EncodePipeMessage(std::string_view payload) {
  const auto n = static_cast<std::uint32_t>(payload.size());
  std::string out{static_cast<char>(n & 0xff), static_cast<char>((n >> 8) & 0xff),
                  static_cast<char>((n >> 16) & 0xff), static_cast<char>((n >> 24) & 0xff)};
  out.append(payload);
  return out;
}

std::string RequestPayload(std::uint16_t code) {
  return {static_cast<char>(code & 0xff), static_cast<char>(code >> 8), '\0', '\0'};
}

}  // namespace nivra::net
