#include "extras/movie/movie_timeline.h"

#include <algorithm>

#include "platform/text.h"
#include "player/flash/segment_list.h"

namespace nivra::extras {

std::int64_t segmentLengthHint(std::string_view url) {
  const auto query = url.find('?');
  if (query == std::string_view::npos) return 0;
  std::string_view rest = url.substr(query + 1);
  while (!rest.empty()) {
    const auto amp = rest.find('&');
    const std::string_view item = rest.substr(0, amp);
    if (item.size() > 2 && item.substr(0, 2) == "l=") {
      const auto value = text::parseInteger(item.substr(2));
      return value && *value > 0 ? *value : 0;
    }
    if (amp == std::string_view::npos) break;
    rest.remove_prefix(amp + 1);
  }
  return 0;
}

MovieTimeline MovieTimeline::fromList(std::string_view listText) {
  MovieTimeline timeline;
  for (auto& line : player::NonEmptyTrimmedLines(listText)) {
    const std::int64_t hint = segmentLengthHint(line);
    timeline.segments_.push_back({std::move(line), hint, 0});
  }
  return timeline;
}

void MovieTimeline::setMeasured(std::size_t i, std::int64_t ms) {
  if (i < segments_.size() && ms > 0) segments_[i].measuredMs = ms;
}

std::int64_t MovieTimeline::offsetOf(std::size_t i) const {
  std::int64_t sum = 0;
  for (std::size_t k = 0; k < i && k < segments_.size(); ++k) sum += segments_[k].lengthMs();
  return sum;
}

std::int64_t MovieTimeline::totalMs() const { return offsetOf(segments_.size()); }

std::pair<std::size_t, std::int64_t> MovieTimeline::locate(std::int64_t ms) const {
  if (segments_.empty()) return {0, 0};
  ms = std::max<std::int64_t>(ms, 0);
  std::int64_t offset = 0;
  for (std::size_t i = 0; i + 1 < segments_.size(); ++i) {
    const std::int64_t length = segments_[i].lengthMs();
    if (ms < offset + length) return {i, ms - offset};
    offset += length;
  }
  return {segments_.size() - 1, ms - offset};
}

}  // namespace nivra::extras
