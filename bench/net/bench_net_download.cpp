// DownloadFile over loopback: one file served by pyftpdlib and by python's http.server, fetched
// in-process, reported as bytes per second. (bench/net/download_throughput.sh compares the whole
// nivra-tool process with curl.)

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "net/download_file.h"
#include "tests/support/test_process.h"

namespace {

namespace fs = std::filesystem;
constexpr std::size_t kFileSize = 32u << 20;

// The served folder with its file, made before the servers start.
fs::path makeRoot() {
  const fs::path root =
      fs::temp_directory_path() / ("nivra-bench-net-" + std::to_string(::getpid()));
  fs::create_directories(root);
  std::ofstream out(root / "big.bin", std::ios::binary);
  std::mt19937_64 rng(1);
  for (std::size_t i = 0; i < kFileSize / 8; ++i) {
    const auto v = rng();
    out.write(reinterpret_cast<const char*>(&v), sizeof v);
  }
  return root;
}

struct Servers {
  ~Servers() { fs::remove_all(root); }
  fs::path root = makeRoot();
  nivra::test::ScriptServer ftp{"ftp_server.py", {"--root", root.string()}};
  nivra::test::TestProcess http{
      "/usr/bin/python3",
      {"-u", "-m", "http.server", "0", "--bind", "127.0.0.1", "--directory", root.string()}};
};

Servers& servers() {
  static Servers s;
  return s;
}

void download(benchmark::State& state, const std::string& url) {
  const fs::path target = servers().root / "got.bin";
  for (auto _ : state) {
    fs::remove(target);
    if (!nivra::net::DownloadFile(url, target)) state.SkipWithError("download failed");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFileSize));
}

void BM_FtpDownload(benchmark::State& state) {
  download(state, "ftp://127.0.0.1:" + std::to_string(servers().ftp.port) + "/big.bin");
}

void BM_HttpDownload(benchmark::State& state) {
  static const std::string port = [] {
    const auto banner = servers().http.waitFor("Serving HTTP on 127.0.0.1 port");
    return banner ? banner->substr(0, banner->find(' ')) : std::string("1");
  }();
  download(state, "http://127.0.0.1:" + port + "/big.bin");
}

BENCHMARK(BM_FtpDownload)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_HttpDownload)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
