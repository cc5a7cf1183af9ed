#pragma once
// The "NewDataSet" XML link lists ("left.xml", "right.xml"): a root "NewDataSet" holding "ds"
// elements with "title" and "url" children.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/download_thread.h"

namespace nivra::platform {
class MessageTarget;
}

namespace nivra::catalogue {

// One line title + "=" + url + CR LF per "ds" element whose trimmed title and url are both
// non-empty, in document order. A missing or unparsable file gives an empty text.
std::string ReadLinkList(const std::filesystem::path& xmlFile);
// The same over the file's bytes.
std::string readLinkListText(std::string_view xml);
// The lines of ReadLinkList without their line ends.
std::vector<std::string> ReadLinkListLines(const std::filesystem::path& xmlFile);

// The name a fresh download of the list `name` is stored under beside it: "AD" + name.
std::string DownloadedListName(std::string_view name);
// The step run when a list download is ready: a downloaded copy ("AD" + name in `folder`)
// replaces `name`, then `name` is read. nullopt when the replacement failed: the caller keeps
// the entries it shows.
std::optional<std::vector<std::string>> InstallLinkList(const std::filesystem::path& folder,
                                                        std::string_view name);
// Posts `message` to `window` at once (the list on disk is shown), then downloads `url` into
// "AD" + name in `folder` on a worker, which posts `message` again when the file is complete.
void FetchLinkList(platform::MessageTarget& window, std::string url,
                   const std::filesystem::path& folder, std::string_view name,
                   std::uint32_t message, net::BackgroundTasks& tasks,
                   net::DownloadRetry retry = {});

}  // namespace nivra::catalogue
