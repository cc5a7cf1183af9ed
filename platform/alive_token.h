#pragma once
// Tells work queued by an object (a post to its loop, the rest of a method after a callback that
// may destroy it) whether that object still exists. The owner keeps an AliveToken as a member,
// so the token dies with it. The token does not keep its owner alive: checks must run on the
// thread that destroys the owner (its loop's thread).

#include <memory>
#include <utility>

namespace nivra::platform {

class AliveToken final {
 public:
  // Whether the token it was taken from still exists. Copyable; may outlive the token.
  class Watch {
   public:
    bool alive() const { return !life_.expired(); }

   private:
    friend class AliveToken;
    explicit Watch(std::weak_ptr<const char> life) : life_(std::move(life)) {}
    std::weak_ptr<const char> life_;
  };

  AliveToken() = default;
  AliveToken(const AliveToken&) = delete;
  AliveToken& operator=(const AliveToken&) = delete;

  Watch watch() const { return Watch(life_); }

  // `fn` wrapped to run only while this token exists: what the owner hands to EventLoop::post.
  template <class Fn>
  auto guard(Fn fn) const {
    return [watch = watch(), fn = std::move(fn)]() mutable {
      if (watch.alive()) fn();
    };
  }

 private:
  std::shared_ptr<const char> life_ = std::make_shared<const char>('\0');
};

}  // namespace nivra::platform
