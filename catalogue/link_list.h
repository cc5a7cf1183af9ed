#pragma once
// The "NewDataSet" XML link lists ("left.xml", "right.xml"): a root "NewDataSet" holding "ds"
// elements with "title" and "url" children.

#include <filesystem>
#include <string>
#include <string_view>

namespace nivra::catalogue {

// One line title + "=" + url + CR LF per "ds" element whose trimmed title and url are both
// non-empty, in document order. A missing or unparsable file gives an empty text.
std::string ReadLinkList(const std::filesystem::path& xmlFile);
// The same over the file's bytes.
std::string readLinkListText(std::string_view xml);

}  // namespace nivra::catalogue
