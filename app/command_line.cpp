#include "app/command_line.h"

#include <cstdio>

#include "platform/error.h"
#include "platform/text.h"

namespace nivra::app {
namespace {

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool needsQuotes(const std::string& a) {
  if (a.empty()) return true;
  for (char c : a)
    if (static_cast<unsigned char>(c) <= 32 || c == '"') return true;
  return false;
}

}  // namespace

CommandLine CommandLine::fromArgv(int argc, char** argv, std::string selfPath) {
  CommandLine cmd;
  cmd.selfPath = std::move(selfPath);
  for (int i = 1; i < argc; ++i) cmd.args.emplace_back(argv[i]);
  return cmd;
}

std::string CommandLine::arg(int n) const {
  return (n >= 1 && n <= argCount()) ? args[static_cast<std::size_t>(n - 1)] : std::string();
}

std::string CommandLine::raw() const {
  std::string line = "\"" + selfPath + "\"";
  for (const auto& a : args) line += " " + (needsQuotes(a) ? "\"" + a + "\"" : a);
  return line;
}

std::string CommandLine::remainder() const {
  return std::string(text::trim(text::eraseAllNoCase(raw(), "\"" + selfPath + "\"")));
}

std::string UrlDecode(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '+') {
      out += ' ';
    } else if (c != '%') {
      out += c;
    } else if (i + 1 < text.size() && text[i + 1] == '%') {
      out += '%';
      ++i;
    } else {
      const int hi = i + 1 < text.size() ? hexValue(text[i + 1]) : -1;
      const int lo = i + 2 < text.size() ? hexValue(text[i + 2]) : -1;
      if (hi < 0 || lo < 0) {
        char msg[96];
        std::snprintf(msg, sizeof msg, "网址解码失败：第 %zu 个字符处的转义无效", i + 1);
        throw nivra::Error(msg);
      }
      out += static_cast<char>(hi * 16 + lo);
      i += 2;
    }
  }
  return out;
}

std::vector<std::string> SplitCommaText(std::string_view text) {
  std::vector<std::string> items;
  auto blank = [](char c) { return c != '\0' && static_cast<unsigned char>(c) <= 32; };
  std::size_t p = 0;
  const std::size_t n = text.size();
  while (p < n && blank(text[p])) ++p;
  while (p < n) {
    std::string item;
    if (text[p] == '"') {
      ++p;
      while (p < n) {
        if (text[p] == '"') {
          if (p + 1 < n && text[p + 1] == '"') {
            item += '"';
            p += 2;
            continue;
          }
          ++p;
          break;
        }
        item += text[p++];
      }
    } else {
      const std::size_t start = p;
      while (p < n && static_cast<unsigned char>(text[p]) > 32 && text[p] != ',') ++p;
      item.assign(text.substr(start, p - start));
    }
    items.push_back(std::move(item));
    while (p < n && blank(text[p])) ++p;
    if (p < n && text[p] == ',') {
      if (p + 1 == n) items.emplace_back();
      do {
        ++p;
      } while (p < n && blank(text[p]));
    }
  }
  return items;
}

bool ParseBoolArg(std::string_view text, bool def) {
  if (text::equalsNoCase(text, "true")) return true;
  if (text::equalsNoCase(text, "false")) return false;
  if (auto v = text::parseInteger(text)) return *v != 0;
  return def;
}

int ParseIntArg(std::string_view text, int def) {
  if (text.empty() || text::trim(text).size() != text.size()) return def;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (!(c >= '0' && c <= '9') && !(i == 0 && (c == '-' || c == '+') && text.size() > 1)) return def;
  }
  return text::parseInt32(text).value_or(def);
}

ModeChoice ChooseMode(const CommandLine& cmd) {
  ModeChoice choice;
  const std::string first = cmd.arg(1);
  auto is = [&](std::string_view s) { return text::equalsNoCase(first, s); };
  if (is("/ShellSvc")) {
    choice.mode = ProgramMode::ShellSvc;
  } else if (is("/SETAUTORUN")) {
    choice.mode = ProgramMode::SetAutorun;
    choice.autorunFlag = ParseBoolArg(cmd.arg(2), true);
  } else if (is("/SetSetupDay")) {
    choice.mode = ProgramMode::SetSetupDay;
  } else if (is("/U")) {
    choice.mode = ProgramMode::CloseRunning;
  } else if (is("/SHOWAD")) {
    choice.mode = ProgramMode::ShowAd;
    choice.showWindow = cmd.argCount() >= 4;
    choice.url = cmd.arg(2);
    choice.width = ParseIntArg(cmd.arg(3), 250);
    choice.height = ParseIntArg(cmd.arg(4), 180);
    choice.time = ParseIntArg(cmd.arg(5), 31000);
  } else if (is("/SHOWMINI")) {
    choice.mode = ProgramMode::ShowMini;
    choice.showWindow = cmd.argCount() >= 4;
    choice.url = cmd.arg(2);
    choice.width = ParseIntArg(cmd.arg(3), 650);
    choice.height = ParseIntArg(cmd.arg(4), 460);
  } else {
    choice.hiddenStart = is("/A") || is("/SETUPRUN");
  }
  return choice;
}

}  // namespace nivra::app
