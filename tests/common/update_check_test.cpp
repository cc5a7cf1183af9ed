#include "common/update_check.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "common/ini_date_time.h"
#include "platform/date_time.h"
#include "tests/support/env_guard.h"
#include "tests/support/temp_dir.h"

namespace nivra::common {
namespace {

platform::WallClock::time_point at(const char* localDateTime) {
  return platform::fromDateTime(textToDateTime(localDateTime));
}

std::string setupWithMark(const std::string& mark) {
  return "[Setup]\nVolume=50\n[Flag]\nData=" + mark + "\n[Other]\nKey=1\n";
}

TEST(IsUpdateDue, SevenDaysOfWholeDatesMakeTheCheckDueAndMoveTheMark) {
  struct Case {
    const char* mark;
    const char* now;
    bool due;
  } cases[] = {
      {"2024-03-04", "2024-03-11 00:00:01", true},            // exactly a week
      {"2024-03-04 00:00:00", "2024-03-11 23:59:59", true},   // the time of day does not count
      {"2024-03-05", "2024-03-11 23:59:59", false},           // six days
      {"2024-03-04 18:00:00", "2024-03-11 10:00:00", false},  // a mark with a time is 6.25 days old
      {"2023-12-28", "2024-01-04 08:00:00", true},            // across the year
      {"2024-02-23", "2024-03-01 08:00:00", true},            // across a leap day
      {"2024-02-24", "2024-03-01 08:00:00", false},
      {"2024-04-01", "2024-03-11 08:00:00", false},  // a mark in the future
      {"1899-12-30", "2024-03-11 08:00:00", true},   // day 0 is a date, not garbage
  };
  for (const auto& c : cases) {
    test::TempDir dir;
    const auto ini = dir.write("Setup.ini", setupWithMark(c.mark));
    EXPECT_EQ(IsUpdateDue(ini, at(c.now)), c.due) << c.mark << " at " << c.now;
    const std::string markAfter =
        c.due ? std::string(c.now).substr(0, 10) + " 00:00:00" : std::string(c.mark);
    EXPECT_EQ(test::readFile(ini), setupWithMark(markAfter)) << c.mark << " at " << c.now;
  }
}

TEST(IsUpdateDue, AMissingOrUnreadableMarkReadsAsYesterdayAndWritesNothing) {
  const std::string files[] = {
      "",                             // no key at all
      "[Setup]\nVolume=50\n",         // no section
      "[Flag]\nData=\n",              // empty
      "[Flag]\nData=next tuesday\n",  // not a date
      "[Flag]\nData=2024-02-30\n",    // no such day
      "[Flag]\nData=2024-03-01 25:00:00\n",
  };
  for (const auto& content : files) {
    test::TempDir dir;
    const auto ini = dir.write("Setup.ini", content);
    EXPECT_FALSE(IsUpdateDue(ini, at("2024-03-11 12:00:00"))) << content;
    EXPECT_EQ(test::readFile(ini), content);
  }
  test::TempDir dir;
  EXPECT_FALSE(IsUpdateDue(dir / "Setup.ini", at("2024-03-11 12:00:00")));
  EXPECT_FALSE(std::filesystem::exists(dir / "Setup.ini"));  // a missing file is not created
}

TEST(IsUpdateDue, TheWrittenMarkHoldsTheNextCheckOffForAWeek) {
  test::TempDir dir;
  const auto ini = dir.write("Setup.ini", "[Flag]\nData=2024-01-01\n");
  EXPECT_TRUE(IsUpdateDue(ini, at("2024-03-11 09:00:00")));
  EXPECT_FALSE(IsUpdateDue(ini, at("2024-03-11 09:00:01")));
  EXPECT_FALSE(IsUpdateDue(ini, at("2024-03-17 23:59:59")));
  EXPECT_TRUE(IsUpdateDue(ini, at("2024-03-18 00:00:00")));
  EXPECT_EQ(test::readFile(ini), "[Flag]\nData=2024-03-18 00:00:00\n");
}

// The updater stand-in in the module folder (beside this test) logs the arguments it got.
TEST(StartUpdater, StartsUpdateFromTheModuleFolderWithTheArguments) {
  const std::vector<std::string> argumentLists[] = {{"/silent", "/postbbs"}, {"/silent"}, {}};
  const char* expectedLines[] = {"Update: /silent /postbbs", "Update: /silent", "Update:"};
  for (std::size_t i = 0; i < std::size(argumentLists); ++i) {
    test::TempDir dir;
    test::EnvGuard env;
    env.set("NIVRA_DEBUG_LOG", (dir / "debug.log").string());
    StartUpdater(argumentLists[i]);
    // The updater runs detached; wait for its line (the limit only stops a broken run).
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (test::readFile(dir / "debug.log").empty() && std::chrono::steady_clock::now() < giveUp)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(test::readFile(dir / "debug.log"), std::string(expectedLines[i]) + "\n");
  }
}

}  // namespace
}  // namespace nivra::common
