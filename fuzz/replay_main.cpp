// Replay driver for fuzz targets in the ordinary build: feeds every file of the corpus folders
// given on the command line, then a fixed number of inputs mutated from them (seeded, so a
// failure repeats). A crash or sanitizer report fails the test.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
  std::vector<std::string> seeds;
  for (int i = 1; i < argc; ++i) {
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(argv[i], ec)) {
      std::ifstream in(e.path(), std::ios::binary);
      seeds.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
  }
  if (seeds.empty()) seeds.emplace_back();
  for (const auto& s : seeds)
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(s.data()), s.size());

  std::mt19937 rng(12345);
  constexpr int kMutations = 20000;
  for (int i = 0; i < kMutations; ++i) {
    std::string input = seeds[rng() % seeds.size()];
    const int edits = 1 + static_cast<int>(rng() % 8);
    for (int e = 0; e < edits; ++e) {
      const auto pos = input.empty() ? 0 : rng() % (input.size() + 1);
      switch (rng() % 4) {
        case 0: input.insert(input.begin() + static_cast<long>(pos), static_cast<char>(rng())); break;
        case 1: if (!input.empty() && pos < input.size()) input.erase(pos, 1 + rng() % 4); break;
        case 2: if (pos < input.size()) input[pos] = static_cast<char>(rng()); break;
        default: input.insert(pos, seeds[rng() % seeds.size()].substr(0, rng() % 64)); break;
      }
    }
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
  }
  std::printf("replayed %zu seeds and %d mutations\n", seeds.size(), kMutations);
  return 0;
}
