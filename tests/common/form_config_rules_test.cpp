// The settings dialog's rules without a window: filling the controls, taking them back, and the
// order of OK.

#include "common/form_config_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/common/settings_fixture.h"
#include "tests/support/temp_dir.h"

namespace nivra::common {
namespace {

constexpr const char* kOwnData = "\"/opt/nivra/nivra\" /A";

TEST(FormConfigRules, ControlsTakeTheSettingsBackUnchanged) {
  for (const TIniConfig& config : {TIniConfig{}, test::ChangedSettings()}) {
    TIniConfig back = test::ChangedSettings();
    back.chkAutoRun = !config.chkAutoRun;
    ConfigFromControls(ControlsFromConfig(config, false), back);
    test::ExpectSameSettings(back, config);
  }
}

TEST(FormConfigRules, RadioGroupsFollowTheirFields) {
  struct Case {
    int value;
    bool first;  // the first button of each pair
    bool normal, mini, r2l;
    int modeBack;
  } const cases[] = {
      {0, false, true, false, false, 0}, {1, true, false, true, false, 1},
      {2, true, false, false, true, 2},  {7, true, false, false, true, 2},
      {-1, true, false, false, true, 2},
  };
  for (const Case& k : cases) {
    TIniConfig config;
    config.rbMini = config.rbClose = config.rbPlayListPos = config.rbPlayListMode = k.value;
    const ConfigControls c = ControlsFromConfig(config, false);
    EXPECT_EQ(c.rbMiniTray, k.first) << k.value;
    EXPECT_EQ(c.rbMiniTask, !k.first) << k.value;
    EXPECT_EQ(c.rbCloseExit, k.first) << k.value;
    EXPECT_EQ(c.rbCloseTray, !k.first) << k.value;
    EXPECT_EQ(c.rbPlayListRight, k.first) << k.value;
    EXPECT_EQ(c.rbPlayListLeft, !k.first) << k.value;
    EXPECT_EQ(c.rbPlayListNormal, k.normal) << k.value;
    EXPECT_EQ(c.rbPlayListMini, k.mini) << k.value;
    EXPECT_EQ(c.rbPlayListR2L, k.r2l) << k.value;
    // Any non-zero value comes back as 1 for the pairs and 2 for "any other" list mode.
    TIniConfig back;
    ConfigFromControls(c, back);
    EXPECT_EQ(back.rbMini, k.first ? 1 : 0) << k.value;
    EXPECT_EQ(back.rbClose, k.first ? 1 : 0) << k.value;
    EXPECT_EQ(back.rbPlayListPos, k.first ? 1 : 0) << k.value;
    EXPECT_EQ(back.rbPlayListMode, k.modeBack) << k.value;
  }
}

TEST(FormConfigRules, AutorunBoxIsCheckedByOurEntryOrTheSetting) {
  struct Case {
    const char* entry;
    bool setting;
    bool checked;
  } const cases[] = {
      {"\"/opt/nivra/nivra\" /A", false, true},
      {"\"/OPT/NIVRA/NIVRA\" /a", false, true},  // case does not matter
      {"\"/opt/nivra/nivra\"", false, false},    // without "/A"
      {"\"/opt/other/nivra\" /A", false, false},
      {"", false, false},
      {"", true, true},
      {"\"/opt/other/nivra\" /A", true, true},
  };
  for (const Case& k : cases) {
    TIniConfig config;
    config.chkAutoRun = k.setting;
    ConfigHost host;
    host.readAutorun = [&] { return std::string(k.entry); };
    host.autorunData = kOwnData;
    EXPECT_EQ(OpenConfigControls(config, host).chkAutoRun, k.checked) << k.entry << k.setting;
  }
  // Without a way to read the entry only the setting counts.
  TIniConfig off;
  off.chkAutoRun = false;
  EXPECT_FALSE(OpenConfigControls(off, ConfigHost{}).chkAutoRun);
}

TEST(FormConfigRules, ArrowKeysAreExtended) {
  for (int vk = 0; vk < 256; ++vk) {
    const bool arrow = vk >= 37 && vk <= 40;
    EXPECT_EQ(IsExtendedKey(vk), arrow) << vk;
    EXPECT_EQ(IsExtendedKey(0x4000 | 0x8000 | vk), arrow) << vk;
  }
}

TEST(FormConfigRules, OkSetsAutorunThenSavesThenApplies) {
  test::TempDir dir;
  const auto file = dir / "Setup.ini";
  std::vector<std::string> steps;
  TIniConfig config;
  ConfigHost host;
  host.setAutorun = [&](bool on) {
    steps.push_back(std::string("autorun ") + (on ? "1" : "0") +
                    (std::filesystem::exists(file) ? " after save" : ""));
  };
  host.onApply = [&](const TIniConfig& applied) {
    EXPECT_EQ(&applied, &config);
    TIniConfig onDisk;
    onDisk.Load(file);
    steps.push_back("apply, file history " + std::to_string(onDisk.udHistory));
  };
  ConfigControls controls = ControlsFromConfig(test::ChangedSettings(), false);
  ConfirmConfig(controls, config, file, host);
  EXPECT_EQ(steps, (std::vector<std::string>{"autorun 0", "apply, file history 60"}));
  test::ExpectSameSettings(config, test::ChangedSettings());

  // A host without callbacks still saves.
  controls.udHistory = 9;
  ConfirmConfig(controls, config, file, ConfigHost{});
  TIniConfig onDisk;
  onDisk.Load(file);
  EXPECT_EQ(onDisk.udHistory, 9);
}

}  // namespace
}  // namespace nivra::common
