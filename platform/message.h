#pragma once
// Private messages posted or sent by number to a message target on its loop's thread, in place
// of window messages. Numbers are the system's own (messages.h).

#include <cstdint>

#include "platform/alive_token.h"
#include "platform/event_loop.h"

namespace nivra::platform {

struct Message {
  std::uint32_t id = 0;
  std::intptr_t wParam = 0;
  std::intptr_t lParam = 0;
};

// The record carried by WM_COPYDATA. lpData points at cbData bytes owned by the sender for the
// duration of the send.
struct CopyDataRecord {
  std::uint32_t dwData = 0;
  std::uint32_t cbData = 0;
  const void* lpData = nullptr;
};

// Something that handles messages on one loop's thread (a window, the player control).
class MessageTarget {
 public:
  explicit MessageTarget(EventLoop& loop);
  virtual ~MessageTarget();
  MessageTarget(const MessageTarget&) = delete;
  MessageTarget& operator=(const MessageTarget&) = delete;

  // Handles one message and returns its reply. Runs on the loop's thread.
  virtual std::intptr_t handleMessage(const Message& msg) = 0;

  EventLoop& loop() const { return loop_; }

  // Queues the message for the target; dropped if the target is gone when it would run.
  // Thread-safe.
  void postMessage(const Message& msg);
  // Handles the message now and returns the reply. Caller must be on the loop's thread.
  std::intptr_t sendMessage(const Message& msg) { return handleMessage(msg); }

 private:
  EventLoop& loop_;
  AliveToken alive_;
};

}  // namespace nivra::platform
