#pragma once
// A per-session named lock in place of a named mutex: flock on
// $XDG_RUNTIME_DIR/nivra/<name>.lock. The kernel releases it when the process dies.

#include <string>
#include <string_view>

#include "platform/unique_fd.h"

namespace nivra::platform {

class InstanceLock {
 public:
  // Tries to take the lock; never blocks.
  explicit InstanceLock(std::string_view name);
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // True when another process holds the lock (the "already exists" answer).
  bool alreadyExists() const { return alreadyExists_; }

 private:
  UniqueFd fd_;
  bool alreadyExists_ = false;
};

}  // namespace nivra::platform
