#include "tests/support/temp_dir.h"

#include <stdlib.h>

#include <fstream>
#include <sstream>
#include <vector>

namespace nivra::test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "nivra-test-XXXXXX").string();
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  path_ = ::mkdtemp(buf.data());
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::filesystem::path TempDir::write(const std::string& name, const std::string& content) const {
  auto p = path_ / name;
  std::filesystem::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << content;
  return p;
}

std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

}  // namespace nivra::test
