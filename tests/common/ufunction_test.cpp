#include "common/ufunction.h"

#include <gtest/gtest.h>

#include "platform/folders.h"
#include "platform/ini_file.h"
#include "platform/version_info.h"
#include "tests/support/env_guard.h"
#include "tests/support/temp_dir.h"

namespace nivra::common {
namespace {

TEST(BorderHitTest, FivePixelBorderInTheFixedOrder) {
  struct Case {
    int x, y, expected;
  } cases[] = {
      {2, 2, HTTOPLEFT},  {97, 2, HTTOPRIGHT}, {97, 57, HTBOTTOMRIGHT}, {2, 57, HTBOTTOMLEFT},
      {2, 30, HTLEFT},    {50, 2, HTTOP},      {97, 30, HTRIGHT},       {50, 57, HTBOTTOM},
      {50, 30, HTCLIENT}, {95, 2, HTTOP},  // x = width − 5 is not beyond the right edge
      {95, 55, HTCLIENT}, {5, 5, HTCLIENT},    {4, 5, HTLEFT},
  };
  for (const auto& c : cases)
    EXPECT_EQ(BorderHitTest(c.x, c.y, 100, 60), c.expected) << c.x << "," << c.y;
}

TEST(PathAndHost, NamesAndHostsAreCutAsTheCallersExpect) {
  EXPECT_EQ(ExtractNameFromPath("C:\\dir\\a.js"), "a.js");
  EXPECT_EQ(ExtractNameFromPath("http://h/x/y/123.js"), "123.js");
  EXPECT_EQ(ExtractNameFromPath("c:name"), "name");
  EXPECT_EQ(ExtractNameFromPath("plain"), "plain");
  EXPECT_EQ(ExtractNameFromPath("dir/"), "");
  EXPECT_EQ(ExtractUrlHost("HTTP://Www.Example.COM/a/b"), "www.example.com");
  EXPECT_EQ(ExtractUrlHost("www.example.com:8080/x"), "www.example.com:8080");
  // "http://" anywhere drops the first seven characters, as the callers have always relied on.
  EXPECT_EQ(ExtractUrlHost("see http://x/y"), "p:");
  EXPECT_EQ(ExtractUrlHost(""), "");
}

TEST(NextCommandToken, TokensQuotesAndWideCharacters) {
  struct Case {
    const char* text;
    const char* token;
    std::size_t next;
  } cases[] = {
      {"  abc def", "abc", 5},
      {"\"a b\" c", "a b", 5},
      {"\"\"\"\" x", "x", 6},       // pairs of quotes before the token are skipped
      {"a\"b c\"d e", "ab cd", 7},  // quoted stretch inside a token
      {"\t\"unterminated", "unterminated", 14},
      {"", "", 0},
      {"播放 下一个", "播放", 6},
  };
  for (const auto& c : cases) {
    std::string token;
    EXPECT_EQ(NextCommandToken(c.text, 0, token), c.next) << c.text;
    EXPECT_EQ(token, c.token) << c.text;
  }
  EXPECT_TRUE(HasCommandSwitch({"x", "/a"}, "/A"));
  EXPECT_FALSE(HasCommandSwitch({"/AB"}, "/A"));
}

TEST(FileVersionText, ReadsTheBlockThatTheTranslationNames) {
  test::TempDir dir;
  // Language 0x0804 and code page 0x04B0 select the table named 080404B0.
  const std::string block = platform::makeVersionBlock(0x0804, 0x04B0, "3.2.1.0");
  EXPECT_NE(block.find("StringFileInfo\\080404B0\\FileVersion=3.2.1.0"), std::string::npos);
  const auto withBlock = dir.write("a.bin", std::string(1000, '\0') + block + std::string(50, 'x'));
  EXPECT_EQ(GetFileVersionText(withBlock.string()), "3.2.1.0");
  // A translation that names a table the block does not hold gives no text.
  std::string other = block;
  other.replace(other.find("0804 04B0"), 9, "0409 04E4");
  EXPECT_EQ(GetFileVersionText(dir.write("b.bin", other).string()), "");
  EXPECT_EQ(GetFileVersionText(dir.write("c.bin", "no version here").string()), "");
  EXPECT_EQ(GetFileVersionText((dir / "missing").string()), "");
  // Our own binaries carry the project version.
  EXPECT_FALSE(GetFileVersionText(platform::selfExecutable().string()).empty());
}

TEST(DataFolders, CreatedOnDemandAndStampWritten) {
  test::TempDir dir;
  test::EnvGuard env;
  env.set("XDG_DATA_HOME", (dir / "data").string());
  env.set("NIVRA_COMMON_DATA_DIR", (dir / "common" / "Nivra").string());
  const std::string user = GetUserDataFolder();
  EXPECT_EQ(user, (dir / "data" / "Nivra" / "").string());
  EXPECT_TRUE(std::filesystem::is_directory(user));
  EXPECT_EQ(GetSpecialFolder(CSIDL_LOCAL_APPDATA), (dir / "data" / "").string());
  EXPECT_EQ(GetSpecialFolder(0x7777), "");
  StampActive();
  platform::IniFile ini(dir / "common" / "Nivra" / "active.ini");
  ASSERT_TRUE(ini.load());
  EXPECT_GT(std::stod(ini.readString("active", "active", "0")), 46000.0);
  EXPECT_GT(GetFileDate((dir / "common" / "Nivra" / "active.ini").string()), 46000.0);
  EXPECT_EQ(GetFileDate((dir / "none").string()), 0.0);
  // A folder that cannot be made gives an empty text.
  dir.write("blocker", "file");
  env.set("XDG_DATA_HOME", (dir / "blocker").string());
  EXPECT_EQ(GetUserDataFolder(), "");
}

}  // namespace
}  // namespace nivra::common
