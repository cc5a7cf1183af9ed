// Loading catalogue data into the tree model: a 10,000-entry top-level document (next to the
// time nlohmann-json alone needs to parse it) and a 10,000-entry history file. Each benchmark
// reports the peak heap bytes one load holds (counter "peak_bytes"), measured by counting every
// allocation of the process.

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <nlohmann/json.hpp>

#include "catalogue/history.h"
#include "catalogue/tree_fun.h"
#include "common/ini_date_time.h"
#include "platform/atomic_file.h"

namespace {

std::atomic<std::int64_t> liveBytes{0};
std::atomic<std::int64_t> peakBytes{0};

void noteAlloc(void* p) {
  if (!p) return;
  const auto now = liveBytes += static_cast<std::int64_t>(malloc_usable_size(p));
  for (auto peak = peakBytes.load(); now > peak && !peakBytes.compare_exchange_weak(peak, now);) {
  }
}

// Peak heap growth above the level at construction, while the scope lives.
class PeakScope {
 public:
  PeakScope() : base_(liveBytes.load()) { peakBytes = base_; }
  std::int64_t peak() const { return peakBytes.load() - base_; }

 private:
  std::int64_t base_;
};

}  // namespace

void* operator new(std::size_t n) {
  void* p = std::malloc(n ? n : 1);
  if (!p) throw std::bad_alloc();
  noteAlloc(p);
  return p;
}
void operator delete(void* p) noexcept {
  if (p) liveBytes -= static_cast<std::int64_t>(malloc_usable_size(p));
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

namespace {

using namespace nivra::catalogue;
constexpr int kEntries = 10000;

// A top-level document as the catalogue server sends it: groups, albums and items with
// Chinese names.
const std::string& topDocument() {
  static const std::string text = [] {
    nlohmann::json arr = nlohmann::json::array();
    for (int i = 0; i < kEntries; ++i) {
      const int kind = i % 4 == 3 ? 3 : i % 2;
      nlohmann::json e = {{"i", 100000 + i},
                          {"t", std::to_string(kind)},
                          {"n", "节目名称 " + std::to_string(i)},
                          {"c", std::to_string(i % 50)},
                          {"al", "4"}};
      if (kind == 3) e["u"] = "Nivra://" + std::string(120, 'a') + std::to_string(i);
      arr.push_back(std::move(e));
    }
    return nlohmann::json{{"c", std::to_string(kEntries)}, {"arr", std::move(arr)}}.dump();
  }();
  return text;
}

void BM_ParseTopDocumentJsonOnly(benchmark::State& state) {
  const std::string& text = topDocument();
  std::int64_t peak = 0;
  for (auto _ : state) {
    PeakScope scope;
    auto doc = nlohmann::json::parse(text);
    benchmark::DoNotOptimize(doc);
    peak = scope.peak();
  }
  state.counters["peak_bytes"] = static_cast<double>(peak);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_ParseTopDocumentJsonOnly)->Unit(benchmark::kMillisecond);

void BM_LoadTopList10k(benchmark::State& state) {
  const std::string& text = topDocument();
  std::int64_t peak = 0;
  for (auto _ : state) {
    PeakScope scope;
    CatalogueTree tree;
    loadTopListText(tree, text);
    if (tree.topCount() != kEntries) state.SkipWithError("entries missing");
    peak = scope.peak();
  }
  state.counters["peak_bytes"] = static_cast<double>(peak);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_LoadTopList10k)->Unit(benchmark::kMillisecond);

// "His1.dat" with 10,000 used slots in a temporary folder.
const std::filesystem::path& historyFolder() {
  static const std::filesystem::path dir = [] {
    auto d = std::filesystem::temp_directory_path() /
             ("nivra-bench-history-" + std::to_string(::getpid()));
    std::filesystem::create_directories(d);
    std::string text;
    for (int i = 0; i < kEntries; ++i) {
      text += "[History" + std::to_string(i) + "]\nsName=节目名称 " + std::to_string(i) +
              "\nsUrl=Nivra://" + std::string(120, 'a') + std::to_string(i) +
              "\nsAVLevel=4\ndDate=" + nivra::common::dateTimeToText(45000.0 - i / 1440.0) + "\n\n";
    }
    nivra::platform::writeFileAtomically(d / "His1.dat", text);
    return d;
  }();
  return dir;
}

void BM_LoadHistory10k(benchmark::State& state) {
  THistory history(historyFolder(), kEntries);
  std::int64_t peak = 0;
  for (auto _ : state) {
    PeakScope scope;
    CatalogueTree tree;
    history.LoadHistory(tree);
    if (tree.topCount() != kEntries) state.SkipWithError("entries missing");
    peak = scope.peak();
  }
  state.counters["peak_bytes"] = static_cast<double>(peak);
}
BENCHMARK(BM_LoadHistory10k)->Unit(benchmark::kMillisecond);

void BM_SaveHistory10k(benchmark::State& state) {
  THistory history(historyFolder(), kEntries);
  CatalogueTree tree;
  history.LoadHistory(tree);
  std::int64_t peak = 0;
  for (auto _ : state) {
    PeakScope scope;
    history.SaveHistory(tree);
    peak = scope.peak();
  }
  state.counters["peak_bytes"] = static_cast<double>(peak);
}
BENCHMARK(BM_SaveHistory10k)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code ec;
  std::filesystem::remove_all(std::filesystem::temp_directory_path() /
                                  ("nivra-bench-history-" + std::to_string(::getpid())),
                              ec);
  return 0;
}
