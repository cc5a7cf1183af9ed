// Fuzzes ad server replies: whatever arrives, only a datagram of exactly the mini or right reply
// length and type changes the state, a decoded record encodes back to the received bytes, and
// a pass over the changed state stays within its rules (at most one window of each kind).

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <variant>

#include "ads/ad_pass.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace nivra::ads;
  const std::span<const std::uint8_t> datagram(data, size);
  const auto reply = DecodeReply(datagram);
  if (const auto* mini = std::get_if<MiniRecord>(&reply)) {
    const auto again = EncodeMiniRecord(*mini);
    if (size != kMiniReplySize || std::memcmp(again.data(), data + 4, again.size()) != 0)
      std::abort();
  } else if (const auto* right = std::get_if<RightRecord>(&reply)) {
    const auto again = EncodeRightRecord(*right);
    if (size != kRightReplySize || std::memcmp(again.data(), data + 4, again.size()) != 0)
      std::abort();
  }

  AdState state;
  state.stored.right.Id = 1;
  state.stored.counters.TodayMiniCount = 2;
  state.trayMode = true;
  state.trayStart = 45000;
  const AdState before = state;
  const bool changed = ApplyReply(state, datagram);
  if (std::holds_alternative<std::monostate>(reply) &&
      (changed || state.stored != before.stored || state.pendingRight != before.pendingRight))
    std::abort();
  if (state.stored.counters.TodayMiniCount < 0) std::abort();

  PassFacts facts;
  facts.now = 45001.5;
  facts.connected = true;
  const auto actions = RunPass(state, facts);
  if (!actions.rightPopArgs.empty() && actions.rightPopArgs.size() != 5) std::abort();
  if (!actions.miniPopArgs.empty() && actions.miniPopArgs.size() != 4) std::abort();
  return 0;
}
