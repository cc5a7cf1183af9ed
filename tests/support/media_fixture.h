#pragma once
// Test media made at test time and served on 127.0.0.1: short H.264/AAC segments (MP4 or FLV)
// written by a GStreamer pipeline, HTML pages, and python's http.server (or range_server.py,
// with byte ranges) over the folder.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "tests/support/temp_dir.h"
#include "tests/support/test_process.h"

namespace nivra::test {

// Writes `ms` milliseconds of 320x240 video at 25 frames/s with a stereo tone. `container` is
// "mp4" or "flv". False when the pipeline failed.
bool MakeMediaSegment(const std::filesystem::path& file, int ms, int pattern,
                      const std::string& container);

// python3 -m http.server over a folder, on a free port of 127.0.0.1.
class LocalWebServer {
 public:
  explicit LocalWebServer(const std::filesystem::path& root);
  std::uint16_t port() const { return port_; }
  std::string url(const std::string& path) const;

 private:
  std::unique_ptr<TestProcess> process_;
  std::uint16_t port_ = 0;
};

// range_server.py over a folder: byte ranges, 404 for a missing file, and a file cut off in
// the middle under the path "cut/".
class RangeWebServer {
 public:
  explicit RangeWebServer(const std::filesystem::path& root);
  std::uint16_t port() const { return port_; }
  std::string url(const std::string& path) const;

 private:
  std::unique_ptr<TestProcess> process_;
  std::uint16_t port_ = 0;
};

}  // namespace nivra::test
