#include <gtest/gtest.h>

#include "ads/ad_ini.h"
#include "app/settings_apply.h"
#include "app/system_integration.h"
#include "common/ini_config.h"
#include "platform/date_time.h"
#include "platform/ini_file.h"
#include "platform/registry.h"
#include "tests/support/env_guard.h"
#include "tests/support/temp_dir.h"

namespace nivra::app {
namespace {

TEST(TIniConfig, FreshProfileGivesEveryDefaultAndWritesTheLayout) {
  test::TempDir dir;
  TIniConfig config;
  config.Load(dir / "Setup.ini");  // missing file
  EXPECT_TRUE(config.chkAutoRun);
  EXPECT_EQ(config.udHistory, 25);
  EXPECT_EQ(config.hkBossKey, 49218);
  EXPECT_EQ(config.rbPlayListPos, 1);
  ASSERT_TRUE(config.Save(dir / "Setup.ini"));
  EXPECT_EQ(
      test::readFile(dir / "Setup.ini"),
      "[cfBase]\nchkAutoRun=1\nrbMini=0\nrbClose=0\nchkNextNotQuery=0\n"
      "[cfPlay]\ncbbTop=0\ncbbScale=0\ncbbSound=0\nchkShutDown=0\nudHistory=25\n"
      "[cfHotKey]\nchkBossKey=1\nhkBossKey=49218\nchkBossKeyHideTray=1\nchkBossKeyMute=1\n"
      "hkOpenFile=16463\nhkOpenUrl=16469\nhkVolumeInc=16422\nhkVolumeDec=16424\nhkMute=16461\n"
      "hkFullScreen=16454\n"
      "[cfFace]\nrbPlayListPos=1\nrbPlayListMode=0\nlstFace=0\n");
}

TEST(TIniConfig, WrongTypesReadAsDefaultsAndOtherSectionsSurvive) {
  test::TempDir dir;
  const auto file =
      dir.write("Setup.ini",
                "[Flag]\nData=2026-12-01\n[CFPLAY]\ncbbTop=abc\nudHistory=40\ncbbSound=-1\n"
                "[cfHotKey]\nchkBossKey=0\nhkMute=\"0\"\n[cfBase]\nrbClose=1.5\n");
  TIniConfig config;
  config.Load(file);
  EXPECT_EQ(config.cbbTop, 0);
  EXPECT_EQ(config.udHistory, 40);
  EXPECT_EQ(config.cbbSound, -1);
  EXPECT_FALSE(config.chkBossKey);
  EXPECT_EQ(config.hkMute, 0);
  EXPECT_EQ(config.rbClose, 0);
  ASSERT_TRUE(config.Save(file));
  platform::IniFile ini(file);
  ASSERT_TRUE(ini.load());
  EXPECT_EQ(ini.readString("Flag", "Data", ""), "2026-12-01");  // the update mark is not ours
  EXPECT_EQ(ini.readInteger("cfPlay", "cbbTop", 99), 0);
}

TEST(TIniConfig, GarbageFileLeavesDefaults) {
  test::TempDir dir;
  std::string junk;
  for (int i = 0; i < 5000; ++i) junk += static_cast<char>((i * 37) % 256);
  TIniConfig config;
  config.Load(dir.write("Setup.ini", junk));
  EXPECT_EQ(config.hkFullScreen, 16454);
  EXPECT_TRUE(config.Save(dir / "Setup.ini"));
}

// Records the window commands that applying runs.
class FakeWindow final : public SettingsTarget {
 public:
  std::vector<std::string> calls;
  bool showing = true, panelShowing = false, playing = false;
  std::int32_t shortcuts[6] = {0, 0, 0, 0, 16461, 0};
  void actNoTopMost() override { calls.push_back("NoTopMost"); }
  void actTopMost() override { calls.push_back("TopMost"); }
  void actTopMostOnPlay() override { calls.push_back("TopMostOnPlay"); }
  void setListModeChecked(int m) override { calls.push_back("check" + std::to_string(m)); }
  void actFfsNormal() override { calls.push_back("ffsNormal"); }
  void actFfsMini() override { calls.push_back("ffsMini"); }
  void actChangeTreeList() override { calls.push_back("ChangeTreeList"); }
  bool isShowing() const override { return showing; }
  bool libraryPanelShowing() const override { return panelShowing; }
  bool playerPlaying() const override { return playing; }
  void fitWindowToMedia() override { calls.push_back("fit"); }
  void actVolumeStereo() override { calls.push_back("Stereo"); }
  void actVolumeLeft() override { calls.push_back("Left"); }
  void actVolumeRight() override { calls.push_back("Right"); }
  void registerBossKey(std::int32_t k) override { calls.push_back("boss" + std::to_string(k)); }
  std::int32_t shortcut(ShortcutAction a) const override { return shortcuts[static_cast<int>(a)]; }
  void setShortcut(ShortcutAction a, std::int32_t k) override {
    shortcuts[static_cast<int>(a)] = k;
  }
};

TEST(ApplySettings, StepsRunInOrderWithTheirValueRules) {
  struct Case {
    int top, list, scale, sound;
    bool boss, showing, panelShowing, playing;
    std::vector<std::string> calls;
  } cases[] = {
      {0,
       0,
       0,
       0,
       true,
       true,
       false,
       false,
       {"NoTopMost", "check0", "ffsNormal", "Stereo", "boss49218"}},
      {1, 1, 1, 1, false, false, false, false, {"TopMost", "check1", "Left"}},
      {-1,
       2,
       1,
       -1,
       false,
       true,
       false,
       true,
       {"TopMostOnPlay", "check2", "ChangeTreeList", "fit", "Right"}},
      {2, 5, 0, 2, false, true, true, false, {"TopMostOnPlay", "check2", "Right"}},
  };
  for (const auto& c : cases) {
    TIniConfig config;
    config.cbbTop = c.top;
    config.rbPlayListMode = c.list;
    config.cbbScale = c.scale;
    config.cbbSound = c.sound;
    config.chkBossKey = c.boss;
    FakeWindow window;
    window.showing = c.showing;
    window.panelShowing = c.panelShowing;
    window.playing = c.playing;
    ApplySettings(config, window);
    EXPECT_EQ(window.calls, c.calls) << "top " << c.top << " list " << c.list;
  }
}

TEST(ApplySettings, ZeroShortcutTakesTheActionsOwn) {
  TIniConfig config;
  config.hkMute = 0;
  config.hkOpenFile = 0x4000 | 'P';
  FakeWindow window;
  ApplySettings(config, window);
  EXPECT_EQ(config.hkMute, 16461);  // Ctrl+M back from the action
  EXPECT_EQ(window.shortcuts[static_cast<int>(ShortcutAction::OpenFile)], 0x4000 | 'P');
  EXPECT_EQ(window.shortcuts[static_cast<int>(ShortcutAction::Full)], 16454);
}

class IntegrationFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    env_.set("XDG_CONFIG_HOME", (dir_ / "config").string());
    env_.set("NIVRA_COMMON_DATA_DIR", (dir_ / "common").string());
  }
  test::TempDir dir_;
  test::EnvGuard env_;
};

TEST_F(IntegrationFiles, AutorunWritesRegistryAndAutostartAndRemovesBoth) {
  platform::Registry reg(dir_ / "config" / "Nivra" / "registry", dir_ / "install");
  const auto desktop = dir_ / "config" / "autostart" / "nivra.desktop";
  SetAutorun(true, "/opt/My Nivra/nivra");
  EXPECT_EQ(ReadAutorun(), "\"/opt/My Nivra/nivra\" /A");
  EXPECT_NE(test::readFile(desktop).find("Exec=\"/opt/My Nivra/nivra\" /A"), std::string::npos);

  // A value that differs only in letter case is left as it is.
  reg.writeString(platform::Hive::CurrentUser, kRunKey, "Nivra", "\"/OPT/MY NIVRA/NIVRA\" /a");
  std::filesystem::remove(desktop);
  SetAutorun(true, "/opt/My Nivra/nivra");
  EXPECT_EQ(ReadAutorun(), "\"/OPT/MY NIVRA/NIVRA\" /a");
  EXPECT_FALSE(std::filesystem::exists(desktop));

  SetAutorun(true, "/usr/bin/nivra");
  EXPECT_EQ(ReadAutorun(), "\"/usr/bin/nivra\" /A");
  SetAutorun(false, "/usr/bin/nivra");
  EXPECT_EQ(ReadAutorun(), "");
  EXPECT_FALSE(std::filesystem::exists(desktop));
}

TEST_F(IntegrationFiles, RunFlagAndSetupDay) {
  ads::WriteRunFlag(false);
  EXPECT_EQ(platform::IniFile(dir_ / "common" / "runa.ini").load(), true);
  EXPECT_NE(test::readFile(dir_ / "common" / "runa.ini").find("[run]\nrun=0"), std::string::npos);
  ads::WriteRunFlag(true);
  EXPECT_NE(test::readFile(dir_ / "common" / "runa.ini").find("run=1"), std::string::npos);

  platform::Registry reg(dir_ / "config" / "Nivra" / "registry", dir_ / "install");
  const auto now = std::chrono::system_clock::now();
  ads::WriteSetupDay(now);  // the key does not exist: nothing is written
  EXPECT_FALSE(reg.keyExists(platform::Hive::LocalMachine, "SOFTWARE\\Nivra"));
  reg.createKey(platform::Hive::LocalMachine, "SOFTWARE\\Nivra");
  ads::WriteSetupDay(now);
  EXPECT_EQ(reg.readDword(platform::Hive::LocalMachine, "software\\nivra", "nopopday"),
            static_cast<std::uint32_t>(platform::dayNumber(now)));
}

}  // namespace
}  // namespace nivra::app
