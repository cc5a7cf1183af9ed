#include "common/ufunction.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "platform/date_time.h"
#include "platform/folders.h"
#include "platform/ini_file.h"
#include "platform/text.h"
#include "platform/version_info.h"

namespace nivra::common {
namespace fs = std::filesystem;
namespace {

std::string createdFolder(const fs::path& dir) {
  return platform::ensureDir(dir) ? (dir / "").string() : std::string();
}

}  // namespace

std::string GetSpecialFolder(int id) {
  fs::path dir;
  switch (id) {
    case CSIDL_DESKTOP:
      dir = platform::homeDir() / "Desktop";
      break;
    case CSIDL_PERSONAL:
      dir = platform::homeDir() / "Documents";
      break;
    case CSIDL_APPDATA:
      dir = platform::configHome();
      break;
    case CSIDL_LOCAL_APPDATA:
      dir = platform::userDataDir().parent_path().parent_path();
      break;
    case CSIDL_COMMON_APPDATA:
      dir = platform::commonDataDir().parent_path().parent_path();
      break;
    case CSIDL_PROFILE:
      dir = platform::homeDir();
      break;
    default:
      return {};
  }
  return (dir / "").string();
}

std::string GetUserDataFolder() { return createdFolder(platform::userDataDir()); }

std::string GetCommonDataFolder() { return createdFolder(platform::commonDataDir()); }

std::string GetFileVersionText(const std::string& fileName) {
  return platform::readVersionString(fileName, "FileVersion").value_or("");
}

double GetFileDate(const std::string& fileName) {
  struct stat st {};
  if (::stat(fileName.c_str(), &st) != 0) return 0;
  const auto written = std::chrono::system_clock::time_point(
      std::chrono::duration_cast<std::chrono::system_clock::duration>(
          std::chrono::seconds(st.st_mtim.tv_sec) + std::chrono::nanoseconds(st.st_mtim.tv_nsec)));
  return platform::toDateTime(written);
}

std::string ExtractNameFromPath(std::string_view text) {
  return std::string(text::fileNameOf(text));
}

std::string ExtractUrlHost(std::string_view url) {
  std::string s = text::toLower(url);
  if (s.find("http://") != std::string::npos) s.erase(0, std::min<std::size_t>(7, s.size()));
  if (auto slash = s.find('/'); slash != std::string::npos) s.erase(slash);
  return s;
}

void StampActive() {
  const std::string folder = GetCommonDataFolder();
  if (folder.empty()) return;
  platform::IniFile ini(fs::path(folder) / "active.ini");
  ini.load();
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.10f", platform::toDateTime(std::chrono::system_clock::now()));
  ini.writeString("active", "active", buf);
  ini.save();
}

bool IsProcessElevated() { return ::geteuid() == 0; }

int BorderHitTest(int x, int y, int width, int height) {
  constexpr int kBorder = 5;
  if (x < kBorder && y < kBorder) return HTTOPLEFT;
  if (x > width - kBorder && y < kBorder) return HTTOPRIGHT;
  if (x > width - kBorder && y > height - kBorder) return HTBOTTOMRIGHT;
  if (x < kBorder && y > height - kBorder) return HTBOTTOMLEFT;
  if (x < kBorder) return HTLEFT;
  if (y < kBorder) return HTTOP;
  if (x > width - kBorder) return HTRIGHT;
  if (y > height - kBorder) return HTBOTTOM;
  return HTCLIENT;
}

bool HasCommandSwitch(const std::vector<std::string>& args, std::string_view text) {
  for (const auto& a : args)
    if (text::equalsNoCase(a, text)) return true;
  return false;
}

std::size_t NextCommandToken(std::string_view text, std::size_t pos, std::string& token) {
  token.clear();
  auto code = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  for (;;) {
    while (pos < text.size() && code(pos) >= 1 && code(pos) <= 32) ++pos;
    if (pos + 1 < text.size() && text[pos] == '"' && text[pos + 1] == '"') {
      pos += 2;
      continue;
    }
    break;
  }
  bool quoted = false;
  while (pos < text.size()) {
    const unsigned char c = code(pos);
    if (c <= 32 && !quoted) break;
    if (c == '"') {
      quoted = !quoted;
      ++pos;
      continue;
    }
    std::size_t len = 1;  // a UTF-8 lead byte takes its continuation bytes along
    if (c >= 0xC0) {
      while (pos + len < text.size() && (code(pos + len) & 0xC0) == 0x80) ++len;
    }
    token.append(text.substr(pos, len));
    pos += len;
  }
  return pos;
}

}  // namespace nivra::common
