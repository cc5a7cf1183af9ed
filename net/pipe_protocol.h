#pragma once
// The background service's pipe protocol, shared by the client and the service stand-in. Both
// directions carry a 4-byte little-endian length and that many bytes. The readers work over any
// byte source, so a hostile peer can be replayed against them.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace nivra::net {

inline constexpr std::string_view kServicePipeId = "{376E2FB8-B0C7-4A9E-8E55-6F1FDEC67F9D}";
inline constexpr std::size_t kPipeReadBlock = 4096;
// A reply is read in blocks as it arrives; past this size the rest is not read.
inline constexpr std::size_t kPipeReplyLimit = 64u << 20;
inline constexpr std::uint16_t kCloseNoticeCode = 0x0901;
inline constexpr std::uint16_t kProbeCode = 0x0902;

// The Unix socket that stands for the pipe named `id`: $XDG_RUNTIME_DIR/nivra/pipe/<id>.
std::filesystem::path pipeSocketPath(std::string_view id);

// Reads up to `max` bytes into `buffer`: the count read, 0 at the end of the stream, negative on
// failure (including a time-out).
using ReadSome = std::function<long(char* buffer, std::size_t max)>;

// Reads exactly `size` bytes; false when the stream ends or fails first.
bool readExact(const ReadSome& read, char* out, std::size_t size);
// A reply: the length R, then R bytes in reads of at most 4096 bytes, appended as they come
// (never allocated up front). A failed or ended read stops quietly with what arrived so far.
std::string ReadPipeReply(const ReadSome& read);
// A request as the service reads it: nullopt when the stream fails or the length exceeds
// `maxPayload`.
std::optional<std::string> ReadPipeRequest(const ReadSome& read, std::size_t maxPayload);
// Length prefix plus payload.
std::string EncodePipeMessage(std::string_view payload);
// The 4-byte request payload: 16-bit code, then 16-bit 0, little-endian.
std::string RequestPayload(std::uint16_t code);

}  // namespace nivra::net
