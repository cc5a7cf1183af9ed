// nivra-tool: thin command-line front ends over the core libraries.

#include <algorithm>
#include <exception>
#include <iostream>

#include "tools/tool_command.h"

int main(int argc, char** argv) {
  using nivra::tool::toolCommands;
  auto& commands = toolCommands();
  std::sort(commands.begin(), commands.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty() || args[0] == "--help" || args[0] == "-h") {
    std::cout << "usage: nivra-tool COMMAND [ARGS...]\n\ncommands:\n";
    for (const auto& c : commands) std::cout << "  " << c.name << "  " << c.summary << "\n";
    return args.empty() ? 2 : 0;
  }
  auto it = std::find_if(commands.begin(), commands.end(), [&](const auto& c) { return c.name == args[0]; });
  if (it == commands.end()) {
    std::cerr << "nivra-tool: unknown command '" << args[0] << "' (see nivra-tool --help)\n";
    return 2;
  }
  try {
    return it->run(std::vector<std::string>(args.begin() + 1, args.end()));
  } catch (const std::exception& e) {
    std::cerr << "nivra-tool " << args[0] << ": " << e.what() << "\n";
    return 1;
  }
}
