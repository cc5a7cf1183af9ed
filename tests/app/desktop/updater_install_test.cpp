// The updater's replacement in temporary program folders, including the ways it can fail.

#include "app/desktop/updater_install.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/debug_log.h"
#include "tests/support/temp_dir.h"

namespace nivra::app {
namespace {

namespace fs = std::filesystem;
using test::readFile;

class InstallNewUpdaterTest : public ::testing::Test {
 protected:
  fs::path at(const std::string& name) const { return dir / name; }
  test::TempDir dir;
};

TEST_F(InstallNewUpdaterTest, NewUpdaterReplacesTheOldWhichGoesToTheBackups) {
  dir.write("Update", "old");
  dir.write("UpDate/Update", "new");
  dir.write("UpBaks/Update", "older");
  fs::permissions(at("UpDate/Update"), fs::perms::owner_all);
  InstallNewUpdater(dir.path());
  EXPECT_EQ(readFile(at("Update")), "new");
  EXPECT_EQ(readFile(at("UpBaks/Update")), "old");
  EXPECT_FALSE(fs::exists(at("UpDate/Update")));
  EXPECT_FALSE(fs::exists(at("UpBaks/Update.bak")));
  EXPECT_TRUE((fs::status(at("Update")).permissions() & fs::perms::owner_exec) != fs::perms::none);
}

TEST_F(InstallNewUpdaterTest, FirstUpdaterIsInstalledWithoutBackup) {
  dir.write("UpDate/Update", "new");
  InstallNewUpdater(dir.path());
  EXPECT_EQ(readFile(at("Update")), "new");
  EXPECT_TRUE(fs::is_directory(at("UpBaks")));
  EXPECT_FALSE(fs::exists(at("UpBaks/Update")));
}

TEST_F(InstallNewUpdaterTest, NothingWaitingMovesNothing) {
  dir.write("Update", "old");
  InstallNewUpdater(dir.path());
  EXPECT_EQ(readFile(at("Update")), "old");
  EXPECT_FALSE(fs::exists(at("UpBaks")));
}

TEST_F(InstallNewUpdaterTest, UndeletableOldBackupIsSetAside) {
  dir.write("Update", "old");
  dir.write("UpDate/Update", "new");
  dir.write("UpBaks/Update/stuck", "x");  // a folder that is not empty cannot be deleted
  InstallNewUpdater(dir.path());
  EXPECT_EQ(readFile(at("UpBaks/Update.bak/stuck")), "x");
  EXPECT_EQ(readFile(at("UpBaks/Update")), "old");
  EXPECT_EQ(readFile(at("Update")), "new");
}

TEST_F(InstallNewUpdaterTest, BackupFolderThatCannotBeMadeStopsEverything) {
  dir.write("Update", "old");
  dir.write("UpDate/Update", "new");
  dir.write("UpBaks", "a file in the way");
  InstallNewUpdater(dir.path());
  EXPECT_EQ(readFile(at("Update")), "old");
  EXPECT_EQ(readFile(at("UpDate/Update")), "new");
}

TEST_F(InstallNewUpdaterTest, OldUpdaterThatCannotBeBackedUpStaysInPlace) {
  dir.write("Update", "old");
  dir.write("UpDate/Update", "new");
  dir.write("UpBaks/Update/stuck", "x");      // cannot be deleted,
  dir.write("UpBaks/Update.bak/stuck", "y");  // nor set aside: the backup place stays taken
  InstallNewUpdater(dir.path());
  EXPECT_EQ(readFile(at("Update")), "old");
  EXPECT_EQ(readFile(at("UpDate/Update")), "new");
}

TEST_F(InstallNewUpdaterTest, BrokenNewUpdaterNeverCostsTheWorkingOne) {
  dir.write("Update", "old");
  fs::create_directories(at("UpDate"));
  fs::create_symlink(at("UpDate/missing"), at("UpDate/Update"));  // neither copied nor a program
  test::DebugLog debug;
  InstallNewUpdater(dir.path());
  EXPECT_EQ(readFile(at("Update")), "old");
  EXPECT_TRUE(fs::is_regular_file(at("Update")));
  EXPECT_TRUE(debug.contains("InstallNewUpdater: Update not replaced"));
}

TEST_F(InstallNewUpdaterTest, MissingFoldersMoveNothing) {
  MoveNewFiles(at("absent"), {"Update"});
  EXPECT_FALSE(fs::exists(at("absent")));
  dir.write("Update", "old");
  MoveNewFiles(dir.path(), {"Update"});  // no UpDate/
  EXPECT_FALSE(fs::exists(at("UpBaks")));
}

TEST_F(InstallNewUpdaterTest, SeveralNamesWithSubfolders) {
  dir.write("UpDate/Update", "new updater");
  dir.write("UpDate/codecs/libx.so", "new codec");
  dir.write("codecs/libx.so", "old codec");
  MoveNewFiles(dir.path(), {"Update", "codecs/libx.so", "not-there"});
  EXPECT_EQ(readFile(at("Update")), "new updater");
  EXPECT_EQ(readFile(at("codecs/libx.so")), "new codec");
  EXPECT_EQ(readFile(at("UpBaks/codecs/libx.so")), "old codec");
  EXPECT_FALSE(fs::exists(at("not-there")));
}

}  // namespace
}  // namespace nivra::app
