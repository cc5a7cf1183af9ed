#include "app/desktop/url_protocol.h"

#include <cstdlib>
#include <optional>
#include <sstream>
#include <vector>

#include "app/desktop/desktop_entry.h"
#include "platform/atomic_file.h"
#include "platform/folders.h"
#include "platform/registry.h"
#include "platform/text.h"

namespace nivra::app {
namespace fs = std::filesystem;
using platform::Hive;
using platform::Registry;

namespace {

constexpr const char* kProtocolName = "URL:Nivra Protocol";
constexpr const char* kDefaultIconKey = "Nivra\\DefaultIcon";
constexpr const char* kCommandKey = "Nivra\\Shell\\Open\\Command";

// The keys and values in the order the protocol is written.
void writeProtocolKeys(Registry& reg, const std::string& programPath) {
  reg.writeString(Hive::ClassesRoot, kUrlProtocolKey, "", kProtocolName);
  reg.writeString(Hive::ClassesRoot, kUrlProtocolKey, "@", kProtocolName);
  reg.writeString(Hive::ClassesRoot, kUrlProtocolKey, "Version", "1.0");
  reg.writeString(Hive::ClassesRoot, kUrlProtocolKey, "URL Protocol", "");
  reg.writeString(Hive::ClassesRoot, kDefaultIconKey, "", programPath);
  reg.createKey(Hive::ClassesRoot, "Nivra\\Shell");
  reg.createKey(Hive::ClassesRoot, "Nivra\\Shell\\Open");
  reg.writeString(Hive::ClassesRoot, kCommandKey, "", UrlProtocolCommand(programPath));
}

void writeDesktopSide(const std::string& programPath) {
  const fs::path apps = applicationsDir();
  if (!platform::ensureDir(apps)) return;
  DesktopEntry handler;
  handler.name = "Nivra";
  handler.exec = DesktopExec(programPath, "%u");
  handler.mimeTypes = kUrlSchemeMime + std::string(";") + kUrlSchemeMimeAsTyped + ";";
  handler.noDisplay = true;
  platform::writeFileAtomically(apps / kUrlHandlerEntry, handler.text());

  DesktopEntry player;
  player.name = "Nivra";
  player.exec = DesktopExec(programPath, "/Open %F");
  player.mimeTypes = MediaMimeTypes();
  player.icon = DesktopIcon(programPath);
  player.categories = "AudioVideo;Player;Video;";
  platform::writeFileAtomically(apps / kApplicationEntry, player.text());

  const fs::path list = mimeAppsList();
  if (!platform::ensureDir(list.parent_path())) return;
  const std::string old = platform::readWholeFile(list).value_or("");
  const std::string lower = WithDefaultApplication(old, kUrlSchemeMime, kUrlHandlerEntry);
  platform::writeFileAtomically(
      list, WithDefaultApplication(lower, kUrlSchemeMimeAsTyped, kUrlHandlerEntry));
}

}  // namespace

std::string UrlProtocolCommand(const std::string& programPath) {
  return "\"" + programPath + "\" \"%1\"";
}

void RegisterUrlProtocol(const std::string& programPath) {
  Registry reg = Registry::system();
  if (!reg.createKey(Hive::ClassesRoot, kDefaultIconKey)) return;
  const auto registered = reg.readString(Hive::ClassesRoot, kDefaultIconKey, "");
  if (registered && text::equalsNoCase(*registered, programPath)) return;
  writeProtocolKeys(reg, programPath);
  writeDesktopSide(programPath);
}

fs::path applicationsDir() {
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  const fs::path base =
      dataHome && *dataHome ? fs::path(dataHome) : platform::homeDir() / ".local/share";
  return base / "applications";
}

fs::path mimeAppsList() { return platform::configHome() / "mimeapps.list"; }

std::string WithDefaultApplication(const std::string& mimeAppsText, const std::string& mimeType,
                                   const std::string& entry) {
  const std::string section = "[Default Applications]";
  std::vector<std::string> lines;
  std::istringstream in(mimeAppsText);
  bool inSection = false;
  std::optional<std::size_t> replaceAt;  // where the old line was
  std::optional<std::size_t> insertAt;   // after the section's last line that is not blank
  for (std::string l; std::getline(in, l);) {
    if (!l.empty() && l.front() == '[') inSection = l == section;
    if (inSection && l.rfind(mimeType + "=", 0) == 0) {
      if (!replaceAt) replaceAt = lines.size();
      continue;
    }
    lines.push_back(l);
    if (inSection && !l.empty()) insertAt = lines.size();
  }
  if (replaceAt) insertAt = replaceAt;
  if (!insertAt) {
    if (!lines.empty() && !lines.back().empty()) lines.push_back("");
    lines.push_back(section);
    insertAt = lines.size();
  }
  lines.insert(lines.begin() + std::ptrdiff_t(*insertAt), mimeType + "=" + entry);
  std::string out;
  for (const auto& l : lines) out += l + "\n";
  return out;
}

const char* MediaMimeTypes() {
  return "video/mp4;video/x-matroska;video/webm;video/x-msvideo;video/quicktime;video/mpeg;"
         "video/x-flv;video/ogg;video/3gpp;video/x-ms-wmv;video/mp2t;"
         "audio/mpeg;audio/mp4;audio/ogg;audio/flac;audio/x-wav;audio/x-vorbis+ogg;audio/webm;"
         "audio/aac;audio/x-ms-wma;application/ogg;";
}

}  // namespace nivra::app
