// nivra-tool download URL FILE: one DownloadFile call, as the download thread makes it.

#include <chrono>
#include <filesystem>
#include <iostream>

#include "net/download_file.h"
#include "tools/tool_command.h"

namespace nivra::tool {
namespace {

int runDownload(const std::vector<std::string>& args) {
  if (wantsHelp(args)) {
    std::cout << "usage: nivra-tool download URL FILE\n"
                 "fetches an ftp:// or http:// URL into FILE (an FTP download continues a partial "
                 "FILE)\nprints: result=ok bytes=N seconds=S (exit 0) or result=failed (exit 1)\n";
    return 0;
  }
  if (args.size() != 2) {
    std::cerr << "nivra-tool download: expected URL FILE (see --help)\n";
    return 2;
  }
  const auto started = std::chrono::steady_clock::now();
  const bool ok = net::DownloadFile(args[0], args[1]);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
  if (!ok) {
    std::cout << "result=failed\n";
    return 1;
  }
  std::error_code ec;
  const auto size = std::filesystem::file_size(args[1], ec);
  std::cout << "result=ok bytes=" << (ec ? 0 : size) << " seconds=" << took.count() << "\n";
  return 0;
}

const ToolCommandRegistrar registrar{
    {"download", "fetch an ftp:// or http:// URL into a file", runDownload}};

}  // namespace
}  // namespace nivra::tool
