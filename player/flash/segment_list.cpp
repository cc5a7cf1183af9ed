#include "player/flash/segment_list.h"

#include <algorithm>

#include "platform/text.h"
#include "player/flash/web_sites.h"

namespace nivra::player {
namespace {

bool isItemSeparator(char c) { return c == ',' || static_cast<unsigned char>(c) <= ' '; }

// Items of the lengths text: separated by "," and by white space (line breaks included).
std::vector<std::string_view> lengthItems(std::string_view lengths) {
  std::vector<std::string_view> items;
  std::size_t i = 0;
  while (i < lengths.size()) {
    while (i < lengths.size() && isItemSeparator(lengths[i])) ++i;
    const std::size_t start = i;
    while (i < lengths.size() && !isItemSeparator(lengths[i])) ++i;
    if (i > start) items.push_back(lengths.substr(start, i - start));
  }
  return items;
}

std::int64_t integerOrZero(std::string_view s) { return text::parseInt32(s).value_or(0); }

}  // namespace

std::vector<std::string> SplitListLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

std::vector<std::string> NonEmptyTrimmedLines(std::string_view text) {
  std::vector<std::string> lines;
  for (const auto& line : SplitListLines(text::trim(text)))
    if (auto t = text::trim(line); !t.empty()) lines.emplace_back(t);
  return lines;
}

SegmentLink ParseSegmentLink(std::string_view address) {
  SegmentLink link;
  std::string_view listText = address;
  if (text::startsWithNoCase(address, "flv\\") || text::startsWithNoCase(address, "f4v\\")) {
    link.SegmentExt = std::string(address.substr(0, 3));
    link.ServerType = kServerTypeFlvSegments;
    listText.remove_prefix(4);
  } else {
    link.ServerType = kServerTypeMp4Segments;
  }
  link.Lines = SplitListLines(listText);
  return link;
}

bool ExpandSegmentList(std::vector<std::string>& list, std::uint8_t serverType,
                       std::string_view segmentExt, int& duration) {
  std::string joined;
  for (const auto& line : list) joined += line + "\r\n";
  const auto slash = joined.find('\\');
  if (slash == std::string::npos) return false;
  const std::string base = joined.substr(0, slash);
  const auto items = lengthItems(std::string_view(joined).substr(slash + 1));
  if (items.size() != 2) return false;

  const std::int64_t total = integerOrZero(items[1]);
  std::int64_t seg = integerOrZero(items[0]);
  duration = static_cast<int>(total);
  if (seg <= 0) seg = std::max<std::int64_t>(total, 0);
  if (seg > 0 && total > 0 && (total + seg - 1) / seg > kMaxSegments) return false;

  const std::string ext = serverType == kServerTypeFlvSegments
                              ? "." + std::string(segmentExt) + "?l="
                              : std::string(".mp4?l=");
  list.clear();
  std::int64_t sum = 0;
  for (int n = 1;; ++n) {
    const std::int64_t len = std::min(total - sum, seg);
    list.push_back(base + std::to_string(n) + ext + std::to_string(len));
    sum += len;
    if (sum >= total) break;
  }
  return true;
}

}  // namespace nivra::player
