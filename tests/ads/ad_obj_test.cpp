// TAdObj over days of virtual time: its files, heartbeats and pop-up starts with fake ports.

#include "ads/ad_obj.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/manual_event_loop.h"
#include "tests/ads/ad_test_support.h"
#include "tests/support/temp_dir.h"

namespace nivra::ads {
namespace {

using test::at;
using test::miniRecord;
using test::rightRecord;

class AdObjTest : public ::testing::Test {
 protected:
  void start() {
    obj = std::make_unique<TAdObj>(loop, link, check, launcher,
                                   AdSchedulerSetup{dir.path(), dir.path(), noPopDay});
    loop.runPending();  // the first pass
  }
  void restart() {
    obj.reset();
    start();
  }
  // Runs passes for `seconds` of virtual time.
  void run(std::int64_t seconds) { loop.advance(seconds * 1000); }
  std::vector<std::string> startTimes(const std::string& mode) const {
    std::vector<std::string> times;
    for (const auto& s : launcher.starts)
      if (s.args.at(0) == mode) times.push_back(s.at);
    return times;
  }

  nivra::test::TempDir dir;
  platform::ManualEventLoop loop{at("2024-03-10 09:00:00")};
  test::RecordingLink link;
  test::FixedConnectionCheck check;
  test::RecordingLauncher launcher{loop};
  std::int32_t noPopDay = 0;
  std::unique_ptr<TAdObj> obj;
};

TEST_F(AdObjTest, HeartbeatInTheFirstTurnWithStoredIdsThenAfterTheInterval) {
  SaveAdState(dir.path(), {miniRecord(7, 0), rightRecord(9), {}});
  dir.write("Heatbeat.ini", "[Heatbeat]\nHeatbeat=60\n");
  start();
  ASSERT_EQ(link.sent.size(), 1u);
  const auto hb = EncodeHeartbeat(7, 9);
  EXPECT_EQ(link.sent[0], std::vector<std::uint8_t>(hb.begin(), hb.end()));
  run(60);
  EXPECT_EQ(link.sent.size(), 1u);
  run(3);  // the first pass more than 60 s after: 63 s
  EXPECT_EQ(link.sent.size(), 2u);
  run(63);
  EXPECT_EQ(link.sent.size(), 3u);
}

TEST_F(AdObjTest, NoPopDayStopsHeartbeatsUntilTomorrowOnly) {
  noPopDay = platform::dayNumber(loop.now());
  start();
  run(15 * 3600 - 10);  // until 23:59:50
  EXPECT_TRUE(link.sent.empty());
  run(20);
  EXPECT_EQ(link.sent.size(), 1u);
}

TEST_F(AdObjTest, RightRecordsFirstKeptThenShownOnceAcrossRestarts) {
  start();
  link.reply(EncodeRightReply(rightRecord(1)));
  run(30);
  EXPECT_TRUE(launcher.starts.empty());
  const auto stored = EncodeRightRecord(rightRecord(1));
  EXPECT_EQ(nivra::test::readFile(dir / "NVRR.dat"), std::string(stored.begin(), stored.end()));

  link.reply(EncodeRightReply(rightRecord(2)));
  run(3);
  ASSERT_EQ(launcher.starts.size(), 1u);
  const std::vector<std::string> args = {"/SHOWAD", "http://ads.example/right2.htm", "250", "180",
                                         "15000"};
  EXPECT_EQ(launcher.starts[0].args, args);
  link.reply(EncodeRightReply(rightRecord(2)));
  run(30);
  restart();
  run(30);
  EXPECT_EQ(launcher.starts.size(), 1u);
  EXPECT_EQ(obj->Snapshot().stored.right, rightRecord(2));
  EXPECT_EQ(obj->Snapshot().stored.counters.TodayRightCount, 1);
}

TEST_F(AdObjTest, FullScreenHoldsRightWindowsUntilItEnds) {
  start();
  link.reply(EncodeRightReply(rightRecord(1)));
  obj->SetInFullScreen(true);
  link.reply(EncodeRightReply(rightRecord(2)));
  run(600);
  EXPECT_TRUE(launcher.starts.empty());
  obj->SetInFullScreen(false);
  run(3);
  EXPECT_EQ(launcher.starts.size(), 1u);
}

// Two mini windows a day, ten minutes apart, five minutes after tray mode began; the count
// survives a restart and starts again on a new day.
TEST_F(AdObjTest, MiniWindowsPerDayOverThreeDays) {
  SaveAdState(dir.path(), {miniRecord(1, 2, 600, 0, 300), {}, {}});
  start();
  run(3600);
  EXPECT_TRUE(launcher.starts.empty()) << "not in tray mode";
  obj->NotifyTrayMode();  // 10:00:00
  EXPECT_NE(nivra::test::readFile(dir / "popset.ini")
                .find("[trayonline]\ntrayonline=2024-03-10 10:00:00"),
            std::string::npos);
  run(400);
  EXPECT_EQ(startTimes("/SHOWMINI"), std::vector<std::string>{"2024-03-10 10:05:00"});
  restart();  // 10:06:40, passes every 3 s from there; tray mode starts again
  obj->NotifyTrayMode();
  run(14 * 3600 - 400);  // until 23:59:20
  run(3 * 86400);
  const std::vector<std::string> expected = {
      "2024-03-10 10:05:00", "2024-03-10 10:15:01", "2024-03-11 00:00:01", "2024-03-11 00:10:01",
      "2024-03-12 00:00:01", "2024-03-12 00:10:01", "2024-03-13 00:00:01", "2024-03-13 00:10:01"};
  EXPECT_EQ(startTimes("/SHOWMINI"), expected);
  EXPECT_EQ(launcher.starts.at(0).args,
            (std::vector<std::string>{"/SHOWMINI", "http://ads.example/mini1.htm", "300", "200"}));
  AdStoredState onDisk;
  LoadAdState(dir.path(), onDisk);
  EXPECT_EQ(onDisk.counters.TodayMiniCount, 2);
  EXPECT_EQ(common::dateTimeToText(onDisk.counters.MiniPopData), "2024-03-13 00:10:01");
}

TEST_F(AdObjTest, AppActiveStopsMiniWindowsButNotRightOnes) {
  SaveAdState(dir.path(), {miniRecord(1, 5), rightRecord(1), {}});
  start();
  obj->NotifyTrayMode();
  run(3);
  EXPECT_EQ(startTimes("/SHOWMINI").size(), 1u);
  obj->NotifyAppActive();
  link.reply(EncodeRightReply(rightRecord(2)));
  run(600);
  EXPECT_EQ(startTimes("/SHOWMINI").size(), 1u);
  EXPECT_EQ(startTimes("/SHOWAD").size(), 1u);
}

TEST_F(AdObjTest, PopIniSwitchesWindowsOffWhileHeartbeatsGoOn) {
  for (const auto& [ifpop, windows] : {std::pair{"2", false}, std::pair{"1", true}}) {
    nivra::test::TempDir local;
    test::RecordingLauncher starts{loop};
    test::RecordingLink udp;
    SaveAdState(local.path(), {miniRecord(1, 1), rightRecord(1), {}});
    local.write("pop.ini", std::string("[set]\nifpop=") + ifpop + "\n");
    local.write("Heatbeat.ini", "[Heatbeat]\nHeatbeat=-1\n");
    TAdObj ad(loop, udp, check, starts, {local.path(), local.path(), 0});
    loop.runPending();
    ad.NotifyTrayMode();
    udp.reply(EncodeRightReply(rightRecord(2)));
    run(30);
    EXPECT_EQ(starts.starts.size(), windows ? 2u : 0u) << ifpop;
    EXPECT_EQ(udp.sent.size(), 11u) << ifpop;
  }
}

TEST_F(AdObjTest, NoConnectionNoWindows) {
  SaveAdState(dir.path(), {miniRecord(1, 5), rightRecord(1), {}});
  check.connected = false;
  start();
  obj->NotifyTrayMode();
  link.reply(EncodeRightReply(rightRecord(2)));
  run(600);
  EXPECT_TRUE(launcher.starts.empty());
  EXPECT_EQ(link.sent.size(), 2u);  // heartbeats at 0 s and 543 s
}

}  // namespace
}  // namespace nivra::ads
