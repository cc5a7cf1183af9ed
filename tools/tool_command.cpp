#include "tools/tool_command.h"

#include <algorithm>

namespace nivra::tool {

std::vector<ToolCommand>& toolCommands() {
  static std::vector<ToolCommand> commands;
  return commands;
}

ToolCommandRegistrar::ToolCommandRegistrar(ToolCommand command) {
  toolCommands().push_back(std::move(command));
}

bool wantsHelp(const std::vector<std::string>& args) {
  return std::any_of(args.begin(), args.end(), [](const std::string& a) { return a == "--help" || a == "-h"; });
}

}  // namespace nivra::tool
