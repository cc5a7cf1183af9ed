// The stored files: byte layout and INI text as other programs read them, defaults for what is
// missing, atomic replacement.

#include <gtest/gtest.h>

#include "ads/ad_ini.h"
#include "ads/ad_store.h"
#include "tests/ads/ad_test_support.h"
#include "tests/support/temp_dir.h"

namespace nivra::ads {
namespace {

using nivra::test::readFile;
using nivra::test::TempDir;

TEST(AdFiles, SaveWritesRecordsAndCountersAsStored) {
  TempDir dir;
  AdStoredState state{test::miniRecord(3, 2), test::rightRecord(4), {}};
  state.counters.MiniPopData = common::textToDateTime("2024-03-10 10:05:00");
  state.counters.TodayMiniCount = 2;
  state.counters.rigtsvc = 17;
  SaveAdState(dir.path(), state);
  const auto mini = EncodeMiniRecord(state.mini);
  const auto right = EncodeRightRecord(state.right);
  EXPECT_EQ(readFile(dir / "NVRM.dat"), std::string(mini.begin(), mini.end()));
  EXPECT_EQ(readFile(dir / "NVRR.dat"), std::string(right.begin(), right.end()));
  EXPECT_EQ(readFile(dir / "NVRSet.ini"),
            "[save]\nRightPopData=1899-12-30 00:00:00\nMiniPopData=2024-03-10 10:05:00\n"
            "TodayMiniCount=2\nTodayRightCount=0\nrigtsvc=17\n");
  AdStoredState loaded;
  LoadAdState(dir.path(), loaded);
  EXPECT_EQ(loaded.mini, state.mini);
  EXPECT_EQ(loaded.right, state.right);
  EXPECT_EQ(loaded.counters, state.counters);
}

TEST(AdFiles, RecordOverwritesTheStartOfALongerFile) {
  TempDir dir;
  dir.write("NVRM.dat", std::string(600, 'z'));
  SaveAdState(dir.path(), {test::miniRecord(1, 1), {}, {}});
  const auto content = readFile(dir / "NVRM.dat");
  ASSERT_EQ(content.size(), 600u);
  EXPECT_EQ(content.substr(534), std::string(66, 'z'));
  AdStoredState loaded;
  LoadAdState(dir.path(), loaded);
  EXPECT_EQ(loaded.mini, test::miniRecord(1, 1));
}

// A save killed before its rename leaves its temporary file (".NVRM.dat.Ab12Cd"); loading
// removes those of the three state files and nothing else.
TEST(AdFiles, LoadRemovesTemporariesOfKilledSaves) {
  TempDir dir;
  SaveAdState(dir.path(), {test::miniRecord(3, 2), test::rightRecord(4), {}});
  const char* stale[] = {".NVRM.dat.Ab12Cd", ".NVRR.dat.x9Y8z7", ".NVRSet.ini.000000"};
  const char* kept[] = {".popset.ini.Ab12Cd", ".NVRM.dat.toolong7", "NVRM.dat.Ab12Cd",
                        ".NVRM.dat."};
  for (const char* name : stale) dir.write(name, "half");
  for (const char* name : kept) dir.write(name, "other");
  AdStoredState loaded;
  LoadAdState(dir.path(), loaded);
  EXPECT_EQ(loaded.mini, test::miniRecord(3, 2));
  for (const char* name : stale) EXPECT_FALSE(std::filesystem::exists(dir / name)) << name;
  for (const char* name : kept) EXPECT_TRUE(std::filesystem::exists(dir / name)) << name;
}

TEST(AdFiles, MissingAndShortFilesAndKeys) {
  TempDir dir;
  AdStoredState state;
  state.counters.TodayMiniCount = 9;  // a missing NVRSet.ini reads nothing
  LoadAdState(dir.path(), state);
  EXPECT_EQ(state.counters.TodayMiniCount, 9);

  dir.write("NVRM.dat", std::string(533, '\x01'));  // too short: skipped
  dir.write("NVRSet.ini", "[save]\nMiniPopData=not a date\nrigtsvc=4\n");
  AdStoredState loaded;
  loaded.counters.RightPopData = 5;
  LoadAdState(dir.path(), loaded);
  EXPECT_EQ(loaded.mini.Id, 0u);
  EXPECT_EQ(loaded.counters.MiniPopData, 0);
  EXPECT_EQ(loaded.counters.RightPopData, 0);
  EXPECT_EQ(loaded.counters.TodayMiniCount, 3);
  EXPECT_EQ(loaded.counters.TodayRightCount, 3);
  EXPECT_EQ(loaded.counters.rigtsvc, 4);
}

TEST(AdFiles, SwitchAndInterval) {
  const struct {
    const char* popIni;  // nullptr: no file
    bool allowed;
  } pops[] = {{nullptr, true},
              {"[set]\nifpop=2\n", false},
              {"[SET]\nIfPop=2\n", false},
              {"[set]\nifpop=1\n", true},
              {"[set]\nifpop=x\n", true}};
  for (const auto& c : pops) {
    TempDir dir;
    if (c.popIni) dir.write("pop.ini", c.popIni);
    EXPECT_EQ(PopsAllowed(dir.path()), c.allowed) << (c.popIni ? c.popIni : "none");
  }
  const struct {
    const char* ini;
    std::int32_t seconds;
  } intervals[] = {{nullptr, 540},
                   {"[Heatbeat]\nHeatbeat=60\n", 60},
                   {"[Heatbeat]\nHeatbeat=0\n", 540},
                   {"[Heatbeat]\nHeatbeat=-5\n", -5},
                   {"[Heatbeat]\nHeatbeat=abc\n", 540}};
  for (const auto& c : intervals) {
    TempDir dir;
    if (c.ini) dir.write("Heatbeat.ini", c.ini);
    EXPECT_EQ(HeartbeatInterval(dir.path()), c.seconds) << (c.ini ? c.ini : "none");
  }
}

TEST(AdFiles, PopStamps) {
  TempDir dir;
  StampPopShown(dir.path(), true, test::at("2024-03-10 10:00:00"));
  StampPopShown(dir.path(), false, test::at("2024-03-10 11:00:00"));
  StampTrayOnline(dir.path(), test::at("2024-03-10 12:00:00"));
  EXPECT_EQ(readFile(dir / "popset.ini"),
            "[svcadad]\nsvcadad=2024-03-10 10:00:00\n[trayad]\ntrayad=2024-03-10 11:00:00\n"
            "[trayonline]\ntrayonline=2024-03-10 12:00:00\n");
}

}  // namespace
}  // namespace nivra::ads
