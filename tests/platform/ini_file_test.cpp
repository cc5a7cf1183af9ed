#include "platform/ini_file.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace nivra::platform {
namespace {

constexpr const char* kSample =
    "; settings\r\n"
    "[Main]\r\n"
    "  Name = \"quoted value\" \r\n"
    "Single='single'\r\n"
    "Inner=a \"b\" c\r\n"
    "Number=42\r\n"
    "Hex=0x1F\r\n"
    "Negative=-7\r\n"
    "Word=abc\r\n"
    "Big=99999999999\r\n"
    "Empty=\r\n"
    "Number=13\r\n"
    "garbage line without equals\r\n"
    "[main]\r\n"
    "Name=second section loses\r\n"
    "[Other]\r\n"
    "x=1";

TEST(IniFile, ProfileReadRules) {
  IniFile ini;
  ini.setText(kSample);
  struct Case {
    const char* section;
    const char* key;
    const char* expected;
  } cases[] = {
      {"Main", "Name", "quoted value"},  // trimmed, enclosing quotes stripped
      {"MAIN", "name", "quoted value"},  // case-insensitive section and key
      {"Main", "Single", "single"},
      {"Main", "Inner", "a \"b\" c"},  // quotes inside stay
      {"Main", "Number", "42"},        // the first of duplicate keys wins
      {"Main", "Empty", ""},
      {"Main", "Missing", "<def>"},
      {"Nowhere", "Name", "<def>"},
      {"other", "X", "1"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ini.readString(c.section, c.key, "<def>"), c.expected) << c.section << "/" << c.key;
}

TEST(IniFile, IntegersAndBooleansFallBackToDefault) {
  IniFile ini;
  ini.setText(kSample);
  EXPECT_EQ(ini.readInteger("Main", "Number", 5), 42);
  EXPECT_EQ(ini.readInteger("Main", "Hex", 5), 31);
  EXPECT_EQ(ini.readInteger("Main", "Negative", 5), -7);
  EXPECT_EQ(ini.readInteger("Main", "Word", 5), 5);
  EXPECT_EQ(ini.readInteger("Main", "Big", 5), 5);  // does not fit 32 bits
  EXPECT_EQ(ini.readInteger("Main", "Empty", 5), 5);
  EXPECT_TRUE(ini.readBool("Main", "Number", false));
  EXPECT_FALSE(ini.readBool("Main", "Word", false));
  EXPECT_TRUE(ini.readBool("Main", "Word", true));
}

TEST(IniFile, VerbatimStyleKeepsValuesAsWritten) {
  IniFile ini({}, IniFile::Style::Verbatim);
  ini.setText("; head\r\n\r\n[s]\r\nk= \"v\" \r\r\n  [t]  \n[u]x\nj=1\n\n");
  EXPECT_EQ(ini.readString("s", "k", ""), " \"v\" ");
  EXPECT_EQ(ini.readString("t", "j", ""), "1");  // "[u]x" is no header in this style
  ini.writeString("T", "w", " spaced ");
  ini.writeString("new", "k", "v");
  EXPECT_EQ(ini.text(), "; head\n\n[s]\nk= \"v\" \n\n[t]\n[u]x\nj=1\nw= spaced \n\n[new]\nk=v\n\n");
}

TEST(IniFile, WritesKeepOrderCommentsAndUnknownLines) {
  IniFile ini;
  ini.setText("; head\n[A]\nx=1\n; note\ny=2\n\n[B]\nz=3\n");
  ini.writeString("a", "Y", "20");   // replaced in place, original key spelling kept
  ini.writeInteger("A", "w", 4);     // appended after the last entry of A
  ini.writeBool("C", "flag", true);  // new section at the end
  EXPECT_EQ(ini.text(), "; head\n[A]\nx=1\n; note\ny=20\nw=4\n\n[B]\nz=3\n[C]\nflag=1\n");
  EXPECT_EQ(ini.sectionNames(), (std::vector<std::string>{"A", "B", "C"}));
  EXPECT_EQ(ini.keyNames("a"), (std::vector<std::string>{"x", "y", "w"}));
  ini.deleteKey("A", "X");
  ini.eraseSection("b");
  EXPECT_EQ(ini.text(), "; head\n[A]\n; note\ny=20\nw=4\n\n[C]\nflag=1\n");
}

TEST(IniFile, LineBreaksInWrittenValuesCannotForgeEntries) {
  for (IniFile::Style style : {IniFile::Style::Profile, IniFile::Style::Verbatim}) {
    IniFile ini({}, style);
    ini.writeString("S", "name", "x\r\nurl=forged\n[T]\nk=v");
    IniFile back({}, style);
    back.setText(ini.text());
    EXPECT_EQ(back.readString("S", "name", ""), "x  url=forged [T] k=v");
    EXPECT_FALSE(back.valueExists("S", "url"));
    EXPECT_FALSE(back.sectionExists("T"));
  }
}

TEST(IniFile, GarbageNeverBreaksReadsOrWrites) {
  std::string garbage;
  for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 131) % 256);
  garbage += "\n[\n]\n[=]\n==\n[x\n=v\n\0\0\n";
  IniFile ini;
  ini.setText(garbage);
  EXPECT_EQ(ini.readString("nothing", "k", "d"), "d");
  ini.writeString("S", "k", "v");
  IniFile again;
  again.setText(ini.text());
  EXPECT_EQ(again.readString("S", "k", ""), "v");
}

TEST(IniFile, SaveAndLoadThroughTheFile) {
  test::TempDir dir;
  IniFile ini(dir / "a.ini");
  EXPECT_FALSE(ini.load());  // missing file: empty, defaults everywhere
  ini.writeString("S", "k", "值");
  ASSERT_TRUE(ini.save());
  IniFile back(dir / "a.ini");
  ASSERT_TRUE(back.load());
  EXPECT_EQ(back.readString("s", "K", ""), "值");
  IniFile nowhere(dir / "no" / "such" / "dir.ini");
  EXPECT_FALSE(nowhere.save());
}

}  // namespace
}  // namespace nivra::platform
