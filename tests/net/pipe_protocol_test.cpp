#include "net/pipe_protocol.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace nivra::net {
namespace {

// A byte source that hands out at most `step` bytes per read, then reports the end.
ReadSome source(const std::string& bytes, std::size_t step, std::size_t* reads = nullptr) {
  auto pos = std::make_shared<std::size_t>(0);
  return [bytes, step, pos, reads](char* out, std::size_t max) -> long {
    if (reads) ++*reads;
    const std::size_t n = std::min({max, step, bytes.size() - *pos});
    std::copy_n(bytes.data() + *pos, n, out);
    *pos += n;
    return static_cast<long>(n);
  };
}

TEST(PipeProtocol, RequestsAreLengthPrefixedLittleEndian) {
  EXPECT_EQ(EncodePipeMessage(RequestPayload(kProbeCode)),
            std::string("\x04\0\0\0\x02\x09\0\0", 8));
  EXPECT_EQ(EncodePipeMessage(RequestPayload(kCloseNoticeCode)),
            std::string("\x04\0\0\0\x01\x09\0\0", 8));
  const std::string big(70000, 'x');
  EXPECT_EQ(EncodePipeMessage(big).substr(0, 4), std::string("\x70\x11\x01\0", 4));
}

TEST(PipeProtocol, ReplyArrivesWholeInBlocksOfAtMost4096) {
  std::string body(10000, '\0');
  for (std::size_t i = 0; i < body.size(); ++i) body[i] = static_cast<char>(i % 256);
  for (std::size_t step : {1u, 3u, 4096u, 100000u}) {
    SCOPED_TRACE(step);
    EXPECT_EQ(ReadPipeReply(source(EncodePipeMessage(body), step)), body);
  }
  std::size_t maxAsked = 0;
  ReadSome recorder = [&, inner = source(EncodePipeMessage(body), 100000)](char* out,
                                                                           std::size_t max) {
    maxAsked = std::max(maxAsked, max);
    return inner(out, max);
  };
  ReadPipeReply(recorder);
  EXPECT_EQ(maxAsked, kPipeReadBlock);
}

TEST(PipeProtocol, ShortOrEndedStreamsKeepWhatArrived) {
  EXPECT_EQ(ReadPipeReply(source(std::string("\x00\x00", 2), 8)), "");
  EXPECT_EQ(ReadPipeReply(source(std::string("\0\0\0\0", 4), 8)), "");
  // Claims 4 GiB, delivers 3 bytes: those 3 bytes, nothing allocated for the rest.
  EXPECT_EQ(ReadPipeReply(source(std::string("\xff\xff\xff\xff"
                                             "abc",
                                             7),
                                 8)),
            "abc");
}

TEST(PipeProtocol, RequestReaderRefusesOversizedAndShortRequests) {
  EXPECT_EQ(ReadPipeRequest(source(EncodePipeMessage("abcd"), 2), 16), "abcd");
  EXPECT_FALSE(ReadPipeRequest(source(EncodePipeMessage(std::string(17, 'a')), 64), 16));
  EXPECT_FALSE(ReadPipeRequest(source(std::string("\x04\0\0\0ab", 6), 64), 16));
}

}  // namespace
}  // namespace nivra::net
