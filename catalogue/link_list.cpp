#include "catalogue/link_list.h"

#include <pugixml.hpp>

#include "platform/atomic_file.h"
#include "platform/message.h"
#include "platform/text.h"

namespace nivra::catalogue {
namespace {

// All text below an element, in document order, as the XML reader's element text gives it.
std::string elementText(const pugi::xml_node& element) {
  std::string out;
  for (pugi::xml_node n = element.first_child(); n;) {
    if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata) out += n.value();
    // Next node in document order inside `element`, without recursion.
    if (n.first_child()) {
      n = n.first_child();
      continue;
    }
    while (n && n != element && !n.next_sibling()) n = n.parent();
    if (!n || n == element) break;
    n = n.next_sibling();
  }
  return out;
}

}  // namespace

std::string readLinkListText(std::string_view xml) {
  pugi::xml_document doc;
  if (!doc.load_buffer(xml.data(), xml.size(), pugi::parse_default, pugi::encoding_auto)) return {};
  std::string out;
  pugi::xml_node root = doc.child("NewDataSet");
  for (pugi::xml_node ds = root.child("ds"); ds; ds = ds.next_sibling("ds")) {
    const std::string title = elementText(ds.child("title"));
    const std::string url = elementText(ds.child("url"));
    const std::string_view t = text::trim(title), u = text::trim(url);
    if (t.empty() || u.empty()) continue;
    out.append(t).append("=").append(u).append("\r\n");
  }
  return out;
}

std::string ReadLinkList(const std::filesystem::path& xmlFile) {
  auto bytes = platform::readWholeFile(xmlFile, 16u << 20);
  return bytes ? readLinkListText(*bytes) : std::string();
}

std::vector<std::string> ReadLinkListLines(const std::filesystem::path& xmlFile) {
  std::vector<std::string> lines;
  const std::string text = ReadLinkList(xmlFile);
  for (std::size_t pos = 0; pos < text.size();) {
    std::size_t end = text.find("\r\n", pos);
    if (end == std::string::npos) end = text.size();
    if (end > pos) lines.push_back(text.substr(pos, end - pos));
    pos = end + 2;
  }
  return lines;
}

std::string DownloadedListName(std::string_view name) { return "AD" + std::string(name); }

std::optional<std::vector<std::string>> InstallLinkList(const std::filesystem::path& folder,
                                                        std::string_view name) {
  namespace fs = std::filesystem;
  const fs::path downloaded = folder / DownloadedListName(name);
  const fs::path shown = folder / std::string(name);
  std::error_code ec;
  if (fs::exists(downloaded, ec)) {
    fs::remove(shown, ec);
    fs::rename(downloaded, shown, ec);
    if (ec) return std::nullopt;
  }
  return ReadLinkListLines(shown);
}

void FetchLinkList(platform::MessageTarget& window, std::string url,
                   const std::filesystem::path& folder, std::string_view name,
                   std::uint32_t message, net::BackgroundTasks& tasks, net::DownloadRetry retry) {
  window.postMessage(platform::Message{message, 0, 0});
  net::StartDownload(window, std::move(url), folder / DownloadedListName(name), message, tasks,
                     retry);
}

}  // namespace nivra::catalogue
