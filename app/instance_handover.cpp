#include "app/instance_handover.h"

#include "common/ufunction.h"
#include "platform/messages.h"
#include "platform/text.h"
#include "platform/window_channel.h"

namespace nivra::app {
using platform::CopyDataRecord;
using platform::Message;

bool ChannelMainWindowPort::find() {
  window_ = platform::findWindow(kMainWindowClass);
  return window_.has_value();
}

std::optional<std::int64_t> ChannelMainWindowPort::send(const Message& msg) {
  return window_ ? platform::sendWindowMessage(*window_, msg) : std::nullopt;
}

std::optional<std::int64_t> ChannelMainWindowPort::sendCopyData(std::intptr_t wParam,
                                                                const CopyDataRecord& record) {
  return window_ ? platform::sendCopyData(*window_, wParam, record) : std::nullopt;
}

void HandOverToRunningInstance(const CommandLine& cmd, MainWindowPort& window) {
  const std::string first = cmd.arg(1);
  if (text::equalsNoCase(first, "/A") || text::equalsNoCase(first, "/SETUPRUN")) return;
  if (!window.find()) return;
  auto reply = window.send(Message{platform::WM_INSTANCE_ACTIVATE, cmd.argCount(), 0});
  if (reply != 1 || cmd.argCount() <= 0) return;
  std::string buffer = cmd.remainder();
  buffer.push_back('\0');
  CopyDataRecord record{0, static_cast<std::uint32_t>(buffer.size()), buffer.data()};
  window.sendCopyData(0, record);
}

std::string FirstTokenIfQuoted(const std::string& text) {
  if (text.empty() || text.front() != '"') return text;
  std::string token;
  common::NextCommandToken(text, 0, token);
  return token;
}

bool IsPrivateLink(std::string_view text) { return text::startsWithNoCase(text, "Nivra://"); }

namespace {

// %XX escapes of a file URL's path; anything else stays as it is.
std::string PercentDecode(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto hex = [](char c) -> int {
      if (c >= '0' && c <= '9') return c - '0';
      if (c >= 'a' && c <= 'f') return c - 'a' + 10;
      if (c >= 'A' && c <= 'F') return c - 'A' + 10;
      return -1;
    };
    if (text[i] == '%' && i + 2 < text.size() + 0 && hex(text[i + 1]) >= 0 &&
        hex(text[i + 2]) >= 0) {
      out += static_cast<char>(hex(text[i + 1]) * 16 + hex(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace

std::optional<std::string> OpenSwitchItem(const std::vector<std::string>& args) {
  if (args.size() < 2 || !text::equalsNoCase(args[0], "/Open") || args[1].empty()) return {};
  const std::string& item = args[1];
  if (text::startsWithNoCase(item, "file://")) {
    std::string_view rest = std::string_view(item).substr(7);
    // "file://localhost/path" and "file:///path"; another host is not a local file.
    if (text::startsWithNoCase(rest, "localhost/")) rest.remove_prefix(9);
    if (rest.empty() || rest.front() != '/') return {};
    return PercentDecode(rest);
  }
  if (item.find("://") != std::string::npos) return {};
  return item;
}

ForwardedCommand InterpretForwardedText(std::string_view bytes) {
  const auto nul = bytes.find('\0');
  // "/Open" carries paths, which the URL decoding below would change ('+', '%').
  {
    std::vector<std::string> args;
    const std::string_view raw = bytes.substr(0, nul);
    std::string token;
    for (std::size_t pos = 0; args.size() < 2;) {
      pos = common::NextCommandToken(raw, pos, token);
      if (token.empty()) break;
      args.push_back(token);
    }
    if (auto item = OpenSwitchItem(args)) return {ForwardedCommand::Kind::OpenFile, *item};
  }
  const std::string decoded = UrlDecode(bytes.substr(0, nul));
  const std::string result = FirstTokenIfQuoted(std::string(text::trim(decoded)));
  if (result.empty()) return {};
  if (IsPrivateLink(result)) return {ForwardedCommand::Kind::OpenLink, result};

  const auto items = SplitCommaText(result);
  if (items.size() < 2) return {};
  std::size_t i = 0;
  std::string switchText;
  for (; i < items.size(); ++i) {
    switchText = std::string(text::trim(items[i]));
    if (!switchText.empty()) break;
  }
  std::string argument;
  for (++i; i < items.size(); ++i) {
    const std::string item(text::trim(items[i]));
    if (item.empty()) break;
    argument = item;
  }
  if (!argument.empty() && text::equalsNoCase(switchText, "/WebShell"))
    return {ForwardedCommand::Kind::WebShell, argument};
  return {};
}

}  // namespace nivra::app
