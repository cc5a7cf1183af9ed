// The pass decisions as tables of cases: each case changes one thing of a state in which the
// window (or heartbeat) is due, and says whether it still is.

#include "ads/ad_pass.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "tests/ads/ad_test_support.h"

namespace nivra::ads {
namespace {

using test::miniRecord;
using test::rightRecord;

const double D = common::textToDateTime("2024-03-10 12:00:00");
constexpr double S = 1.0 / 86400;  // one second as a date-time

struct Case {
  const char* name;
  std::function<void(AdState&, PassFacts&)> change;
  bool due;
};

PassFacts facts() {
  PassFacts f;
  f.now = D;
  f.connected = true;
  f.popsAllowed = true;
  f.heartbeatInterval = 540;
  return f;
}

// A mini window is due: tray mode for a day, one window an hour ago, none of the other kind.
AdState miniDue() {
  AdState s;
  s.stored.mini = miniRecord(1, 2, 600, 60, 300);
  s.trayMode = true;
  s.trayStart = D - 1;
  s.stored.counters.MiniPopData = D - 3600 * S;
  s.stored.counters.TodayMiniCount = 1;
  s.stored.counters.RightPopData = D - 3600 * S;
  s.lastHeartbeat = D;  // no heartbeat in these cases
  return s;
}

TEST(AdPass, MiniWindowConditions) {
  const Case cases[] = {
      {"all hold", [](AdState&, PassFacts&) {}, true},
      {"no connection", [](AdState&, PassFacts& f) { f.connected = false; }, false},
      {"not in tray", [](AdState& s, PassFacts&) { s.trayMode = false; }, false},
      {"max 0 turns off", [](AdState& s, PassFacts&) { s.stored.mini.MaxPerDay = 0; }, false},
      {"day's maximum reached",
       [](AdState& s, PassFacts&) { s.stored.counters.TodayMiniCount = 2; }, false},
      {"maximum was yesterday",
       [](AdState& s, PassFacts&) {
         s.stored.counters.TodayMiniCount = 2;
         s.stored.counters.MiniPopData = D - 1;
       },
       true},
      // 2023-03-11 is the 70th day of its year, like 2024-03-10: still another day.
      {"maximum on the same day of the year, last year",
       [](AdState& s, PassFacts&) {
         s.stored.counters.TodayMiniCount = 2;
         s.stored.counters.MiniPopData = common::textToDateTime("2023-03-11 11:00:00");
       },
       true},
      {"mini gap 1 s short",
       [](AdState& s, PassFacts&) { s.stored.counters.MiniPopData = D - 599 * S; }, false},
      {"mini gap exact",
       [](AdState& s, PassFacts&) { s.stored.counters.MiniPopData = D - 600 * S; }, true},
      {"cross gap 1 s short",
       [](AdState& s, PassFacts&) { s.stored.counters.RightPopData = D - 59 * S; }, false},
      {"cross gap exact",
       [](AdState& s, PassFacts&) { s.stored.counters.RightPopData = D - 60 * S; }, true},
      {"tray never began", [](AdState& s, PassFacts&) { s.trayStart = kTrayNever; }, false},
      {"tray delay 1 s short", [](AdState& s, PassFacts&) { s.trayStart = D - 299 * S; }, false},
      {"tray delay exact", [](AdState& s, PassFacts&) { s.trayStart = D - 300 * S; }, true},
      {"pop.ini off", [](AdState&, PassFacts& f) { f.popsAllowed = false; }, false},
      {"full screen does not stop it", [](AdState& s, PassFacts&) { s.inFullScreen = true; }, true},
  };
  for (const auto& c : cases) {
    AdState s = miniDue();
    PassFacts f = facts();
    c.change(s, f);
    const auto before = s.stored.counters;
    const auto actions = RunPass(s, f);
    EXPECT_EQ(!actions.miniPopArgs.empty(), c.due) << c.name;
    EXPECT_EQ(actions.save, c.due) << c.name;
    EXPECT_TRUE(actions.rightPopArgs.empty()) << c.name;
    if (c.due) {
      EXPECT_EQ(s.stored.counters.MiniPopData, D) << c.name;
      const bool sameDay = std::floor(before.MiniPopData) == std::floor(D);
      EXPECT_EQ(s.stored.counters.TodayMiniCount, sameDay ? before.TodayMiniCount + 1 : 1)
          << c.name;
    } else {
      EXPECT_EQ(s.stored.counters, before) << c.name;
    }
  }
}

// A right window is due: a newer pending record, nothing else in the way.
AdState rightDue() {
  AdState s;
  s.stored.right = rightRecord(4, 30);
  s.pendingRight = rightRecord(5, 30);
  s.stored.mini.CrossGap = 60;
  s.stored.counters.MiniPopData = D - 3600 * S;
  s.lastHeartbeat = D;
  return s;
}

TEST(AdPass, RightWindowConditions) {
  const Case cases[] = {
      {"all hold", [](AdState&, PassFacts&) {}, true},
      {"no connection", [](AdState&, PassFacts& f) { f.connected = false; }, false},
      {"full screen", [](AdState& s, PassFacts&) { s.inFullScreen = true; }, false},
      {"same id", [](AdState& s, PassFacts&) { s.pendingRight.Id = 4; }, false},
      {"older id", [](AdState& s, PassFacts&) { s.pendingRight.Id = 3; }, false},
      {"no pending", [](AdState& s, PassFacts&) { s.pendingRight = {}; }, false},
      {"ids compare unsigned", [](AdState& s, PassFacts&) { s.pendingRight.Id = 0x80000000u; },
       true},
      {"mini's cross gap 1 s short",
       [](AdState& s, PassFacts&) { s.stored.counters.MiniPopData = D - 59 * S; }, false},
      {"start delay 1 s short", [](AdState& s, PassFacts&) { s.trayStart = D - 29 * S; }, false},
      {"start delay exact", [](AdState& s, PassFacts&) { s.trayStart = D - 30 * S; }, true},
      {"not in tray does not stop it", [](AdState& s, PassFacts&) { s.trayMode = false; }, true},
      {"pop.ini off", [](AdState&, PassFacts& f) { f.popsAllowed = false; }, false},
  };
  for (const auto& c : cases) {
    AdState s = rightDue();
    PassFacts f = facts();
    c.change(s, f);
    const auto pending = s.pendingRight;
    const auto actions = RunPass(s, f);
    EXPECT_EQ(!actions.rightPopArgs.empty(), c.due) << c.name;
    if (c.due) {
      const std::vector<std::string> expected = {"/SHOWAD", UrlText(pending.Url), "250", "180",
                                                 "15000"};
      EXPECT_EQ(actions.rightPopArgs, expected) << c.name;
      EXPECT_EQ(s.stored.right, pending) << c.name;
      EXPECT_EQ(s.stored.counters.TodayRightCount, 1) << c.name;
      // A pending record is shown once.
      EXPECT_TRUE(RunPass(s, f).rightPopArgs.empty()) << c.name;
    } else {
      EXPECT_EQ(s.stored.right.Id, 4u) << c.name;
    }
  }
}

TEST(AdPass, HeartbeatConditions) {
  const double today = std::floor(D);
  const Case cases[] = {
      {"never sent", [](AdState& s, PassFacts&) { s.lastHeartbeat = 0; }, true},
      {"interval not passed", [](AdState& s, PassFacts&) { s.lastHeartbeat = D - 540 * S; }, false},
      {"interval passed", [](AdState& s, PassFacts&) { s.lastHeartbeat = D - 541 * S; }, true},
      {"negative interval: every pass",
       [](AdState& s, PassFacts& f) {
         s.lastHeartbeat = D;
         f.heartbeatInterval = -1;
       },
       true},
      {"no-pop day is today",
       [today](AdState& s, PassFacts&) {
         s.lastHeartbeat = 0;
         s.noPopDay = static_cast<std::int32_t>(today);
       },
       false},
      {"no-pop day was yesterday",
       [today](AdState& s, PassFacts&) {
         s.lastHeartbeat = 0;
         s.noPopDay = static_cast<std::int32_t>(today) - 1;
       },
       true},
      {"no connection does not stop it",
       [](AdState& s, PassFacts& f) {
         s.lastHeartbeat = 0;
         f.connected = false;
       },
       true},
  };
  for (const auto& c : cases) {
    AdState s;
    s.stored.mini.Id = 7;
    s.stored.right.Id = 9;
    PassFacts f = facts();
    c.change(s, f);
    const double last = s.lastHeartbeat;
    const auto actions = RunPass(s, f);
    ASSERT_EQ(actions.heartbeat.has_value(), c.due) << c.name;
    EXPECT_EQ(s.lastHeartbeat, c.due ? D : last) << c.name;
    if (c.due) {
      EXPECT_EQ(*actions.heartbeat, EncodeHeartbeat(7, 9)) << c.name;
    }
  }
}

TEST(AdPass, RightWindowCountsBeforeTheMiniCheckOfTheSamePass) {
  for (const std::uint16_t crossGap : {0, 1}) {
    AdState s = miniDue();
    s.stored.mini.CrossGap = crossGap;
    s.stored.right = rightRecord(1);
    s.pendingRight = rightRecord(2);
    const auto actions = RunPass(s, facts());
    EXPECT_FALSE(actions.rightPopArgs.empty());
    EXPECT_EQ(actions.miniPopArgs.empty(), crossGap != 0) << crossGap;
  }
}

struct ReplyCase {
  const char* name;
  std::function<void(AdState&)> before;
  std::vector<std::uint8_t> datagram;
  bool save;
  std::function<void(const AdState&)> check;
};

template <std::size_t N>
std::vector<std::uint8_t> bytes(const std::array<std::uint8_t, N>& a) {
  return {a.begin(), a.end()};
}

TEST(AdPass, Replies) {
  auto refund5 = miniRecord(6, 3);
  refund5.CountRefund = 5;
  auto refund1 = miniRecord(6, 3);
  refund1.CountRefund = 1;
  auto stale = miniRecord(5, 9);
  stale.CountRefund = 2;
  const auto setMini = [](AdState& s) {
    s.stored.mini = miniRecord(5, 3);
    s.stored.counters.TodayMiniCount = 3;
  };
  auto shortMini = bytes(EncodeMiniReply(refund5));
  shortMini.pop_back();
  const ReplyCase cases[] = {
      {"newer mini with refund beyond the count", setMini, bytes(EncodeMiniReply(refund5)), true,
       [&](const AdState& s) {
         EXPECT_EQ(s.stored.mini, refund5);
         EXPECT_EQ(s.stored.counters.TodayMiniCount, 0);
       }},
      {"newer mini with refund", setMini, bytes(EncodeMiniReply(refund1)), true,
       [](const AdState& s) { EXPECT_EQ(s.stored.counters.TodayMiniCount, 2); }},
      {"mini not newer is ignored entirely", setMini, bytes(EncodeMiniReply(stale)), false,
       [](const AdState& s) {
         EXPECT_EQ(s.stored.mini, miniRecord(5, 3));
         EXPECT_EQ(s.stored.counters.TodayMiniCount, 3);
       }},
      {"first right record is kept, not pending", [](AdState&) {},
       bytes(EncodeRightReply(rightRecord(3))), true,
       [](const AdState& s) {
         EXPECT_EQ(s.stored.right, rightRecord(3));
         EXPECT_EQ(s.pendingRight.Id, 0u);
       }},
      {"later right record is pending, whatever its id",
       [](AdState& s) { s.stored.right = rightRecord(3); }, bytes(EncodeRightReply(rightRecord(1))),
       false,
       [](const AdState& s) {
         EXPECT_EQ(s.stored.right, rightRecord(3));
         EXPECT_EQ(s.pendingRight, rightRecord(1));
       }},
      {"short mini reply", setMini, shortMini, false,
       [](const AdState& s) { EXPECT_EQ(s.stored.mini.Id, 5u); }},
  };
  for (const auto& c : cases) {
    AdState s;
    c.before(s);
    EXPECT_EQ(ApplyReply(s, c.datagram), c.save) << c.name;
    c.check(s);
  }
}

}  // namespace
}  // namespace nivra::ads
