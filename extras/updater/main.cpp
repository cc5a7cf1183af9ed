// The updater stand-in: writes "Update:" and its arguments as one debug line
// ("Update: /silent /postbbs") and exits with 0. There is nothing to update here.

#include <string>

#include "platform/debug_output.h"

int main(int argc, char** argv) {
  std::string line = "Update:";
  for (int i = 1; i < argc; ++i) line.append(" ").append(argv[i]);
  nivra::platform::debugOutput(line);
  return 0;
}
