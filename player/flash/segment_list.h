#pragma once
// Segment lists of the Flash path: the address of a private link of kind 4 ("nvswf") names a
// list whose first line reads base "\" segment-length "," total-length (both in ms), optionally
// behind a "flv\" or "f4v\" prefix. The list is expanded into the URLs of numbered segments:
// base 1 .mp4?l=len, base 2 .mp4?l=len, ... (or ".flv" / ".f4v" as the prefix was written).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace nivra::player {

// At most this many segment URLs are built from one list; a list that would need more is
// handed to the movie unchanged.
inline constexpr std::int64_t kMaxSegments = 10000;

struct SegmentLink {
  std::uint8_t ServerType = 0;     // 9 (MP4 segments) or 10 (FLV/F4V segments)
  std::string SegmentExt;          // for 10: the prefix's first 3 characters as written
  std::vector<std::string> Lines;  // the list text split into lines
};

// OpenSegmentLink's reading of a kind-4 address.
SegmentLink ParseSegmentLink(std::string_view address);

// Splits a list text into lines at CR LF, CR or LF. A last line without a line end counts; an
// empty text gives no lines.
std::vector<std::string> SplitListLines(std::string_view text);

// The non-empty lines of a text after trimming each (the resolver's source list).
std::vector<std::string> NonEmptyTrimmedLines(std::string_view text);

// Expands `list` in place for ServerType 9 or 10 and sets `duration` to the total length.
// Returns true when the list was rebuilt. A list without "\" or whose lengths text does not split
// into exactly two items stays as it is. A segment length of 0 or less stands for one segment
// covering the whole total (instead of adding entries without end).
bool ExpandSegmentList(std::vector<std::string>& list, std::uint8_t serverType,
                       std::string_view segmentExt, int& duration);

}  // namespace nivra::player
