#pragma once
// The boss key's decision (Act_BossKey) over a small view of the main window: hide everything
// at once, and on the second press bring it back. The window implements the view.

namespace nivra::app {

class BossKeyView {
 public:
  virtual ~BossKeyView() = default;
  virtual bool WindowShowing() const = 0;
  virtual bool FullScreen() const = 0;  // the player's FullScreen
  virtual void Act_Full() = 0;          // toggles full screen
  virtual bool TrayIconVisible() const = 0;
  virtual void SetTrayIconVisible(bool visible) = 0;
  virtual void SetMute(bool mute) = 0;  // the player's SetMute
  virtual bool Playing() const = 0;     // PlayState == psPlay
  virtual void Pause() = 0;
  virtual void Act_ShowTray() = 0;  // hides a shown window, brings back a hidden one
};

struct BossKeySettings {
  bool chkBossKey = true;
  bool chkBossKeyHideTray = true;
  bool chkBossKeyMute = true;
};

// Act_BossKey: hides the player (leaving full screen, hiding the tray icon, muting and pausing
// as the settings say) or brings it back. Errors are swallowed.
void Act_BossKey(BossKeyView& view, const BossKeySettings& settings);
// A press of the registered hot key: Act_BossKey when chkBossKey is on, else nothing.
void OnBossHotKey(BossKeyView& view, const BossKeySettings& settings);

}  // namespace nivra::app
