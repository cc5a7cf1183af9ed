// TIniOptions and the history file layout.

#include "catalogue/ini_options.h"

#include <gtest/gtest.h>

#include "common/ini_date_time.h"
#include "platform/error.h"
#include "tests/support/temp_dir.h"

namespace nivra::catalogue {
namespace {

TEST(TIniOptions, SlotsOutsideTheCapacityRaiseTheIndexError) {
  TIniOptions list(25);
  auto message = [&](auto&& call) {
    try {
      call();
    } catch (const Error& e) {
      return std::string(e.what());
    }
    return std::string("no error");
  };
  EXPECT_EQ(message([&] { (void)list.Name(25); }), "下标越界25");
  EXPECT_EQ(message([&] { (void)list.Date(-1); }), "下标越界-1");
  EXPECT_EQ(message([&] { list.SetUrl(30, "x"); }), "下标越界30");
  EXPECT_EQ(message([&] { (void)list.Rating(24); }), "no error");
}

TEST(TIniOptions, SetCapacityKeepsSlotsAndIgnoresNonPositiveCounts) {
  TIniOptions list(2);
  list.SetName(1, "kept");
  list.SetCapacity(0);
  list.SetCapacity(-3);
  EXPECT_EQ(list.capacity(), 2);
  list.SetCapacity(4);
  EXPECT_EQ(list.Name(1), "kept");
  EXPECT_EQ(list.Name(3), "");
  list.SetCapacity(1);
  EXPECT_EQ(list.capacity(), 1);
  EXPECT_EQ(list.Name(0), "");
}

TEST(TIniOptions, TextSettersCompareTheTrimmedNewText) {
  TIniOptions list(1);
  list.SetName(0, "a");
  list.SetName(0, " a ");  // trims to the stored text: kept as it was
  EXPECT_EQ(list.Name(0), "a");
  list.SetName(0, " b ");
  EXPECT_EQ(list.Name(0), " b ");
}

TEST(TIniOptions, SaveWritesEverySlotInTheHistoryFileLayout) {
  nivra::test::TempDir dir;
  TIniOptions list(2);
  list.Load(dir / "His1.dat");
  list.SetName(0, "Film");
  list.SetUrl(0, "Nivra://f");
  list.SetRating(0, "5");
  list.SetDate(0, common::textToDateTime("2024-05-01 13:45:10"));
  list.Save();
  EXPECT_EQ(nivra::test::readFile(dir / "His1.dat"),
            "[History0]\nsName=Film\nsUrl=Nivra://f\nsAVLevel=5\ndDate=2024-05-01 13:45:10\n\n"
            "[History1]\nsName=\nsUrl=\nsAVLevel=\ndDate=1899-12-30 00:00:00\n\n");
}

TEST(TIniOptions, LoadReadsValuesVerbatimWithCaseFreeNames) {
  nivra::test::TempDir dir;
  auto file = dir.write("His.dat",
                        "[other]\nkeep=1\n[HISTORY0]\nSNAME= spaced \"quoted\" \nsurl=u=v\n"
                        "DDATE=2001-02-03 04:05:06\n[History1]\ndDate=garbage\nsName=n\n");
  TIniOptions list(3);
  list.Load(file);
  EXPECT_EQ(list.Name(0), " spaced \"quoted\" ");
  EXPECT_EQ(list.Url(0), "u=v");
  EXPECT_EQ(list.Rating(0), "");
  EXPECT_EQ(common::dateTimeToText(list.Date(0)), "2001-02-03 04:05:06");
  EXPECT_EQ(list.Date(1), 0.0);
  EXPECT_EQ(list.Name(2), "");

  list.Save();
  TIniOptions again(3);
  again.Load(file);
  EXPECT_EQ(again.Name(0), " spaced \"quoted\" ");
  EXPECT_NE(nivra::test::readFile(file).find("[other]\nkeep=1\n"), std::string::npos);
}

TEST(TIniOptions, LineBreaksInValuesCannotForgeEntries) {
  nivra::test::TempDir dir;
  TIniOptions list(1);
  list.Load(dir / "His1.dat");
  list.SetName(0, "x\nsUrl=forged");
  list.SetUrl(0, "real");
  list.Save();
  TIniOptions again(1);
  again.Load(dir / "His1.dat");
  EXPECT_EQ(again.Name(0), "x sUrl=forged");
  EXPECT_EQ(again.Url(0), "real");
}

TEST(TIniOptions, UnreadableFileKeepsSlotsAndDisablesSave) {
  nivra::test::TempDir dir;
  std::filesystem::create_directory(dir / "His1.dat");  // a folder cannot be read as a file
  TIniOptions list(1);
  list.SetName(0, "kept");
  list.Load(dir / "His1.dat");
  EXPECT_EQ(list.Name(0), "kept");
  list.Save();
  EXPECT_TRUE(std::filesystem::is_directory(dir / "His1.dat"));

  TIniOptions never(1);
  never.Save();  // never loaded: nothing to write to
  EXPECT_EQ(never.Name(0), "");
}

}  // namespace
}  // namespace nivra::catalogue
