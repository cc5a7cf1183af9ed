#include "app/command_line.h"

#include <gtest/gtest.h>

#include "platform/error.h"

namespace nivra::app {
namespace {

CommandLine line(std::vector<std::string> args, std::string self = "/opt/Nivra/nivra") {
  CommandLine cmd;
  cmd.selfPath = std::move(self);
  cmd.args = std::move(args);
  return cmd;
}

TEST(ChooseMode, FirstArgumentPicksTheRowIgnoringCase) {
  EXPECT_EQ(ChooseMode(line({"/shellsvc"})).mode, ProgramMode::ShellSvc);
  EXPECT_EQ(ChooseMode(line({"/setsetupday"})).mode, ProgramMode::SetSetupDay);
  EXPECT_EQ(ChooseMode(line({"/u"})).mode, ProgramMode::CloseRunning);
  EXPECT_EQ(ChooseMode(line({"x", "/U"})).mode, ProgramMode::Normal);
  EXPECT_EQ(ChooseMode(line({})).mode, ProgramMode::Normal);
  EXPECT_TRUE(ChooseMode(line({"/a"})).hiddenStart);
  EXPECT_TRUE(ChooseMode(line({"/SetupRun"})).hiddenStart);
  EXPECT_FALSE(ChooseMode(line({"Nivra://x", "/A"})).hiddenStart);
}

TEST(ChooseMode, AutorunFlagReadsAsBoolean) {
  struct Case {
    std::vector<std::string> args;
    bool flag;
  } cases[] = {
      {{"/SETAUTORUN"}, true},           {{"/SETAUTORUN", "0"}, false},
      {{"/SETAUTORUN", "FALSE"}, false}, {{"/SETAUTORUN", "true"}, true},
      {{"/SETAUTORUN", "7"}, true},      {{"/SETAUTORUN", "-1"}, true},
      {{"/SETAUTORUN", "maybe"}, true},
  };
  for (const auto& c : cases) {
    const auto choice = ChooseMode(line(c.args));
    EXPECT_EQ(choice.mode, ProgramMode::SetAutorun);
    EXPECT_EQ(choice.autorunFlag, c.flag) << (c.args.size() > 1 ? c.args[1] : "(none)");
  }
}

TEST(ChooseMode, AdWindowsNeedThreeFurtherArgumentsAndTakeDefaults) {
  auto onlyUrl = ChooseMode(line({"/SHOWAD", "http://ad"}));
  EXPECT_EQ(onlyUrl.mode, ProgramMode::ShowAd);
  EXPECT_FALSE(onlyUrl.showWindow);
  auto words = ChooseMode(line({"/showad", "http://ad", "wide", "tall"}));
  EXPECT_TRUE(words.showWindow);
  EXPECT_EQ(words.url, "http://ad");
  EXPECT_EQ(std::tie(words.width, words.height, words.time), std::make_tuple(250, 180, 31000));
  auto numbers = ChooseMode(line({"/SHOWAD", "u", "300", "200", "5000"}));
  EXPECT_EQ(std::tie(numbers.width, numbers.height, numbers.time), std::make_tuple(300, 200, 5000));
  auto mini = ChooseMode(line({"/SHOWMINI", "u", "x", "12"}));
  EXPECT_EQ(mini.mode, ProgramMode::ShowMini);
  EXPECT_TRUE(mini.showWindow);
  EXPECT_EQ(std::tie(mini.width, mini.height), std::make_tuple(650, 12));
}

TEST(CommandLine, RemainderDropsTheQuotedProgramPath) {
  EXPECT_EQ(line({"Nivra://abc"}).remainder(), "Nivra://abc");
  EXPECT_EQ(line({"/WebShell", "http://x/a b"}).remainder(), "/WebShell \"http://x/a b\"");
  EXPECT_EQ(line({}).remainder(), "");
  auto cmd = line({"a"}, "/Opt/Nivra");
  EXPECT_EQ(cmd.raw(), "\"/Opt/Nivra\" a");
  EXPECT_EQ(cmd.arg(1), "a");
  EXPECT_EQ(cmd.arg(2), "");
}

TEST(UrlDecode, PlusPercentAndDoublePercent) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"Nivra://a+b", "Nivra://a b"},
      {"%41%62", "Ab"},
      {"100%%", "100%"},
      {"%E6%92%AD", "播"},
      {"", ""},
      {"no escapes", "no escapes"},
  };
  for (const auto& c : cases) EXPECT_EQ(UrlDecode(c.in), c.out) << c.in;
  for (const char* bad : {"%", "%4", "abc%zz", "%4g", "%+1"}) {
    EXPECT_THROW(UrlDecode(bad), nivra::Error) << bad;
  }
  try {
    UrlDecode("abc%zz");
  } catch (const nivra::Error& e) {
    EXPECT_NE(std::string(e.what()).find('4'), std::string::npos)
        << "names the position: " << e.what();
  }
}

TEST(SplitCommaText, CommasSpacesQuotesAndEmptyItems) {
  using V = std::vector<std::string>;
  EXPECT_EQ(SplitCommaText("/WebShell http://x"), (V{"/WebShell", "http://x"}));
  EXPECT_EQ(SplitCommaText("a,b , c"), (V{"a", "b", "c"}));
  EXPECT_EQ(SplitCommaText("a,,b"), (V{"a", "", "b"}));
  EXPECT_EQ(SplitCommaText("a,"), (V{"a", ""}));
  EXPECT_EQ(SplitCommaText("\"x, y\" \"say \"\"hi\"\"\""), (V{"x, y", "say \"hi\""}));
  EXPECT_EQ(SplitCommaText("   "), V{});
}

}  // namespace
}  // namespace nivra::app
