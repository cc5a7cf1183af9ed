// The program's start without its work: parses the command
// line and the mode, and exits. The baseline for the hand-over latency.

#include <cstdio>

#include "app/command_line.h"
#include "platform/folders.h"

int main(int argc, char** argv) {
  const auto cmd = nivra::app::CommandLine::fromArgv(argc, argv, nivra::platform::selfExecutable().string());
  const auto choice = nivra::app::ChooseMode(cmd);
  return choice.mode == nivra::app::ProgramMode::Normal ? 0 : 1;
}
