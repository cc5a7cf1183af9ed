// nivra-tool version [FILE]: the FileVersion compiled into a binary of the system.

#include <iostream>

#include "platform/folders.h"
#include "platform/version_info.h"
#include "tools/tool_command.h"

namespace nivra::tool {
namespace {

int runVersion(const std::vector<std::string>& args) {
  if (wantsHelp(args)) {
    std::cout << "usage: nivra-tool version [FILE]\nprints the version text compiled into FILE "
                 "(default: this tool)\n";
    return 0;
  }
  auto file = args.empty() ? platform::selfExecutable() : std::filesystem::path(args[0]);
  auto version = platform::readVersionString(file, "FileVersion");
  if (!version) {
    std::cerr << "nivra-tool version: no version text in " << file.string() << "\n";
    return 1;
  }
  std::cout << *version << "\n";
  return 0;
}

const ToolCommandRegistrar registrar{{"version", "print the version text of a binary", runVersion}};

}  // namespace
}  // namespace nivra::tool
