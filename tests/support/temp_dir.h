#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it at the end
// of the test.

#include <filesystem>
#include <string>

namespace nivra::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
  // Writes a file below the folder (parents created) and returns its path.
  std::filesystem::path write(const std::string& name, const std::string& content) const;

 private:
  std::filesystem::path path_;
};

// The whole content of a file, empty when it cannot be read.
std::string readFile(const std::filesystem::path& path);

}  // namespace nivra::test
