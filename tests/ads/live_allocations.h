#pragma once
// Counts the program's live operator-new allocations (all threads), for tests that look for
// growth. Unavailable in sanitizer builds, whose own allocator stays in place.

#include <cstddef>
#include <optional>

namespace nivra::test {

struct LiveAllocations {
  std::size_t blocks = 0;
  std::size_t bytes = 0;
};

// Nothing when the counting allocator is not built in.
std::optional<LiveAllocations> CurrentLiveAllocations();

}  // namespace nivra::test
