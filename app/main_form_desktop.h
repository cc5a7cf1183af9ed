#pragma once
// The main window's ties to the desktop: the boss key (a global hot key), the media controls
// (MPRIS), the screen saver held off while full screen plays, and the background-service check
// of the library loading. The window owns one and tells it what changed.

#include <memory>
#include <string>

#include "app/desktop/boss_key.h"
#include "app/desktop/mpris_player.h"

namespace nivra::app {

class BackgroundServiceCheck;
class GlobalHotKey;
class MprisService;
class ScreenSaverInhibitor;
class TNivraMainForm;

class MainFormDesktop final : public BossKeyView, public MprisPlayer {
 public:
  // `window` outlives this object; `programPath` is the running program (for the elevated
  // start of the background service).
  MainFormDesktop(TNivraMainForm& window, const std::string& programPath);
  ~MainFormDesktop() override;

  // Registers `keyCode` as the boss key (replacing the earlier one); false when inactive.
  bool RegisterBossKey(std::int32_t keyCode);
  void SetBossKeySettings(const BossKeySettings& settings) { bossSettings_ = settings; }
  // Act_BossKey: hides everything, or brings it back.
  void RunBossKey() { Act_BossKey(*this, bossSettings_); }
  // Play state, full screen, title or volume changed.
  void PlayerChanged();
  // The library loading timer ticked.
  void CheckBackgroundService(const std::string& argument1);

  // BossKeyView
  bool WindowShowing() const override;
  bool FullScreen() const override;
  void Act_Full() override;
  bool TrayIconVisible() const override;
  void SetTrayIconVisible(bool visible) override;
  void SetMute(bool mute) override;
  bool Playing() const override;
  void Pause() override;
  void Act_ShowTray() override;

  // MprisPlayer
  void Play() override;
  void PlayPause() override;
  void Stop() override;
  void Next() override;
  void Previous() override;
  void Raise() override;
  void Quit() override;
  std::string PlaybackStatus() const override;
  std::string Title() const override;
  double Volume() const override;
  void SetVolume(double volume) override;

 private:
  TNivraMainForm& window_;
  BossKeySettings bossSettings_;
  std::unique_ptr<GlobalHotKey> bossKey_;
  std::unique_ptr<ScreenSaverInhibitor> screenSaver_;
  std::unique_ptr<BackgroundServiceCheck> service_;
  std::unique_ptr<MprisService> mpris_;  // last: it calls back into the members above
};

}  // namespace nivra::app
