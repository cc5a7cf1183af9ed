// The audio filter's channel copy on 16-bit stereo, against memcpy of the same buffer and the
// byte-by-byte form of the copy rule. Buffer sizes: a typical decoder buffer (4 KiB), a large
// one that still fits the cache (256 KiB) and one that does not (16 MiB).

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "player/gst/audio_filter.h"

namespace {

using namespace nivra::player;

std::vector<std::uint8_t> stereo16(std::size_t bytes) {
  std::vector<std::uint8_t> data(bytes);
  for (std::size_t i = 0; i < bytes; ++i) data[i] = static_cast<std::uint8_t>(i * 31 + 7);
  return data;
}

void BM_CopyChannels16(benchmark::State& state) {
  auto data = stereo16(static_cast<std::size_t>(state.range(0)));
  std::uint8_t mode = kChannelLeftToRight;
  for (auto _ : state) {
    CopyChannels16(data, mode);
    mode = mode == kChannelLeftToRight ? kChannelRightToLeft : kChannelLeftToRight;
    benchmark::DoNotOptimize(data.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_CopyChannels16)->Arg(4 << 10)->Arg(256 << 10)->Arg(16 << 20);

// The copy rule taken literally: one byte at a time.
void BM_CopyChannelsByteWise(benchmark::State& state) {
  auto data = stereo16(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    CopyChannelsGeneric(data, 2, kChannelLeftToRight);
    benchmark::DoNotOptimize(data.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_CopyChannelsByteWise)->Arg(4 << 10)->Arg(256 << 10)->Arg(16 << 20);

// memcpy of the same amount into a second buffer: the memory traffic of one read and one write
// per byte, as the in-place copy has.
void BM_Memcpy(benchmark::State& state) {
  const auto size = static_cast<std::size_t>(state.range(0));
  auto from = stereo16(size);
  std::vector<std::uint8_t> to(size);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), size);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_Memcpy)->Arg(4 << 10)->Arg(256 << 10)->Arg(16 << 20);

}  // namespace

BENCHMARK_MAIN();
