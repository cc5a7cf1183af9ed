#pragma once
// The program's command line: arguments, the raw line and its remainder, the text helpers of
// the hand-over (URL decoding, comma text), and the choice of the process's mode.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace nivra::app {

struct CommandLine {
  std::string selfPath;           // full path of the running program (argument 0)
  std::vector<std::string> args;  // the arguments after the program name

  static CommandLine fromArgv(int argc, char** argv, std::string selfPath);
  int argCount() const { return static_cast<int>(args.size()); }
  // Argument n (1-based), empty when missing.
  std::string arg(int n) const;
  // The raw command line the way the platform would hand it over: the quoted program path,
  // then each argument, quoted when it holds white space or a quote or is empty.
  std::string raw() const;
  // raw() with every `"` + selfPath + `"` removed (ignoring case), then trimmed.
  std::string remainder() const;
};

// "+" becomes a space, "%" and two hexadecimal digits that byte, "%%" a "%". A "%" not followed
// by two characters, or by non-hexadecimal ones, throws nivra::Error naming the position.
std::string UrlDecode(std::string_view text);
// Items separated by commas or white space; an item in double quotes may hold both ("" inside
// is one quote). An empty item stands between two commas and after a trailing comma.
std::vector<std::string> SplitCommaText(std::string_view text);
// "True"/"False" in any case, or an integer (0 false, else true); `def` otherwise.
bool ParseBoolArg(std::string_view text, bool def);
// A decimal integer argument, `def` when it is not one.
int ParseIntArg(std::string_view text, int def);

enum class ProgramMode { ShellSvc, SetAutorun, SetSetupDay, CloseRunning, ShowAd, ShowMini, Normal };

struct ModeChoice {
  ProgramMode mode = ProgramMode::Normal;
  bool autorunFlag = true;   // "/SETAUTORUN"
  bool showWindow = false;   // "/SHOWAD", "/SHOWMINI": enough arguments for a window
  std::string url;           // ad window page
  int width = 0, height = 0, time = 0;
  bool hiddenStart = false;  // normal mode started by "/A" or "/SETUPRUN"
};

// The first matching row of the mode table for the first argument (ignoring case).
ModeChoice ChooseMode(const CommandLine& cmd);

}  // namespace nivra::app
