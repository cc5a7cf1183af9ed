// Decoding a typical private link (a name and a 300-character address), and the bare block
// decryption behind it. `--print-link` prints the benchmarked link instead, so that
// bench/link_decode_vs_openssl.sh can time openssl over the same ciphertext.

#include <benchmark/benchmark.h>

#include <cstring>
#include <iostream>
#include <string>

#include "player/links/aes.h"
#include "player/links/url_link.h"
#include "player/links/url_link_encoder.h"

namespace {

using namespace nivra::player;

std::string typicalLink() {
  std::string address = "http://127.0.0.1:8080/video/play.htm?series=";
  for (int i = 0; address.size() < 300; ++i) address += "segment" + std::to_string(i) + "&";
  address.resize(300);
  return EncodeLink("video|电视剧 第01集|0|" + address);
}

const std::string kLink = typicalLink();
const double kBlocksPerLink = static_cast<double>(kLink.size() - kLinkPrefix.size()) / 32.0;

void BM_DecodeTypicalLink(benchmark::State& state) {
  for (auto _ : state) {
    auto link = TEd2kLinkManager::Decode(kLink);
    benchmark::DoNotOptimize(link);
  }
  state.SetItemsProcessed(state.iterations());  // items = links
  state.counters["blocks_per_link"] = kBlocksPerLink;
  state.counters["blocks_per_second"] = benchmark::Counter(
      kBlocksPerLink * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DecodeTypicalLink);

void BM_DecryptBlock(benchmark::State& state) {
  TAes aes;
  aes.SetKeySize(kLinkKeyBits);
  aes.SetKey(kLinkKey);
  AesBlock block{};
  for (auto _ : state) {
    block = aes.DecryptBlock(block);  // chained, so no call can be skipped
    benchmark::DoNotOptimize(block);
  }
  state.SetItemsProcessed(state.iterations());  // items = blocks
}
BENCHMARK(BM_DecryptBlock);

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--print-link") == 0) {
    std::cout << kLink << "\n";
    return 0;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
