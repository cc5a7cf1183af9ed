#include "common/form_config_rules.h"

#include "platform/text.h"

namespace nivra::common {

bool AutorunEntryIsOurs(std::string_view entry, std::string_view ownData) {
  return !entry.empty() && text::equalsNoCase(entry, ownData);
}

ConfigControls ControlsFromConfig(const TIniConfig& config, bool autorunEntryIsOurs) {
  ConfigControls c;
  c.chkAutoRun = autorunEntryIsOurs || config.chkAutoRun;
  c.chkNextNotQuery = config.chkNextNotQuery;
  c.rbMiniTray = config.rbMini != 0;
  c.rbMiniTask = !c.rbMiniTray;
  c.rbCloseExit = config.rbClose != 0;
  c.rbCloseTray = !c.rbCloseExit;

  c.cbbTop = config.cbbTop;
  c.cbbScale = config.cbbScale;
  c.cbbSound = config.cbbSound;
  c.chkShutDown = config.chkShutDown;
  c.udHistory = config.udHistory;

  c.chkBossKey = config.chkBossKey;
  c.hkBossKey = config.hkBossKey;
  c.chkBossKeyHideTray = config.chkBossKeyHideTray;
  c.chkBossKeyMute = config.chkBossKeyMute;
  c.hkOpenFile = config.hkOpenFile;
  c.hkOpenUrl = config.hkOpenUrl;
  c.hkVolumeInc = config.hkVolumeInc;
  c.hkVolumeDec = config.hkVolumeDec;
  c.hkMute = config.hkMute;
  c.hkFullScreen = config.hkFullScreen;

  c.rbPlayListNormal = config.rbPlayListMode == 0;
  c.rbPlayListMini = config.rbPlayListMode == 1;
  c.rbPlayListR2L = !c.rbPlayListNormal && !c.rbPlayListMini;
  c.rbPlayListRight = config.rbPlayListPos != 0;
  c.rbPlayListLeft = !c.rbPlayListRight;
  c.lstFace = config.lstFace;
  return c;
}

void ConfigFromControls(const ConfigControls& c, TIniConfig& config) {
  config.chkAutoRun = c.chkAutoRun;
  config.rbMini = c.rbMiniTask ? 0 : 1;
  config.chkNextNotQuery = c.chkNextNotQuery;
  config.rbClose = c.rbCloseTray ? 0 : 1;

  config.cbbTop = c.cbbTop;
  config.cbbScale = c.cbbScale;
  config.cbbSound = c.cbbSound;
  config.chkShutDown = c.chkShutDown;
  config.udHistory = c.udHistory;

  config.chkBossKey = c.chkBossKey;
  config.hkBossKey = c.hkBossKey;
  config.chkBossKeyHideTray = c.chkBossKeyHideTray;
  config.chkBossKeyMute = c.chkBossKeyMute;
  config.hkOpenFile = c.hkOpenFile;
  config.hkOpenUrl = c.hkOpenUrl;
  config.hkVolumeInc = c.hkVolumeInc;
  config.hkVolumeDec = c.hkVolumeDec;
  config.hkMute = c.hkMute;
  config.hkFullScreen = c.hkFullScreen;

  config.rbPlayListMode = c.rbPlayListNormal ? 0 : c.rbPlayListMini ? 1 : 2;
  config.rbPlayListPos = c.rbPlayListLeft ? 0 : 1;
  config.lstFace = c.lstFace;
}

bool IsExtendedKey(std::int32_t keyCode) {
  const int vk = keyCode & 0xFF;
  return vk >= 37 && vk <= 40;
}

ConfigControls OpenConfigControls(const TIniConfig& config, const ConfigHost& host) {
  const std::string entry = host.readAutorun ? host.readAutorun() : std::string();
  return ControlsFromConfig(config, AutorunEntryIsOurs(entry, host.autorunData));
}

void ConfirmConfig(const ConfigControls& controls, TIniConfig& config,
                   const std::filesystem::path& file, const ConfigHost& host) {
  if (host.setAutorun) host.setAutorun(controls.chkAutoRun);
  ConfigFromControls(controls, config);
  config.Save(file);
  if (host.onApply) host.onApply(config);
}

}  // namespace nivra::common
