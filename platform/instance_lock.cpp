#include "platform/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>

#include "platform/folders.h"

namespace nivra::platform {

InstanceLock::InstanceLock(std::string_view name) {
  const auto path = runtimeDir() / (std::string(name) + ".lock");
  // A link in place of the lock file is not followed (it fails with ELOOP).
  fd_ = UniqueFd(::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600));
  if (!fd_) return;  // no lock could be made: the start counts as the first
  if (::flock(fd_.get(), LOCK_EX | LOCK_NB) != 0) {
    alreadyExists_ = (errno == EWOULDBLOCK);
    fd_.reset();
  }
}

}  // namespace nivra::platform
