#include "app/main_form.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

#include "app/instance_handover.h"
#include "common/form_dlg.h"
#include "common/key_codes.h"
#include "common/ufunction.h"
#include "common/ufunction_window.h"
#include "net/pipe_client.h"
#include "net/server_endpoints.h"
#include "platform/debug_output.h"
#include "platform/error.h"
#include "platform/messages.h"
#include "platform/qt_event_loop.h"
#include "platform/text.h"
#include "platform/window_channel.h"

namespace nivra::app {
using common::keyCodeToSequence;
using common::sequenceToKeyCode;
using common::ShowError;
using platform::Message;

namespace {
constexpr int kWidth = 1005;
constexpr int kHeight = 648;
constexpr int kTitleHeight = 34;
constexpr const char* kBlankPage = "about:blank";
}  // namespace

TNivraMainForm::TNivraMainForm(platform::QtEventLoop& loop, CommandLine cmd, TIniConfig& config,
                               const net::ServerEndpoints& endpoints)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint),
      MessageTarget(loop),
      loop_(loop),
      cmd_(std::move(cmd)),
      config_(config),
      endpoints_(endpoints) {
  setObjectName(kMainWindowClass);
  setWindowTitle(QStringLiteral("Nivra"));
  resize(kWidth, kHeight);
  setMinimumSize(640, 400);
  setStyleSheet(
      "QWidget#TNivraMainForm, QWidget#pageCtl1 { background: #15171c; color: #d8dbe2; }"
      "QWidget#PnlTop { background: #1d2027; }"
      "QWidget#pnlPlayOwn { background: #1a1c22; border-left: 1px solid #2a2e37; }"
      "QLabel { color: #d8dbe2; }"
      "QToolButton { color: #d8dbe2; background: transparent; border: none; padding: 4px 10px; }"
      "QToolButton:hover { background: #2a2e37; }"
      "QToolButton:checked { color: #6fb3ff; }");

  Act_NoTopMost = makeAction("Act_NoTopMost", QStringLiteral("永不最前"), true);
  Act_TopMost = makeAction("Act_TopMost", QStringLiteral("总在最前"), true);
  Act_TopMostOnPlay = makeAction("Act_TopMostOnPlay", QStringLiteral("播放时最前"), true);
  auto* topGroup = new QActionGroup(this);
  for (QAction* a : {Act_NoTopMost, Act_TopMost, Act_TopMostOnPlay}) topGroup->addAction(a);
  Act_ffsNormal = makeAction("Act_ffsNormal", QStringLiteral("列表在右"), true);
  Act_ffsMini = makeAction("Act_ffsMini", QStringLiteral("隐藏列表"), true);
  Act_ffsR2L = makeAction("Act_ffsR2L", QStringLiteral("列表在左"), true);
  Act_ChangeTreeList = makeAction("Act_ChangeTreeList", QStringLiteral("列表在左"), true);
  auto* listGroup = new QActionGroup(this);
  for (QAction* a : {Act_ffsNormal, Act_ffsMini, Act_ChangeTreeList}) listGroup->addAction(a);
  Act_VolumeStereo = makeAction("Act_VolumeStereo", QStringLiteral("立体声"), true);
  Act_VolumeLeft = makeAction("Act_VolumeLeft", QStringLiteral("左声道"), true);
  Act_VolumeRight = makeAction("Act_VolumeRight", QStringLiteral("右声道"), true);
  auto* channelGroup = new QActionGroup(this);
  for (QAction* a : {Act_VolumeStereo, Act_VolumeLeft, Act_VolumeRight}) channelGroup->addAction(a);
  Act_OpenFile = makeAction("Act_OpenFile", QStringLiteral("播放文件"));
  Act_PlayURL = makeAction("Act_PlayURL", QStringLiteral("播放URL"));
  Act_VolumeInc = makeAction("Act_VolumeInc", QStringLiteral("增加音量＋"));
  Act_VolumeDec = makeAction("Act_VolumeDec", QStringLiteral("减少音量－"));
  Act_Mute = makeAction("Act_Mute", QStringLiteral("静音"), true);
  Act_Full = makeAction("Act_Full", QStringLiteral("全屏播放"));
  Act_PageLib = makeAction("Act_PageLib", QStringLiteral("视频库"));
  Act_PagePlay = makeAction("Act_PagePlay", QStringLiteral("播放器"));
  Act_Close = makeAction("Act_Close", QStringLiteral("退出"));
  // The six settable shortcuts start at the settings' defaults; applying may replace them.
  const TIniConfig defaults;
  Act_OpenFile->setShortcut(keyCodeToSequence(defaults.hkOpenFile));
  Act_PlayURL->setShortcut(keyCodeToSequence(defaults.hkOpenUrl));
  Act_VolumeInc->setShortcut(keyCodeToSequence(defaults.hkVolumeInc));
  Act_VolumeDec->setShortcut(keyCodeToSequence(defaults.hkVolumeDec));
  Act_Mute->setShortcut(keyCodeToSequence(defaults.hkMute));
  Act_Full->setShortcut(keyCodeToSequence(defaults.hkFullScreen));

  // Title bar, the page control with the library and player pages, and the panel the library
  // panel docks into.
  pnlTop_ = new QWidget(this);
  pnlTop_->setObjectName("PnlTop");
  pnlTop_->setFixedHeight(kTitleHeight);
  auto* title = new QLabel(QStringLiteral("Nivra"), pnlTop_);
  auto* btnPageLib = new QToolButton(pnlTop_);
  btnPageLib->setDefaultAction(Act_PageLib);
  auto* btnPagePlay = new QToolButton(pnlTop_);
  btnPagePlay->setDefaultAction(Act_PagePlay);
  auto* btnMin = new QToolButton(pnlTop_);
  btnMin->setText(QStringLiteral("–"));
  connect(btnMin, &QToolButton::clicked, this, &QWidget::showMinimized);
  auto* btnClose = new QToolButton(pnlTop_);
  btnClose->setDefaultAction(Act_Close);
  btnClose->setText(QStringLiteral("✕"));
  auto* top = new QHBoxLayout(pnlTop_);
  top->setContentsMargins(12, 0, 4, 0);
  top->addWidget(title);
  top->addSpacing(24);
  top->addWidget(btnPageLib);
  top->addWidget(btnPagePlay);
  top->addStretch();
  top->addWidget(btnMin);
  top->addWidget(btnClose);

  pageCtl1_ = new QStackedWidget(this);
  pageCtl1_->setObjectName("pageCtl1");
  tbLib_ = new QWidget(pageCtl1_);
  tbLib_->setObjectName("tbLib");
  wb1_ = new QLabel(QString::fromUtf8(kBlankPage), tbLib_);
  wb1_->setObjectName("wb1");
  wb1_->setAlignment(Qt::AlignCenter);
  (new QVBoxLayout(tbLib_))->addWidget(wb1_);
  tbPlay_ = new QWidget(pageCtl1_);
  tbPlay_->setObjectName("tbPlay");
  pageCtl1_->addWidget(tbLib_);
  pageCtl1_->addWidget(tbPlay_);
  pnlPlayOwn_ = new QWidget(this);
  pnlPlayOwn_->setObjectName("pnlPlayOwn");
  pnlPlayOwn_->setFixedWidth(200);

  auto* body = new QHBoxLayout;
  body->setContentsMargins(0, 0, 0, 0);
  body->setSpacing(0);
  body->addWidget(pageCtl1_, 1);
  body->addWidget(pnlPlayOwn_);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(1, 1, 1, 1);
  outer->setSpacing(0);
  outer->addWidget(pnlTop_);
  outer->addLayout(body, 1);

  connect(Act_PageLib, &QAction::triggered, this, [this] { showPage(tbLib_); });
  connect(Act_PagePlay, &QAction::triggered, this, [this] { showPage(tbPlay_); });
  connect(Act_Close, &QAction::triggered, this, &QWidget::close);
  connect(Act_NoTopMost, &QAction::triggered, this, &TNivraMainForm::actNoTopMost);
  connect(Act_TopMost, &QAction::triggered, this, &TNivraMainForm::actTopMost);
  connect(Act_TopMostOnPlay, &QAction::triggered, this, &TNivraMainForm::actTopMostOnPlay);
  connect(Act_ffsNormal, &QAction::triggered, this, &TNivraMainForm::actFfsNormal);
  connect(Act_ffsMini, &QAction::triggered, this, &TNivraMainForm::actFfsMini);
  connect(Act_ChangeTreeList, &QAction::triggered, this, &TNivraMainForm::actChangeTreeList);
  connect(Act_ffsR2L, &QAction::triggered, this, &TNivraMainForm::actChangeTreeList);

  tmrNavigate_ = new QTimer(this);
  tmrNavigate_->setObjectName("tmrNavigate");
  tmrNavigate_->setSingleShot(true);
  tmrNavigate_->setInterval(500);
  connect(tmrNavigate_, &QTimer::timeout, this, &TNivraMainForm::onNavigateTick);
  tmrNavigate_->start();

  FormCreate();
  channel_ = std::make_unique<platform::WindowChannelServer>(kMainWindowClass, *this);
}

TNivraMainForm::~TNivraMainForm() {
  // FormDestroy: the channel goes first so no message reaches a half-destroyed window. The
  // player, the pre-roll page, the ad scheduler and the library panel are freed here as they
  // join the window.
  channel_.reset();
}

QAction* TNivraMainForm::makeAction(const char* name, const QString& caption, bool checkable) {
  auto* action = new QAction(caption, this);
  action->setObjectName(name);
  action->setCheckable(checkable);
  action->setShortcutContext(Qt::ApplicationShortcut);
  addAction(action);
  return action;
}

void TNivraMainForm::FormCreate() {
  // Errors show over this window; one that surfaces after the window is gone shows on its own.
  loop_.setExceptionHandler([owner = QPointer<QWidget>(this)](const std::string& message) {
    ShowError(owner, QString::fromStdString(message));
  });
  preRollSize_ = QSize(480, 360);
  Act_ffsNormal->setText(QStringLiteral("右侧列表"));
  Act_ChangeTreeList->setText(QStringLiteral("左侧列表"));
  Act_ffsMini->setText(QStringLiteral("隐藏列表"));

  const bool setupRun = common::HasCommandSwitch(cmd_.args, "/SETUPRUN");
  platform::debugOutput(setupRun ? "AppActive" : "RunTray");

  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect work = screen->availableGeometry();
    move(work.x() + std::abs(work.width() - width()) / 2,
         work.y() + std::abs(work.height() - height()) / 2);
  }
  imgMask_ = QImage(QStringLiteral(":/skin/mask.png"));
  common::ApplyFormCorners(this, imgMask_);

  ApplySettings(config_, *this);

  libraryUrl_ = endpoints_.catalogueStartPage();
  if (cmd_.argCount() > 0) {
    if (text::equalsNoCase(cmd_.arg(1), "/WebShell")) {
      libraryUrl_ = cmd_.arg(2);
    } else {
      pendingUrl_ = FirstTokenIfQuoted(cmd_.remainder());
      if (!pendingUrl_.empty() && IsPrivateLink(pendingUrl_)) {
        tmrNavigate_->stop();
        postMessage(Message{platform::WM_INSTANCE_ACTIVATE, cmd_.argCount(), 0});
        queuePendingOpen(pendingUrl_);
      }
    }
  }
  showPage(tbLib_);
}

void TNivraMainForm::showPage(QWidget* page) { pageCtl1_->setCurrentWidget(page); }

bool TNivraMainForm::navigateTimerEnabled() const { return tmrNavigate_->isActive(); }

std::intptr_t TNivraMainForm::handleMessage(const Message& msg) {
  // A closing window takes nothing more: a hand-over that arrives now must not show it again.
  if (closing_) return 0;
  switch (msg.id) {
    case platform::WM_INSTANCE_ACTIVATE:
      return onInstanceActivate(msg.wParam);
    case platform::WM_COPYDATA:
      return onCopyData(reinterpret_cast<const platform::CopyDataRecord*>(msg.lParam));
    case platform::WM_OPEN_PENDING:
      if (msg.wParam == 1) onOpenPending();
      return 0;
    case platform::WM_CLOSE:
      close();
      return 0;
    default:
      return 0;
  }
}

std::intptr_t TNivraMainForm::onInstanceActivate(std::intptr_t argCount) {
  try {
    if (!isVisible()) show();  // the library panel joins it here unless ListMode is 1
    if (isMinimized()) showNormal();
    raise();
    activateWindow();
    if (argCount == 0 && wb1_->text() == QString::fromUtf8(kBlankPage) &&
        pageCtl1_->currentWidget() == tbLib_)
      tmrNavigate_->start();
    platform::debugOutput("InstanceActivate:" + std::to_string(argCount));
  } catch (...) {
    // The reply stays 1 whatever happens while the window is brought forward.
  }
  return 1;
}

std::intptr_t TNivraMainForm::onCopyData(const platform::CopyDataRecord* record) {
  if (!record || !record->lpData) return 1;
  ForwardedCommand command;
  try {
    command = InterpretForwardedText(
        std::string_view(static_cast<const char*>(record->lpData), record->cbData));
  } catch (const nivra::Error& e) {
    // The sender already has its answer; the dialog opens after the reply has gone out so that a
    // second start never waits for the user.
    loop_.post([text = std::string(e.what())] { throw nivra::Error(text); });
    return 1;
  }
  switch (command.kind) {
    case ForwardedCommand::Kind::OpenLink:
      queuePendingOpen(command.text);
      break;
    case ForwardedCommand::Kind::WebShell:
      libraryUrl_ = command.text;
      tmrNavigate_->start();
      Act_PageLib->trigger();
      break;
    case ForwardedCommand::Kind::None:
      break;
  }
  return 1;
}

void TNivraMainForm::queuePendingOpen(const std::string& url) {
  pendingUrl_ = url;
  pendingQueue_.push_back(url);
  postMessage(Message{platform::WM_OPEN_PENDING, 1, 0});
}

void TNivraMainForm::onOpenPending() {
  if (!pendingQueue_.empty()) {
    pendingUrl_ = std::move(pendingQueue_.front());
    pendingQueue_.pop_front();
  }
  platform::debugOutput("OpenPending:" + pendingUrl_);
  showPage(tbPlay_);
}

void TNivraMainForm::onNavigateTick() {
  // The library page loads the catalogue start page (or the "/WebShell" page).
  wb1_->setText(QString::fromStdString(libraryUrl_));
  platform::debugOutput("Navigate:" + libraryUrl_);
}

void TNivraMainForm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!firstShowDone_) {
    firstShowDone_ = true;
    switch (listMode_) {
      case 0:
        Act_ffsNormal->trigger();
        break;
      case 1:
        Act_ffsMini->trigger();
        break;
      default:
        Act_ffsR2L->trigger();
        break;
    }
  }
  if (listMode_ != 1) pnlPlayOwn_->show();
}

void TNivraMainForm::closeEvent(QCloseEvent* event) {
  // FormClose: the background service hears of the close through the pipe client; a missing or
  // silent service is ignored.
  if (closing_) return event->accept();
  closing_ = true;
  platform::debugOutput("FormClose");
  net::NotifyServiceClose();
  event->accept();
  // No second start finds a window that is going away, and the application ends even when the
  // window was never shown (Qt's last-window rule only counts shown windows) or a modal dialog
  // runs a loop of its own.
  channel_.reset();
  QCoreApplication::exit(0);
}

void TNivraMainForm::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  const QPoint global = event->globalPosition().toPoint();
  Qt::Edges edges;
  switch (common::BorderHitTest(global, this)) {
    case common::HTTOPLEFT:
      edges = Qt::TopEdge | Qt::LeftEdge;
      break;
    case common::HTTOPRIGHT:
      edges = Qt::TopEdge | Qt::RightEdge;
      break;
    case common::HTBOTTOMRIGHT:
      edges = Qt::BottomEdge | Qt::RightEdge;
      break;
    case common::HTBOTTOMLEFT:
      edges = Qt::BottomEdge | Qt::LeftEdge;
      break;
    case common::HTLEFT:
      edges = Qt::LeftEdge;
      break;
    case common::HTTOP:
      edges = Qt::TopEdge;
      break;
    case common::HTRIGHT:
      edges = Qt::RightEdge;
      break;
    case common::HTBOTTOM:
      edges = Qt::BottomEdge;
      break;
    default:
      break;
  }
  if (edges && windowHandle()) {
    windowHandle()->startSystemResize(edges);
  } else if (pnlTop_->geometry().contains(event->position().toPoint()) && !isMaximized()) {
    common::DragWindow(this);
  }
}

void TNivraMainForm::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  common::ApplyFormCorners(this, imgMask_);
}

// --- settings ---------------------------------------------------------------------------

void TNivraMainForm::actNoTopMost() {
  Act_NoTopMost->setChecked(true);
  topMostOnPlay_ = false;
  common::SetWindowTopmost(this, false);
}

void TNivraMainForm::actTopMost() {
  Act_TopMost->setChecked(true);
  topMostOnPlay_ = false;
  common::SetWindowTopmost(this, true);
}

void TNivraMainForm::actTopMostOnPlay() {
  Act_TopMostOnPlay->setChecked(true);
  topMostOnPlay_ = true;
  common::SetWindowTopmost(this, playerPlaying());
}

void TNivraMainForm::setListModeChecked(int listMode) {
  listMode_ = listMode;
  (listMode == 0   ? Act_ffsNormal
   : listMode == 1 ? Act_ffsMini
                   : Act_ChangeTreeList)
      ->setChecked(true);
}

void TNivraMainForm::actFfsNormal() {
  setListModeChecked(0);
  config_.rbPlayListMode = 0;
  pnlPlayOwn_->show();
}

void TNivraMainForm::actFfsMini() {
  setListModeChecked(1);
  config_.rbPlayListMode = 1;
  pnlPlayOwn_->hide();
}

void TNivraMainForm::actChangeTreeList() {
  setListModeChecked(2);
  config_.rbPlayListMode = 2;
  pnlPlayOwn_->show();
}

void TNivraMainForm::actVolumeStereo() { Act_VolumeStereo->setChecked(true); }
void TNivraMainForm::actVolumeLeft() { Act_VolumeLeft->setChecked(true); }
void TNivraMainForm::actVolumeRight() { Act_VolumeRight->setChecked(true); }

void TNivraMainForm::registerBossKey(std::int32_t keyCode) { bossKey_ = keyCode; }

QAction* TNivraMainForm::shortcutAction(ShortcutAction action) const {
  switch (action) {
    case ShortcutAction::OpenFile:
      return Act_OpenFile;
    case ShortcutAction::PlayUrl:
      return Act_PlayURL;
    case ShortcutAction::VolumeInc:
      return Act_VolumeInc;
    case ShortcutAction::VolumeDec:
      return Act_VolumeDec;
    case ShortcutAction::Mute:
      return Act_Mute;
    case ShortcutAction::Full:
      return Act_Full;
  }
  return nullptr;
}

std::int32_t TNivraMainForm::shortcut(ShortcutAction action) const {
  return sequenceToKeyCode(shortcutAction(action)->shortcut());
}

void TNivraMainForm::setShortcut(ShortcutAction action, std::int32_t keyCode) {
  shortcutAction(action)->setShortcut(keyCodeToSequence(keyCode));
}

}  // namespace nivra::app
