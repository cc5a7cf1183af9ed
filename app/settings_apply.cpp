#include "app/settings_apply.h"

namespace nivra::app {

std::int32_t TIniConfig::*ShortcutField(ShortcutAction action) {
  switch (action) {
    case ShortcutAction::OpenFile:
      return &TIniConfig::hkOpenFile;
    case ShortcutAction::PlayUrl:
      return &TIniConfig::hkOpenUrl;
    case ShortcutAction::VolumeInc:
      return &TIniConfig::hkVolumeInc;
    case ShortcutAction::VolumeDec:
      return &TIniConfig::hkVolumeDec;
    case ShortcutAction::Mute:
      return &TIniConfig::hkMute;
    case ShortcutAction::Full:
      return &TIniConfig::hkFullScreen;
  }
  return &TIniConfig::hkOpenFile;
}

void ApplySettings(TIniConfig& config, SettingsTarget& window) {
  switch (config.cbbTop) {
    case 0:
      window.actNoTopMost();
      break;
    case 1:
      window.actTopMost();
      break;
    default:
      window.actTopMostOnPlay();
      break;
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
    case 0:
      window.actVolumeStereo();
      break;
    case 1:
      window.actVolumeLeft();
      break;
    default:
      window.actVolumeRight();
      break;
  }

  if (config.chkBossKey) window.registerBossKey(config.hkBossKey);

  for (ShortcutAction action : kShortcutActions) {
    std::int32_t& field = config.*ShortcutField(action);
    if (field != 0)
      window.setShortcut(action, field);
    else
      field = window.shortcut(action);
  }
}

}  // namespace nivra::app
