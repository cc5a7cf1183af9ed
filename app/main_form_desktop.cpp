#include "app/main_form_desktop.h"

#include <QSystemTrayIcon>

#include "app/desktop/background_service.h"
#include "app/desktop/global_hot_key.h"
#include "app/desktop/mpris_service.h"
#include "app/desktop/screen_saver_dbus.h"
#include "app/main_form.h"
#include "player/player.h"

namespace nivra::app {

using player::TPlayState;

MainFormDesktop::MainFormDesktop(TNivraMainForm& window, const std::string& programPath)
    : window_(window),
      bossKey_(std::make_unique<GlobalHotKey>([this] { OnBossHotKey(*this, bossSettings_); })),
      screenSaver_(makeScreenSaverInhibitor()),
      service_(std::make_unique<BackgroundServiceCheck>(SystemBackgroundServiceHooks(programPath))),
      mpris_(makeMprisService(*this)) {}

MainFormDesktop::~MainFormDesktop() {
  mpris_.reset();
  if (screenSaver_) screenSaver_->UnInhibit();
}

bool MainFormDesktop::RegisterBossKey(std::int32_t keyCode) { return bossKey_->Register(keyCode); }

void MainFormDesktop::PlayerChanged() {
  // Full screen while playing keeps the screen on.
  const bool hold = window_.plyObj().FullScreen() && Playing();
  if (hold) {
    screenSaver_->Inhibit("全屏播放");
  } else {
    screenSaver_->UnInhibit();
  }
  if (mpris_) mpris_->NotifyChanged();
}

void MainFormDesktop::CheckBackgroundService(const std::string& argument1) {
  service_->CheckBackgroundService(argument1);
}

bool MainFormDesktop::WindowShowing() const { return window_.isVisible(); }
bool MainFormDesktop::FullScreen() const { return window_.plyObj().FullScreen(); }
void MainFormDesktop::Act_Full() { window_.Execute(Command::Full); }
bool MainFormDesktop::TrayIconVisible() const {
  const QSystemTrayIcon* tray = window_.TrayIcon();
  return tray && tray->isVisible();
}
void MainFormDesktop::SetTrayIconVisible(bool visible) {
  if (QSystemTrayIcon* tray = window_.TrayIcon()) tray->setVisible(visible);
}
void MainFormDesktop::SetMute(bool mute) { window_.plyObj().SetMute(mute); }
bool MainFormDesktop::Playing() const { return window_.plyObj().PlayState() == TPlayState::psPlay; }
void MainFormDesktop::Pause() { window_.plyObj().Pause(); }
void MainFormDesktop::Act_ShowTray() { window_.Execute(Command::ShowTray); }

void MainFormDesktop::Play() {
  if (window_.plyObj().PlayState() != TPlayState::psPlay) window_.Execute(Command::Play);
}
void MainFormDesktop::PlayPause() { window_.Execute(Command::Play); }
void MainFormDesktop::Stop() { window_.Execute(Command::Stop); }
void MainFormDesktop::Next() { window_.Execute(Command::Next); }
void MainFormDesktop::Previous() { window_.Execute(Command::Prev); }
void MainFormDesktop::Raise() {
  if (!window_.isVisible()) window_.Execute(Command::ShowTray);
  window_.raise();
  window_.activateWindow();
}
void MainFormDesktop::Quit() { window_.Execute(Command::Close); }

std::string MainFormDesktop::PlaybackStatus() const {
  switch (window_.plyObj().PlayState()) {
    case TPlayState::psPlay:
      return "Playing";
    case TPlayState::psPause:
      return "Paused";
    default:
      return "Stopped";
  }
}
std::string MainFormDesktop::Title() const { return window_.PlayingTitle(); }
double MainFormDesktop::Volume() const { return window_.plyObj().Volume() / 100.0; }
void MainFormDesktop::SetVolume(double volume) {
  window_.SetVolumeFromDesktop(static_cast<int>(volume * 100 + 0.5));
}

}  // namespace nivra::app
