#pragma once
// The movie's URL list as one timeline: segments played back to back, each with its length in
// ms as far as it is known (measured once it plays, else the "l=" length a segment URL carries).
// Positions on the timeline are the segment's offset plus the position inside it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace nivra::extras {

struct MovieSegment {
  std::string url;
  std::int64_t hintMs = 0;      // the "l=" value of the URL's query, 0 without one
  std::int64_t measuredMs = 0;  // 0 until the segment has been measured
  std::int64_t lengthMs() const { return measuredMs > 0 ? measuredMs : hintMs; }
};

class MovieTimeline {
 public:
  MovieTimeline() = default;
  // The trimmed, non-empty lines of the list text, one segment each.
  static MovieTimeline fromList(std::string_view listText);

  std::size_t size() const { return segments_.size(); }
  bool empty() const { return segments_.empty(); }
  const MovieSegment& at(std::size_t i) const { return segments_.at(i); }
  void setMeasured(std::size_t i, std::int64_t ms);

  // The sum of the lengths of the segments before `i`.
  std::int64_t offsetOf(std::size_t i) const;
  // The sum of all known lengths.
  std::int64_t totalMs() const;
  // The segment holding timeline position `ms` and the position inside it; positions before the
  // start go to the start, positions past the known end into the last segment.
  std::pair<std::size_t, std::int64_t> locate(std::int64_t ms) const;

 private:
  std::vector<MovieSegment> segments_;
};

// The "l=" value of a URL's query (ms), 0 when there is none or it is not a number.
std::int64_t segmentLengthHint(std::string_view url);

}  // namespace nivra::extras
