#pragma once
// Subcommands of nivra-tool. Each cmd_*.cpp registers its commands with a static
// ToolCommandRegistrar; main() dispatches on the first argument.

#include <functional>
#include <string>
#include <vector>

namespace nivra::tool {

struct ToolCommand {
  std::string name;     // first argument, e.g. "link"
  std::string summary;  // one line for the overview
  // Runs with the arguments after the name; returns the exit code. Prints machine-readable
  // lines to stdout, a one-line message to stderr on bad input.
  std::function<int(const std::vector<std::string>& args)> run;
};

std::vector<ToolCommand>& toolCommands();

struct ToolCommandRegistrar {
  explicit ToolCommandRegistrar(ToolCommand command);
};

// True when args hold "--help" or "-h".
bool wantsHelp(const std::vector<std::string>& args);

}  // namespace nivra::tool
