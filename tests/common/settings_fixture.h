#pragma once
// Settings for the settings-dialog tests: a set where every field differs from its default, and
// a field-by-field comparison.

#include <gtest/gtest.h>

#include "common/ini_config.h"

namespace nivra::test {

inline common::TIniConfig ChangedSettings() {
  common::TIniConfig c;
  c.chkAutoRun = false;
  c.rbMini = 1;
  c.rbClose = 1;
  c.chkNextNotQuery = true;
  c.cbbTop = 2;
  c.cbbScale = 1;
  c.cbbSound = 1;
  c.chkShutDown = true;
  c.udHistory = 60;
  c.chkBossKey = false;
  c.hkBossKey = 0x8000 | 'K';
  c.chkBossKeyHideTray = false;
  c.chkBossKeyMute = false;
  c.hkOpenFile = 0x2000 | 'O';
  c.hkOpenUrl = 0x72;  // F3
  c.hkVolumeInc = 0x8000 | 0x26;
  c.hkVolumeDec = 0;
  c.hkMute = 0x4000 | 0x2000 | 'M';
  c.hkFullScreen = 0x4000 | 0x0D;
  c.rbPlayListPos = 0;
  c.rbPlayListMode = 2;
  c.lstFace = -1;
  return c;
}

inline void ExpectSameSettings(const common::TIniConfig& a, const common::TIniConfig& b) {
  EXPECT_EQ(a.chkAutoRun, b.chkAutoRun);
  EXPECT_EQ(a.rbMini, b.rbMini);
  EXPECT_EQ(a.rbClose, b.rbClose);
  EXPECT_EQ(a.chkNextNotQuery, b.chkNextNotQuery);
  EXPECT_EQ(a.cbbTop, b.cbbTop);
  EXPECT_EQ(a.cbbScale, b.cbbScale);
  EXPECT_EQ(a.cbbSound, b.cbbSound);
  EXPECT_EQ(a.chkShutDown, b.chkShutDown);
  EXPECT_EQ(a.udHistory, b.udHistory);
  EXPECT_EQ(a.chkBossKey, b.chkBossKey);
  EXPECT_EQ(a.hkBossKey, b.hkBossKey);
  EXPECT_EQ(a.chkBossKeyHideTray, b.chkBossKeyHideTray);
  EXPECT_EQ(a.chkBossKeyMute, b.chkBossKeyMute);
  EXPECT_EQ(a.hkOpenFile, b.hkOpenFile);
  EXPECT_EQ(a.hkOpenUrl, b.hkOpenUrl);
  EXPECT_EQ(a.hkVolumeInc, b.hkVolumeInc);
  EXPECT_EQ(a.hkVolumeDec, b.hkVolumeDec);
  EXPECT_EQ(a.hkMute, b.hkMute);
  EXPECT_EQ(a.hkFullScreen, b.hkFullScreen);
  EXPECT_EQ(a.rbPlayListPos, b.rbPlayListPos);
  EXPECT_EQ(a.rbPlayListMode, b.rbPlayListMode);
  EXPECT_EQ(a.lstFace, b.lstFace);
}

}  // namespace nivra::test
