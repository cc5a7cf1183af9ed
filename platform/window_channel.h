#pragma once
// Messages between processes, in place of finding a window by class and sending it messages.
// A window that listens owns the Unix stream socket $XDG_RUNTIME_DIR/nivra/<class>.sock (mode
// 0600, in a 0700 folder); both ends check that the other is a process of the same user (peer
// credentials). Only the messages that cross processes are accepted (WM_INSTANCE_ACTIVATE,
// WM_COPYDATA, WM_CLOSE, WM_STOP_PLAYBACK); any other frame is dropped unanswered, and lParam
// never crosses (WM_COPYDATA's points at the received bytes). Frames are read on a channel
// thread and handled on the target's loop thread, so a window with a modal dialog open still
// answers. A send waits for the handler's reply.

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/message.h"

namespace nivra::platform {

std::filesystem::path windowSocketPath(std::string_view className);

class WindowChannelServer {
 public:
  // Starts listening for `className`, replacing a stale socket of that name; frames go to
  // `target`. The caller must hold the instance lock that makes it the owner of that name.
  WindowChannelServer(std::string className, MessageTarget& target);
  // Stops the channel thread and removes the socket; no handler runs once it returns. From
  // another thread than the loop's it waits for a handler that is running.
  ~WindowChannelServer();
  WindowChannelServer(const WindowChannelServer&) = delete;
  WindowChannelServer& operator=(const WindowChannelServer&) = delete;

  bool listening() const;

 private:
  struct State;
  std::shared_ptr<State> state_;
};

// A window of another process found by class name.
struct WindowHandle {
  std::filesystem::path socket;
};

inline constexpr std::chrono::milliseconds kDefaultSendTimeout{10000};

// The window that listens for `className`, when a connection to it succeeds.
std::optional<WindowHandle> findWindow(std::string_view className);
// Sends and waits for the reply; nullopt when the window is gone, the peer misbehaves or the
// reply does not come within `timeout`.
std::optional<std::int64_t> sendWindowMessage(
    const WindowHandle& window, const Message& msg,
    std::chrono::milliseconds timeout = kDefaultSendTimeout);
// Sends WM_COPYDATA with the record's bytes.
std::optional<std::int64_t> sendCopyData(const WindowHandle& window, std::intptr_t wParam,
                                         const CopyDataRecord& record,
                                         std::chrono::milliseconds timeout = kDefaultSendTimeout);
// Queues the message at the window without waiting for it to be handled.
bool postWindowMessage(const WindowHandle& window, const Message& msg);

}  // namespace nivra::platform
