#include "net/ftp_reply.h"

#include <gtest/gtest.h>

namespace nivra::net {
namespace {

TEST(ParsePassivePort, TakesTheLastTwoItems) {
  const std::pair<const char*, std::optional<std::uint16_t>> cases[] = {
      {"227 Entering Passive Mode (10,0,0,5,19,137).\r\n", 5001},
      {"227 =127,0,0,1,4,1", 1025},
      {"227 Entering Passive Mode (10, 0, 0, 5, 19, 137)", 5001},
      {"227 Entering", std::nullopt},  // two items
      {"227", std::nullopt},
      {"", std::nullopt},
      {"227 ok (1,2,3,4,x,5)", std::nullopt},
      {"227 ok (1,2,3,4,300,5)", std::nullopt},
      {"227 ok (1,2,3,4,0,0)", std::nullopt},
      {"227 \"quoted item, with comma\" 1,2", 258},
  };
  for (const auto& [reply, port] : cases) {
    SCOPED_TRACE(reply);
    EXPECT_EQ(ParsePassivePort(reply), port);
  }
}

TEST(SplitReplyItems, CommasSpacesAndQuotes) {
  EXPECT_EQ(SplitReplyItems(" a,b  c ,\"d e\",,f,"),
            (std::vector<std::string>{"a", "b", "c", "d e", "", "f", ""}));
  EXPECT_EQ(SplitReplyItems("\"un\"\"closed"), (std::vector<std::string>{"un\"closed"}));
  EXPECT_TRUE(SplitReplyItems(" \r\n").empty());
}

TEST(ParseSizeReply, CodesAndNumbers) {
  const std::pair<const char*, std::int64_t> cases[] = {
      {"213 5000\r\n", 5000},
      {"213 0\r\n", 0},
      {"213 abc\r\n", 0},
      {"213 5000\r\n226 leftover\r\n", 0},
      {"550 SIZE not allowed in ASCII mode.\r\n", -2},
      {"5501", -2},
      {"500 unknown", -1},
      {"", -1},
      {"213", 213},  // no space: nothing is cut off
      {"213 99999999999999999999999", 0},
  };
  for (const auto& [reply, size] : cases) {
    SCOPED_TRACE(reply);
    EXPECT_EQ(ParseSizeReply(reply), size);
  }
}

TEST(FormatCommand, FitsTheBufferAndRefusesLineBreaks) {
  EXPECT_EQ(FormatCommand("SIZE /a"), "SIZE /a\r\n");
  EXPECT_TRUE(FormatCommand(std::string(kFtpBufferSize - 3, 'a')).has_value());
  EXPECT_FALSE(FormatCommand(std::string(kFtpBufferSize - 2, 'a')).has_value());
  EXPECT_FALSE(FormatCommand("RETR /a\r\nDELE /b").has_value());
  EXPECT_FALSE(FormatCommand(std::string("RETR /a\0b", 9)).has_value());
}

TEST(ReplyText, StopsAtTheFirstZeroByte) {
  EXPECT_EQ(ReplyText(std::string_view("220 hi\0junk", 11)), "220 hi");
  EXPECT_TRUE(ReplyBeginsWith("220 hi", '2'));
  EXPECT_FALSE(ReplyBeginsWith("", '2'));
}

}  // namespace
}  // namespace nivra::net
