// TKinoro as the wiring's view: the bar, the action states, the ad page, the full-screen window,
// the error box and the player.

#include <QAction>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>

#include "ads/overlay/tm_webbrowser.h"
#include "control/tkinoro.h"
#include "platform/debug_output.h"
#include "player/player_widget.h"
#include "ui/png_button.h"
#include "ui/png_track_bar.h"

namespace nivra::control {
namespace {

QString qtext(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

// ---- the bar and the actions -----------------------------------------------------------------

void TKinoro::SetPlayButton(int stateImage) { btnPlay_->SetStateIndex(stateImage); }
void TKinoro::SetMuteButton(int stateImage) { btnMute_->SetStateIndex(stateImage); }
void TKinoro::SetSeekBar(int maxSeconds, int positionSeconds) {
  tbPlayPos_->SetMax(maxSeconds);
  tbPlayPos_->SetPosition(positionSeconds);
}
void TKinoro::SetSeekEnabled(bool on) { tbPlayPos_->SetCanSeek(on); }
void TKinoro::SetSeekHint(std::string_view text) { tbPlayPos_->setToolTip(qtext(text)); }
void TKinoro::SetVolumeBar(int position) { tbVolume_->SetPosition(position); }
void TKinoro::SetTimeText(std::string_view text) { lblPlayPos_->setText(qtext(text)); }
std::string TKinoro::SpeedText() const { return lblSpeed_->text().toStdString(); }
void TKinoro::SetSpeedText(std::string_view text) { lblSpeed_->setText(qtext(text)); }
void TKinoro::SetMuteChecked(bool on) { action("Act_Mute")->setChecked(on); }
void TKinoro::SetChannelChecked(int channel) {
  action("Act_VolumeStereo")->setChecked(channel == 0);
  action("Act_VolumeLeft")->setChecked(channel == 1);
  action("Act_VolumeRight")->setChecked(channel == 2);
}
void TKinoro::SetFullCaption(std::string_view caption) {
  QAction* full = action("Act_Full");
  full->setText(qtext(caption));
  full->setToolTip(qtext(caption));
}

// ---- the ad page -----------------------------------------------------------------------------

bool TKinoro::AdPageShowing() const { return adBrowser_ && !adBrowser_->isHidden(); }

void TKinoro::ShowAdPage(const std::string& url, int width, int height, int countdownMs,
                         bool adDone) {
  try {
    if (!adDone) {
      pnlMaskBg_->show();
      pnlMaskBg_->raise();
    }
    overlay_.ShowAdPage(url, width, height, countdownMs, adDone);
  } catch (...) {  // the overlay's failures are swallowed
  }
}

void TKinoro::HideAdPage() {
  try {
    overlay_.HideAdPage();
  } catch (...) {
  }
}

void TKinoro::CreateBrowser(int width, int height) {
  adBrowser_ = new ads::TmWebbrowser(fullForm_ ? static_cast<QWidget*>(fullForm_) : pnlPlayAd_);
  adBrowser_->setObjectName(QStringLiteral("AdBrowser"));
  adBrowser_->resize(width, height);
  adBrowser_->hide();
}
void TKinoro::SetTipSize(int width, int height) { adBrowser_->SetTipSize(width, height); }
void TKinoro::NavigateTo(const std::string& url) {
  adBrowser_->NavigateTo(QString::fromStdString(url));
}
void TKinoro::SetTipText(const std::string& text) {
  adBrowser_->SetTipText(QString::fromStdString(text));
}
void TKinoro::ShowBrowser() {
  adBrowser_->show();
  adBrowser_->raise();
  adBrowser_->CenterInParent();
}
void TKinoro::HideBrowser() {
  if (adBrowser_) adBrowser_->hide();
  pnlMaskBg_->hide();
}
int TKinoro::PlayerLoadState() const { return player_->player().LoadState(); }

// ---- full screen -----------------------------------------------------------------------------

void TKinoro::MoveAdBrowserTo(QWidget* parent) {
  if (!adBrowser_) return;
  // A new parent hides a widget; the page keeps showing if it showed.
  const bool showing = !adBrowser_->isHidden();
  adBrowser_->setParent(parent);
  adBrowser_->CenterInParent();
  adBrowser_->setVisible(showing);
  adBrowser_->raise();
}

void TKinoro::EnterFullForm() {
  if (!fullForm_) {
    fullForm_ = new common::TFullForm(loop_, *this, nullptr, pnlBottom_, this);
    fullForm_->addActions(actions());
  }
  // Moving the player takes its focus away, which would end full screen in the player.
  movingPlayer_ = true;
  fullFormShowing_ = true;
  fullForm_->show();
  fullForm_->raise();
  fullForm_->activateWindow();
  fullFormShowing_ = false;

  const QRect r = fullForm_->rect();
  player_->setParent(fullForm_);
  player_->setGeometry(r);
  player_->show();
  player_->setHostParent(fullForm_);
  const bool masked = !pnlMaskBg_->isHidden();
  pnlMaskBg_->setParent(fullForm_);
  pnlMaskBg_->setGeometry(r);
  pnlMaskBg_->setVisible(masked);
  pnlMaskBg_->raise();
  pnlBottom_->setParent(fullForm_);
  pnlBottom_->setGeometry(0, r.height() - pnlBottom_->height(), r.width(), pnlBottom_->height());
  pnlBottom_->show();
  pnlBottom_->raise();
  LayoutBar();
  MoveAdBrowserTo(fullForm_);
  player_->setFocus();
  movingPlayer_ = false;
}

void TKinoro::LeaveFullForm() {
  pnlBottom_->setParent(this);
  pnlBottom_->show();
  LayoutPicture();
  player_->setParent(pnlPlay_);
  player_->setGeometry(pnlPlay_->rect());
  player_->show();
  player_->setHostParent(pnlPlay_);
  const bool masked = !pnlMaskBg_->isHidden();
  pnlMaskBg_->setParent(pnlPlayAd_);
  pnlMaskBg_->setGeometry(pnlPlayAd_->rect());
  pnlMaskBg_->setVisible(masked);
  pnlMaskBg_->raise();
  MoveAdBrowserTo(pnlPlayAd_);
  // The window may be the one whose event brought us here: it goes once that event is done
  // (posted on the loop, which hosts without a Qt event loop run too), or with the form.
  fullForm_->hide();
  retiringFullForm_ = fullForm_;
  fullForm_ = nullptr;
  loop_.post([retiring = retiringFullForm_] { delete retiring.data(); });
}

void TKinoro::LeaveFullScreen() { plyObj().SetFullScreen(false); }
void TKinoro::SetCursorHidden(bool hidden) { plyObj().SetCursorHidden(hidden); }
bool TKinoro::HandleKey(int key) {
  if (key == Qt::Key_Escape) {
    plyObj().KeyDown(player::PlayerKey::Escape);
    return true;
  }
  if (key == Qt::Key_Space) {
    plyObj().KeyDown(player::PlayerKey::Space);
    return true;
  }
  return false;
}

// ---- the error box ---------------------------------------------------------------------------

// Without owner, on top, not modal: the host's loop keeps running while it shows.
void ShowErrorBox(const QString& text) {
  platform::debugOutput("ShowError:" + text.toStdString());
  auto* box = new QMessageBox(QMessageBox::Critical, QStringLiteral("错误"), text, QMessageBox::Ok);
  box->setObjectName(QStringLiteral("KinoroError"));
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowFlag(Qt::WindowStaysOnTopHint);
  box->setModal(false);
  box->show();
}

// Posted: never shown inside a player event.
void TKinoro::ShowError(std::string_view text) {
  loop_.post([message = qtext(text)] { ShowErrorBox(message); });
}

// ---- the player ------------------------------------------------------------------------------

player::TPlayState TKinoro::PlayerState() const { return player_->player().PlayState(); }
std::string TKinoro::PlayerLastUrl() const { return player_->player().LastUrl(); }
void TKinoro::PlayerOpen(const std::string& link) { plyObj().Open(link); }
void TKinoro::PlayerPlay() { plyObj().Play(); }
void TKinoro::PlayerPause() { plyObj().Pause(); }
void TKinoro::PlayerStop() { plyObj().Stop(); }
void TKinoro::PlayerSeek(int ms) { plyObj().Seek(ms); }
int TKinoro::PlayerVolume() const { return player_->player().Volume(); }
void TKinoro::PlayerSetVolume(int volume) { plyObj().SetVolume(volume); }
bool TKinoro::PlayerMute() const { return player_->player().Mute(); }
void TKinoro::PlayerSetMute(bool mute) { plyObj().SetMute(mute); }
void TKinoro::PlayerSetAudioChannel(int channel) {
  plyObj().SetAudioChannel(static_cast<std::uint8_t>(channel));
}
bool TKinoro::PlayerFullScreen() const { return player_->player().FullScreen(); }
void TKinoro::PlayerSetFullScreen(bool on) { plyObj().SetFullScreen(on); }
void TKinoro::PlayerSetCursorHidden(bool hidden) { plyObj().SetCursorHidden(hidden); }

}  // namespace nivra::control
