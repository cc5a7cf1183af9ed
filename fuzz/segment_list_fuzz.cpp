// Segment-list addresses of kind-4 links: reading the prefix and expanding the list never loops
// without end, never builds more than the limit of segments, and always leaves a non-empty list
// when it rebuilds one.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "player/flash/segment_list.h"

namespace {

void require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view address(reinterpret_cast<const char*>(data), size);
  auto link = nivra::player::ParseSegmentLink(address);
  require(link.ServerType == 9 || link.ServerType == 10);
  require(link.SegmentExt.empty() || link.SegmentExt.size() == 3);
  const auto before = link.Lines;
  int duration = -1;
  const bool rebuilt =
      nivra::player::ExpandSegmentList(link.Lines, link.ServerType, link.SegmentExt, duration);
  if (rebuilt) {
    require(!link.Lines.empty());
    require(link.Lines.size() <= static_cast<std::size_t>(nivra::player::kMaxSegments));
  } else {
    require(link.Lines == before);
  }
  (void)nivra::player::NonEmptyTrimmedLines(address);
  return 0;
}
