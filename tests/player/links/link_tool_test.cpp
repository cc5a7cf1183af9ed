// nivra-tool link, run as a separate process the way users and scripts run it.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/process_launcher.h"
#include "platform/process_runner.h"

namespace nivra::test {
namespace {

const std::string kTool = NIVRA_TOOL_PATH;

platform::CapturedRun tool(std::vector<std::string> args) {
  args.insert(args.begin(), "link");
  return platform::runAndCapture(kTool, args).value_or(platform::CapturedRun{});
}

std::string encode(const std::vector<std::string>& args) {
  std::vector<std::string> full{"encode"};
  full.insert(full.end(), args.begin(), args.end());
  const auto r = tool(full);
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(r.out.ends_with("\n"));
  return r.out.substr(0, r.out.find('\n'));
}

TEST(LinkToolTest, DecodePrintsWhatEncodeWrote) {
  struct Case {
    std::vector<std::string> encodeArgs;
    std::string json;
  };
  const Case cases[] = {
      {{"video|片名|0|http://127.0.0.1/a"},
       R"({"kind":3,"name":"片名","size":0,"address":"http://127.0.0.1/a"})"},
      {{"--lower", "--slash", "--prefix", "nivra://", "file|n|12|u|extra"},
       R"({"kind":1,"name":"n","size":12,"address":"u"})"},
      {{"jslist|引\"号\\|-3|list.js"},
       R"({"kind":5,"name":"引\"号\\","size":-3,"address":"list.js"})"},
      {{"--length", "100", "video|abc"},
       R"({"kind":3,"name":"abc\u0000\u0000\u0000\u0000\u0000\u0000","size":0,"address":"abc\u0000\u0000\u0000\u0000\u0000\u0000"})"},
      {{"--length", "5", "video|abc"}, R"({"kind":3,"name":"video","size":0,"address":"video"})"},
      {{"movie|n|1|u"}, R"({"kind":0,"name":"","size":0,"address":""})"},
  };
  for (const auto& c : cases) {
    const std::string link = encode(c.encodeArgs);
    SCOPED_TRACE(link);
    const auto r = tool({"decode", link});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, c.json + "\n");
    EXPECT_EQ(r.err, "");
  }
}

TEST(LinkToolTest, DecodeGoesOnPastTextsThatAreNotLinksAndFails) {
  const std::string link = encode({"nvswf|段|0|http://127.0.0.1/list"});
  const auto r = tool({"decode", link, "http://127.0.0.1/x\nsecond line", "Nivra://not-hex"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out,
            "{\"kind\":4,\"name\":\"段\",\"size\":0,\"address\":\"http://127.0.0.1/list\"}\n"
            "{\"kind\":0,\"name\":\"\",\"size\":0,\"address\":\"\"}\n");
  EXPECT_EQ(r.err,
            "nivra-tool link decode: not a private link: \"http://127.0.0.1/x\\nsecond line\"\n");
}

TEST(LinkToolTest, EncodedCiphertextIsPlainAes128EcbUnderTheFormedKey) {
  // An independent AES: the ciphertext must decrypt to the framing (big-endian length, then
  // little-endian 16-bit characters, zero padding) under "KQZTW20050917" zero-filled to 16 bytes.
  const auto openssl = platform::findProgram("openssl");
  if (openssl.empty()) GTEST_SKIP() << "openssl is not installed";
  const std::string link = encode({"video|视|0|http://127.0.0.1/v"});
  std::string cipher;
  for (std::size_t i = 8; i + 1 < link.size(); i += 2)
    cipher += static_cast<char>(std::stoi(link.substr(i, 2), nullptr, 16));
  const auto r = platform::runAndCapture(openssl.string(),
                                         {"enc", "-d", "-aes-128-ecb", "-nopad", "-K",
                                          "4B515A54573230303530393137000000"},
                                         {cipher})
                     .value_or(platform::CapturedRun{});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const std::u16string record = u"video|视|0|http://127.0.0.1/v";
  std::string expected = {0x00, static_cast<char>(record.size())};
  for (char16_t c : record) {
    expected += static_cast<char>(c & 0xFF);
    expected += static_cast<char>(c >> 8);
  }
  expected.resize((expected.size() + 15) / 16 * 16, '\0');
  EXPECT_EQ(r.out, expected);
}

TEST(LinkToolTest, BadInputGivesOneLineAndNonZeroExit) {
  const std::vector<std::string> cases[] = {
      {},
      {"frobnicate"},
      {"encode"},
      {"encode", "a", "b"},
      {"encode", "--bogus", "x"},
      {"encode", "--length", "65536", "x"},
      {"encode", "--length", "-1", "x"},
      {"encode", "x", "--length"},
      {"decode"},
      {"encode", "video|" + std::string(0xFFFF, 'a')},  // longer than the length prefix holds
  };
  for (const auto& args : cases) {
    const auto r = tool(args);
    SCOPED_TRACE(args.empty() ? "(none)" : args[0] + " " + (args.size() > 1 ? args[1] : ""));
    EXPECT_NE(r.exitCode, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  }
}

TEST(LinkToolTest, HelpDescribesBothDirections) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--help"}, {"encode", "-h"}}) {
    const auto r = tool(args);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.out.find("link encode"), std::string::npos);
    EXPECT_NE(r.out.find("link decode"), std::string::npos);
  }
}

}  // namespace
}  // namespace nivra::test
