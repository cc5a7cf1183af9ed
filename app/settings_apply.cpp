#include "app/settings_apply.h"

namespace nivra::app {

void ApplySettings(TIniConfig& config, SettingsTarget& window) {
  switch (config.cbbTop) {
    case 0: window.actNoTopMost(); break;
    case 1: window.actTopMost(); break;
    default: window.actTopMostOnPlay(); break;
  }

  if (config.rbPlayListMode == 0) {
    window.setListModeChecked(0);
    if (window.isShowing()) window.actFfsNormal();
  } else if (config.rbPlayListMode == 1) {
    window.setListModeChecked(1);
    if (window.isShowing()) window.actFfsMini();
  } else {
    window.setListModeChecked(2);
    if (!window.libraryPanelShowing()) window.actChangeTreeList();
  }

  if (config.cbbScale == 1 && window.playerPlaying()) window.fitWindowToMedia();

  switch (config.cbbSound) {
    case 0: window.actVolumeStereo(); break;
    case 1: window.actVolumeLeft(); break;
    default: window.actVolumeRight(); break;
  }

  if (config.chkBossKey) window.registerBossKey(config.hkBossKey);

  const std::pair<std::int32_t TIniConfig::*, ShortcutAction> shortcuts[] = {
      {&TIniConfig::hkOpenFile, ShortcutAction::OpenFile},
      {&TIniConfig::hkOpenUrl, ShortcutAction::PlayUrl},
      {&TIniConfig::hkVolumeInc, ShortcutAction::VolumeInc},
      {&TIniConfig::hkVolumeDec, ShortcutAction::VolumeDec},
      {&TIniConfig::hkMute, ShortcutAction::Mute},
      {&TIniConfig::hkFullScreen, ShortcutAction::Full},
  };
  for (auto [field, action] : shortcuts) {
    if (config.*field != 0) window.setShortcut(action, config.*field);
    else config.*field = window.shortcut(action);
  }
}

}  // namespace nivra::app
