#include "app/desktop/boss_key.h"

#include <exception>

namespace nivra::app {

void Act_BossKey(BossKeyView& view, const BossKeySettings& settings) {
  try {
    if (view.WindowShowing()) {
      if (view.FullScreen()) view.Act_Full();
      if (settings.chkBossKeyHideTray) view.SetTrayIconVisible(false);
      if (settings.chkBossKeyMute) view.SetMute(true);
      if (view.Playing()) view.Pause();
      view.Act_ShowTray();
    } else {
      if (!view.TrayIconVisible()) view.SetTrayIconVisible(true);
      if (settings.chkBossKeyMute) view.SetMute(false);
      view.Act_ShowTray();
    }
  } catch (const std::exception&) {
  }
}

void OnBossHotKey(BossKeyView& view, const BossKeySettings& settings) {
  if (settings.chkBossKey) Act_BossKey(view, settings);
}

}  // namespace nivra::app
