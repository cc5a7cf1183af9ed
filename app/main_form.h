#pragma once
// The main window TNivraMainForm: a borderless window of 1005 × 648 that listens on the window
// channel under its class name, runs the creation sequence, answers the hand-over messages and
// applies the settings. Playback, the library panel and the ad scheduler hook in here. What it
// needs from the process (the settings, the server endpoints) comes through its constructor.

#include <QAction>
#include <QWidget>
#include <deque>
#include <memory>
#include <string>

#include "app/command_line.h"
#include "app/settings_apply.h"
#include "platform/message.h"

class QLabel;
class QStackedWidget;
class QTimer;

namespace nivra::net {
class ServerEndpoints;
}
namespace nivra::platform {
class QtEventLoop;
class WindowChannelServer;
}  // namespace nivra::platform

namespace nivra::app {

class TNivraMainForm final : public QWidget, public platform::MessageTarget, public SettingsTarget {
 public:
  // `config` and `endpoints` outlive the window; the list-mode commands write into `config`.
  TNivraMainForm(platform::QtEventLoop& loop, CommandLine cmd, TIniConfig& config,
                 const net::ServerEndpoints& endpoints);
  ~TNivraMainForm() override;

  std::intptr_t handleMessage(const platform::Message& msg) override;

  const std::string& PendingUrl() const { return pendingUrl_; }
  const std::string& LibraryUrl() const { return libraryUrl_; }
  int ListMode() const { return listMode_; }
  bool navigateTimerEnabled() const;

  // SettingsTarget
  void actNoTopMost() override;
  void actTopMost() override;
  void actTopMostOnPlay() override;
  void setListModeChecked(int listMode) override;
  void actFfsNormal() override;
  void actFfsMini() override;
  void actChangeTreeList() override;
  bool isShowing() const override { return isVisible(); }
  bool libraryPanelShowing() const override { return false; }
  bool playerPlaying() const override { return false; }
  void fitWindowToMedia() override {}
  void actVolumeStereo() override;
  void actVolumeLeft() override;
  void actVolumeRight() override;
  void registerBossKey(std::int32_t keyCode) override;
  std::int32_t shortcut(ShortcutAction action) const override;
  void setShortcut(ShortcutAction action, std::int32_t keyCode) override;

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void FormCreate();
  QAction* makeAction(const char* name, const QString& caption, bool checkable = false);
  QAction* shortcutAction(ShortcutAction action) const;
  std::intptr_t onInstanceActivate(std::intptr_t argCount);
  std::intptr_t onCopyData(const platform::CopyDataRecord* record);
  // Sets PendingUrl and posts WM_OPEN_PENDING; items handed over faster than they are opened
  // wait in order instead of overwriting each other.
  void queuePendingOpen(const std::string& url);
  void onOpenPending();
  void onNavigateTick();
  void showPage(QWidget* page);

  platform::QtEventLoop& loop_;
  CommandLine cmd_;
  TIniConfig& config_;
  const net::ServerEndpoints& endpoints_;
  std::string pendingUrl_;
  std::deque<std::string> pendingQueue_;
  std::string libraryUrl_;
  int listMode_ = 0;
  bool firstShowDone_ = false;
  bool closing_ = false;
  QSize preRollSize_;

  QWidget* pnlTop_ = nullptr;
  QWidget* pnlPlayOwn_ = nullptr;
  QStackedWidget* pageCtl1_ = nullptr;
  QWidget* tbLib_ = nullptr;
  QWidget* tbPlay_ = nullptr;
  QLabel* wb1_ = nullptr;  // stands where the library web page goes; shows the page address
  QTimer* tmrNavigate_ = nullptr;
  QImage imgMask_;

  QAction* Act_NoTopMost = nullptr;
  QAction* Act_TopMost = nullptr;
  QAction* Act_TopMostOnPlay = nullptr;
  QAction* Act_ffsNormal = nullptr;
  QAction* Act_ffsMini = nullptr;
  QAction* Act_ffsR2L = nullptr;
  QAction* Act_ChangeTreeList = nullptr;
  QAction* Act_VolumeStereo = nullptr;
  QAction* Act_VolumeLeft = nullptr;
  QAction* Act_VolumeRight = nullptr;
  QAction* Act_OpenFile = nullptr;
  QAction* Act_PlayURL = nullptr;
  QAction* Act_VolumeInc = nullptr;
  QAction* Act_VolumeDec = nullptr;
  QAction* Act_Mute = nullptr;
  QAction* Act_Full = nullptr;
  QAction* Act_PageLib = nullptr;
  QAction* Act_PagePlay = nullptr;
  QAction* Act_Close = nullptr;
  bool topMostOnPlay_ = false;
  std::int32_t bossKey_ = 0;

  std::unique_ptr<platform::WindowChannelServer> channel_;
};

}  // namespace nivra::app
