#include "platform/debug_output.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace nivra::platform {

void debugOutput(std::string_view line) {
  std::string record(line);
  record += '\n';
  // The file is opened per line with O_APPEND, so lines of several processes never interleave
  // inside a line and a test can rotate or read the file at any time.
  if (const char* path = std::getenv("NIVRA_DEBUG_LOG"); path && *path) {
    int fd = ::open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd >= 0) {
      [[maybe_unused]] auto n = ::write(fd, record.data(), record.size());
      ::close(fd);
    }
  }
  if (const char* on = std::getenv("NIVRA_DEBUG"); on && std::strcmp(on, "1") == 0) {
    [[maybe_unused]] auto n = ::write(STDERR_FILENO, record.data(), record.size());
  }
}

}  // namespace nivra::platform
