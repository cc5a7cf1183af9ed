#include "tests/ads/live_allocations.h"

#include <atomic>
#include <cstdlib>
#include <new>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define NIVRA_COUNT_ALLOCATIONS 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || \
    __has_feature(memory_sanitizer)
#define NIVRA_COUNT_ALLOCATIONS 0
#endif
#endif
#ifndef NIVRA_COUNT_ALLOCATIONS
#define NIVRA_COUNT_ALLOCATIONS 1
#endif

#if NIVRA_COUNT_ALLOCATIONS
namespace {

std::atomic<std::size_t> liveBlocks{0};
std::atomic<std::size_t> liveBytes{0};

// Every block carries its size in front, aligned for any type.
constexpr std::size_t kHeader = alignof(std::max_align_t);

void* allocate(std::size_t size) {
  void* raw = std::malloc(size + kHeader);
  if (!raw) throw std::bad_alloc();
  *static_cast<std::size_t*>(raw) = size;
  liveBlocks.fetch_add(1, std::memory_order_relaxed);
  liveBytes.fetch_add(size, std::memory_order_relaxed);
  return static_cast<char*>(raw) + kHeader;
}

void release(void* p) noexcept {
  if (!p) return;
  void* raw = static_cast<char*>(p) - kHeader;
  liveBlocks.fetch_sub(1, std::memory_order_relaxed);
  liveBytes.fetch_sub(*static_cast<std::size_t*>(raw), std::memory_order_relaxed);
  std::free(raw);
}

}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return allocate(size);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
  return operator new(size, tag);
}
void operator delete(void* p) noexcept { release(p); }
void operator delete[](void* p) noexcept { release(p); }
void operator delete(void* p, std::size_t) noexcept { release(p); }
void operator delete[](void* p, std::size_t) noexcept { release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { release(p); }
#endif

namespace nivra::test {

std::optional<LiveAllocations> CurrentLiveAllocations() {
#if NIVRA_COUNT_ALLOCATIONS
  return LiveAllocations{liveBlocks.load(), liveBytes.load()};
#else
  return std::nullopt;
#endif
}

}  // namespace nivra::test
