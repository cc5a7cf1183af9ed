#pragma once
// The single-instance hand-over: a second start wakes the running main window and forwards its
// command line; the running window interprets what arrives. Both sides are plain logic over a
// small port so that they can be checked without processes.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"
#include "platform/message.h"
#include "platform/window_channel.h"

namespace nivra::app {

inline constexpr const char* kMainWindowClass = "TNivraMainForm";
inline constexpr const char* kAppLock = "Nivra_Mutex_App";
inline constexpr const char* kPopLock = "Nivra_Mutex_POP";
inline constexpr const char* kMiniLock = "Nivra_Mutex_Mini";

// The running main window as a second start sees it.
class MainWindowPort {
 public:
  virtual ~MainWindowPort() = default;
  // Finds the window by its class name; false when none listens.
  virtual bool find() = 0;
  // Sends and waits; nullopt when the window did not answer.
  virtual std::optional<std::int64_t> send(const platform::Message& msg) = 0;
  virtual std::optional<std::int64_t> sendCopyData(std::intptr_t wParam,
                                                   const platform::CopyDataRecord& record) = 0;
};

// The window channel as the port.
class ChannelMainWindowPort final : public MainWindowPort {
 public:
  bool find() override;
  std::optional<std::int64_t> send(const platform::Message& msg) override;
  std::optional<std::int64_t> sendCopyData(std::intptr_t wParam,
                                           const platform::CopyDataRecord& record) override;

 private:
  std::optional<platform::WindowHandle> window_;
};

// A second normal start: nothing for "/A" and "/SETUPRUN"; otherwise WM_INSTANCE_ACTIVATE with
// the argument count and, on reply 1 with arguments, the remainder of the command line as
// WM_COPYDATA (text plus one NUL).
void HandOverToRunningInstance(const CommandLine& cmd, MainWindowPort& window);

// What a forwarded text asks of the running window.
struct ForwardedCommand {
  enum class Kind { None, OpenLink, OpenFile, WebShell };
  Kind kind = Kind::None;
  std::string text;  // the link, the file of "/Open", or the page for "/WebShell"
};

// "/Open ITEM …" (the switch the desktop entry and a user's shell use): the first item as a
// local path, a "file://" URL decoded to its path; nothing without the switch or an item, or for
// a URL of another scheme.
std::optional<std::string> OpenSwitchItem(const std::vector<std::string>& args);

// Interprets the WM_COPYDATA bytes: a "/Open" command line gives its file; otherwise the text up to
// its NUL (bounded by the record's length), URL-decoded, trimmed, replaced by its first token when
// it starts with a quote; then a "Nivra://" link, a "/WebShell" switch with its page, or nothing.
// Throws nivra::Error for a malformed percent escape.
ForwardedCommand InterpretForwardedText(std::string_view bytes);
// The first token of `text` when it starts with a double quote, else `text`.
std::string FirstTokenIfQuoted(const std::string& text);
// True when the first 8 characters are "Nivra://", ignoring case.
bool IsPrivateLink(std::string_view text);

}  // namespace nivra::app
