// The main window as the window modes see it: the band, visibility, maximise and restore on
// the work area, the library panel's dock, the pages, the tray icon and the full-screen window.

#include <QApplication>
#include <QBoxLayout>
#include <QMenu>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTimer>
#include <filesystem>

#include "ads/ad_obj.h"
#include "ads/overlay/tm_webbrowser.h"
#include "app/library_page.h"
#include "app/main_form.h"
#include "catalogue/panel/right_form.h"
#include "common/form_query.h"
#include "common/ufunction_window.h"
#include "platform/debug_output.h"
#include "platform/qt_event_loop.h"
#include "player/player.h"
#include "player/player_widget.h"

namespace nivra::app {
namespace {

player::Size SizeOf(const QSize& s) { return {s.width(), s.height()}; }

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

bool TNivraMainForm::PlayerFullScreen() const { return plyObj().FullScreen(); }
void TNivraMainForm::PlayerSetFullScreen(bool on) { plyObj().SetFullScreen(on); }
void TNivraMainForm::PlayerSetCursorHidden(bool hidden) { plyObj().SetCursorHidden(hidden); }
player::Size TNivraMainForm::MediaSize() const {
  return {plyObj().MediaWidth(), plyObj().MediaHeight()};
}

void TNivraMainForm::SetTopMost(bool on) { common::SetWindowTopmost(this, on); }

void TNivraMainForm::RestoreAndActivate() {
  setWindowState(windowState() & ~Qt::WindowMinimized);
  raise();
  activateWindow();
}

void TNivraMainForm::MinimiseWindow() {
  if (QWidget* grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
  showMinimized();
}

void TNivraMainForm::MaximiseWindow() {
  // The work area, set directly, so that it also works without a window manager.
  if (QWidget* grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
  if (!maximised_) normalGeometry_ = geometry();
  maximised_ = true;
  setMinimumSize(0, 0);
  if (QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen())
    setGeometry(s->availableGeometry());
}

void TNivraMainForm::RestoreWindow() {
  if (!maximised_) return;
  maximised_ = false;
  setMinimumSize(kMinWindowWidth, kMinWindowHeight);
  setGeometry(normalGeometry_);
}

void TNivraMainForm::SetMaxButton(int stateImage) { ui_.btnMax->SetStateIndex(stateImage); }

void TNivraMainForm::CloseWindow() {
  hide();
  close();
}

player::Size TNivraMainForm::WindowSize() const { return SizeOf(size()); }
player::Size TNivraMainForm::PlayerAreaSize() const { return SizeOf(ui_.pnlPlay->size()); }
void TNivraMainForm::ResizeWindow(player::Size s) { resize(s.width, s.height); }

bool TNivraMainForm::FirstRun() const {
  return !std::filesystem::exists(TIniConfig::DefaultPath());
}

std::optional<CloseQueryChoice> TNivraMainForm::ShowCloseQuery(CloseQueryChoice initial) {
  TIniConfig choice;
  choice.rbClose = initial.exitProgram ? 1 : 0;
  choice.chkNextNotQuery = initial.dontAskAgain;
  // The procedure has applied the first-run rule to `initial` already.
  if (!common::RunCloseQuery(this, choice, false)) return std::nullopt;
  return CloseQueryChoice{choice.rbClose != 0, choice.chkNextNotQuery};
}

void TNivraMainForm::CheckTopMostAction(TopMostMode mode) {
  const Command actions[] = {Command::NoTopMost, Command::TopMost, Command::TopMostOnPlay};
  commands_[actions[static_cast<int>(mode)]]->setChecked(true);
}

void TNivraMainForm::CheckListModeAction(app::ListMode mode) {
  const Command actions[] = {Command::ffsNormal, Command::ffsMini, Command::ChangeTreeList};
  commands_[actions[static_cast<int>(mode)]]->setChecked(true);
}

void TNivraMainForm::SetShowTrayCaption(std::string_view caption) {
  commands_[Command::ShowTray]->setText(Q(caption));
}
void TNivraMainForm::SetFullCaption(std::string_view caption) {
  commands_[Command::Full]->setText(Q(caption));
  ui_.btnFull->SetStateIndex(caption == kCaptionLeaveFull ? 1 : 0);
}

bool TNivraMainForm::LibraryPanelVisible() const { return ui_.pnlRightDock->isVisibleTo(this); }
void TNivraMainForm::SetLibraryPanelVisible(bool visible) { ui_.pnlRightDock->setVisible(visible); }
int TNivraMainForm::LibraryPanelWidth() const { return ui_.pnlRightDock->width(); }
void TNivraMainForm::SetLibraryPanelWidth(int width) { ui_.pnlRightDock->setFixedWidth(width); }

void TNivraMainForm::DockLibraryPanel(PanelSide side) {
  auto* row = static_cast<QBoxLayout*>(ui_.pnlPlayOwn->layout());
  row->removeWidget(ui_.pnlRightDock);
  row->insertWidget(side == PanelSide::Left ? 0 : row->count(), ui_.pnlRightDock);
  // The panel shows its own separator toward the picture.
  panel_->SetDockSide(side == PanelSide::Left ? catalogue::panel::DockSide::kLeft
                                              : catalogue::panel::DockSide::kRight);
  ui_.pnlRightDock->lower();
}

Page TNivraMainForm::ShownPage() const {
  return ui_.pageCtl1->currentWidget() == ui_.tbPlay ? Page::Play : Page::Lib;
}

void TNivraMainForm::ShowPage(Page page) {
  ui_.pageCtl1->setCurrentWidget(page == Page::Play ? ui_.tbPlay : ui_.tbLib);
  // The shown page's button has state image 0.
  ui_.btnPagePlay->SetStateIndex(page == Page::Play ? 0 : 1);
  ui_.btnPageLib->SetStateIndex(page == Page::Lib ? 0 : 1);
}

void TNivraMainForm::SetPageActionEnabled(Page page, bool enabled) {
  commands_[page == Page::Play ? Command::PagePlay : Command::PageLib]->setEnabled(enabled);
}

void TNivraMainForm::SetPageCaptionBold(Page page, bool bold) {
  QWidget* button = page == Page::Play ? ui_.btnPagePlay : ui_.btnPageLib;
  QFont font = button->font();
  font.setBold(bold);
  button->setFont(font);
}

bool TNivraMainForm::LibraryBrowserBlank() const { return libPage_->ShowsBlank(); }
void TNivraMainForm::StartLibraryLoading() { tmrNavigate_->start(); }

bool TNivraMainForm::ShowTrayIcon() {
  if (!QSystemTrayIcon::isSystemTrayAvailable()) return false;
  if (!TrayIcon1) {
    TrayIcon1 = new QSystemTrayIcon(QIcon(QStringLiteral(":/skin/logo.png")), this);
    TrayIcon1->setObjectName(QStringLiteral("TrayIcon1"));
    TrayIcon1->setToolTip(QStringLiteral("Nivra播放器"));
    TrayIcon1->setContextMenu(commands_.pmTrayIcon());
    connect(TrayIcon1, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
              if (reason == QSystemTrayIcon::DoubleClick) Execute(Command::ShowTray);
            });
  }
  TrayIcon1->show();
  return TrayIcon1->isVisible();
}

void TNivraMainForm::HideTrayIcon() {
  if (TrayIcon1) TrayIcon1->hide();
}

void TNivraMainForm::ShowFullForm() {
  if (!fullForm_) {
    fullForm_ = new common::TFullForm(loop_, *this, ui_.pnlProgress, ui_.pnlBottom, this);
    fullForm_->setObjectName(QStringLiteral("TFullForm"));
    // The commands' shortcuts keep working over the full-screen window.
    fullForm_->addActions(actions());
  }
  fullFormShowing_ = true;
  fullForm_->show();
  fullForm_->raise();
  fullForm_->activateWindow();
  fullFormShowing_ = false;
}

void TNivraMainForm::FreeFullForm() {
  delete fullForm_;
  fullForm_ = nullptr;
}

void TNivraMainForm::MovePlayerToFullForm() {
  player_->setParent(fullForm_);
  player_->setGeometry(fullForm_->rect());
  player_->show();
  player_->setHostParent(fullForm_);
}

void TNivraMainForm::MoveBarsToFullForm() {
  const QRect r = fullForm_->rect();
  for (QWidget* bar : {ui_.pnlBottom, ui_.pnlProgress}) bar->setParent(fullForm_);
  ui_.pnlBottom->setGeometry(0, r.height() - ui_.pnlBottom->height(), r.width(),
                             ui_.pnlBottom->height());
  ui_.pnlProgress->setGeometry(0, ui_.pnlBottom->y() - ui_.pnlProgress->height(), r.width(),
                               ui_.pnlProgress->height());
  for (QWidget* bar : {ui_.pnlProgress, ui_.pnlBottom}) {
    bar->show();
    bar->raise();
  }
  LayoutFrame(ui_);
}

void TNivraMainForm::MoveBarsBack() {
  static_cast<QBoxLayout*>(ui_.pnlPlayAd->layout())->addWidget(ui_.pnlProgress);
  static_cast<QBoxLayout*>(ui_.tbPlay->layout())->addWidget(ui_.pnlBottom);
  ui_.pnlProgress->show();
  ui_.pnlBottom->show();
}

void TNivraMainForm::MovePlayerBack() {
  ui_.pnlPlay->layout()->addWidget(player_);
  player_->show();
  player_->setHostParent(ui_.pnlPlay);
}

void TNivraMainForm::SetBottomCornersVisible(bool visible) {
  ui_.imgBottomLeft->setVisible(visible);
  ui_.imgBottomRight->setVisible(visible);
}

void TNivraMainForm::MoveAdPageTo(QWidget* parent) {
  // A new parent hides a widget; the page keeps showing if it showed.
  const bool showing = adBrowser_->isVisible();
  adBrowser_->setParent(parent);
  adBrowser_->CenterInParent();
  adBrowser_->setVisible(showing);
  adBrowser_->raise();
}

void TNivraMainForm::MoveAdPageToFullForm() { MoveAdPageTo(fullForm_); }
void TNivraMainForm::MoveAdPageBack() { MoveAdPageTo(ui_.pnlPlayAd); }

void TNivraMainForm::NotifyAdAppActive() {
  if (adObj_) adObj_->NotifyAppActive();
}
void TNivraMainForm::SetAdInFullScreen(bool on) {
  if (adObj_) adObj_->SetInFullScreen(on);
}

void TNivraMainForm::LeaveFullScreen() { plyObj().SetFullScreen(false); }

bool TNivraMainForm::HandleKey(int key) {
  if (key == Qt::Key_Escape) {
    plyObj().KeyDown(player::PlayerKey::Escape);
    return true;
  }
  if (key == Qt::Key_Space) {
    wiring_.SpaceKey();
    return true;
  }
  return false;
}

}  // namespace nivra::app
