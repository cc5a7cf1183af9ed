// Saves the ad scheduler's state in a loop until it is killed, for the crash test: save n holds
// records and counters that are all derived from n, so a file mixing two saves is told apart
// from a whole one. Prints "saving" once the first save is done.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "ads/ad_store.h"

namespace {

using namespace nivra::ads;

AdStoredState stateFor(std::uint32_t n) {
  AdStoredState s;
  s.mini.Id = n;
  s.mini.Width = static_cast<std::int32_t>(n % 1000);
  s.mini.Height = static_cast<std::int32_t>(n % 777);
  // Long addresses: the records' bytes differ all through the address field.
  s.mini.Url = UrlFromText("http://ads.example/mini" +
                           std::string(480, static_cast<char>('a' + n % 26)) + std::to_string(n));
  s.mini.MaxPerDay = static_cast<std::uint16_t>(n);
  s.mini.CountRefund = static_cast<std::uint16_t>(n >> 16);
  s.mini.MiniGap = s.mini.CrossGap = s.mini.TrayDelay = static_cast<std::uint16_t>(n * 3);
  s.right.Id = n;
  s.right.Width = s.mini.Width;
  s.right.Height = s.mini.Height;
  s.right.Url = UrlFromText("http://ads.example/right" +
                            std::string(480, static_cast<char>('z' - n % 26)) + std::to_string(n));
  s.right.ShowTime = static_cast<std::int32_t>(n * 7);
  s.right.StartDelay = static_cast<std::uint16_t>(n * 5);
  s.counters.TodayMiniCount = static_cast<std::int32_t>(n);
  s.counters.TodayRightCount = static_cast<std::int32_t>(n * 2);
  s.counters.rigtsvc = static_cast<std::int32_t>(n * 3);
  s.counters.MiniPopData = 45000.0 + n / 86400.0;
  s.counters.RightPopData = 45000.0 + n / 43200.0;
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <data folder>\n", argv[0]);
    return 2;
  }
  const std::filesystem::path dir = argv[1];
  // Carry on from the last whole save, so that every run overwrites files of an earlier one.
  AdStoredState last;
  LoadAdState(dir, last);
  for (std::uint32_t n = last.mini.Id + 1;; ++n) {
    SaveAdState(dir, stateFor(n));
    if (n == last.mini.Id + 1) {
      std::puts("saving");
      std::fflush(stdout);
    }
  }
}
