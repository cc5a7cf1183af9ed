#include "app/main_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>
#include <filesystem>

#include "ads/ad_ini.h"
#include "ads/ad_obj.h"
#include "ads/overlay/tm_webbrowser.h"
#include "app/desktop/power_manager_logind.h"
#include "app/desktop/updater_install.h"
#include "app/desktop/url_protocol.h"
#include "app/form_shut_down.h"
#include "app/instance_handover.h"
#include "app/library_page.h"
#include "app/main_form_desktop.h"
#include "app/system_integration.h"
#include "catalogue/json_cache.h"
#include "catalogue/link_list.h"
#include "catalogue/panel/right_form.h"
#include "common/form_about.h"
#include "common/form_config.h"
#include "common/form_dlg.h"
#include "common/form_open_url.h"
#include "common/key_codes.h"
#include "common/ufunction.h"
#include "common/ufunction_window.h"
#include "common/update_check.h"
#include "net/background_tasks.h"
#include "net/pipe_client.h"
#include "net/server_endpoints.h"
#include "platform/debug_output.h"
#include "platform/error.h"
#include "platform/folders.h"
#include "platform/messages.h"
#include "platform/process_launcher.h"
#include "platform/qt_event_loop.h"
#include "platform/text.h"
#include "platform/window_channel.h"
#include "player/links/url_link.h"
#include "player/player_stack.h"
#include "player/player_widget.h"

namespace nivra::app {
using common::keyCodeToSequence;
using common::sequenceToKeyCode;
using platform::Message;
using player::TPlayState;

namespace {
constexpr int kWidth = 1005;
constexpr int kHeight = 648;

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}
}  // namespace

TNivraMainForm::TNivraMainForm(platform::QtEventLoop& loop, CommandLine cmd, TIniConfig& config,
                               const net::ServerEndpoints& endpoints, player::PlayerStack& players,
                               net::BackgroundTasks& workers, ads::TAdObj* adObj)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint),
      MessageTarget(loop),
      loop_(loop),
      cmd_(std::move(cmd)),
      config_(config),
      endpoints_(endpoints),
      commands_(this, [this](Command id) { Execute(id); }),
      ui_(BuildMainFormUi(this, commands_, loop)),
      wiring_(*this, loop),
      overlay_(*this, loop),
      modes_(*this, config, loop),
      adObj_(adObj),
      workers_(workers) {
  setObjectName(kMainWindowClass);
  setWindowTitle(QStringLiteral("Nivra"));
  resize(kWidth, kHeight);
  setMinimumSize(kWidth, kHeight);

  player_ = players.MakeWidget(ui_.pnlPlay);
  player_->setObjectName(QStringLiteral("plyObj"));
  auto* fill = new QVBoxLayout(ui_.pnlPlay);
  fill->setContentsMargins(0, 0, 0, 0);
  fill->addWidget(player_);
  player_->setLogo(QImage(QStringLiteral(":/skin/logo.png")));
  player_->setPopupMenu(commands_.pmRight());
  // The window takes the keys (Space, the shortcuts; Esc in full screen through TFullForm). A
  // picture holding the focus would lose it while it moves into the full-screen window, and its
  // focus loss leaves full screen in the middle of entering it.
  player_->setFocusPolicy(Qt::NoFocus);
  player_->player().SetDragFile(true);
  ConnectPlayer();
  ConnectBars();
  MakeLibraryPage();
  cache_ = std::make_shared<catalogue::CatalogueCache>(endpoints_, loop_);
  panel_ = new catalogue::panel::TRightForm(
      *this, {loop_, *cache_, workers_, platform::userDataDir(), config_.udHistory},
      ui_.pnlRightForm);
  panel_->setObjectName(QStringLiteral("TRightForm"));
  auto* dock = new QVBoxLayout(ui_.pnlRightForm);
  dock->setContentsMargins(0, 0, 0, 0);
  dock->addWidget(panel_);
  for (QWidget* w : {ui_.PnlTop, static_cast<QWidget*>(ui_.lblCaption), ui_.pnlBottom})
    w->installEventFilter(this);
  qApp->installEventFilter(this);

  tmrNavigate_ = new QTimer(this);
  tmrNavigate_->setObjectName("tmrNavigate");
  tmrNavigate_->setSingleShot(true);
  tmrNavigate_->setInterval(500);
  connect(tmrNavigate_, &QTimer::timeout, this, &TNivraMainForm::onNavigateTick);
  tmrNavigate_->start();
  tmrDownSpeed_ = new QTimer(this);
  tmrDownSpeed_->setObjectName("tmrDownSpeed");
  connect(tmrDownSpeed_, &QTimer::timeout, this, &TNivraMainForm::onDownSpeedTick);
  tmrDownSpeed_->start(1000);

  desktop_ = std::make_unique<MainFormDesktop>(*this, cmd_.selfPath);
  shutDownWaiter_ = std::make_unique<TShutDownThread>(loop_, [this] {
    if (!power_) power_ = makeLogindPowerManager();
    ShowShutDownHint(this, loop_, *power_, [this] { CloseWindow(); });
  });
  FormCreate();
  channel_ = std::make_unique<platform::WindowChannelServer>(kMainWindowClass, *this);
}

TNivraMainForm::~TNivraMainForm() {
  // FormDestroy: the channel goes first so no message reaches a half-destroyed window; the
  // player stops before its widget goes with the window.
  channel_.reset();
  desktop_.reset();
  overlay_.HideAdPage();
  if (player_) {
    player_->player().OnPlayStateChange = nullptr;
    player_->player().Stop();
  }
}

player::TPlayer& TNivraMainForm::plyObj() const { return player_->player(); }

void TNivraMainForm::ConnectPlayer() {
  player::TPlayer& p = plyObj();
  p.OnPlayStateChange = [this](TPlayState state) {
    wiring_.OnPlayStateChange(state);
    if (desktop_) desktop_->PlayerChanged();
  };
  p.OnPlayPosition = [this](std::uint32_t duration, std::uint32_t position, std::uint32_t) {
    wiring_.OnPlayPosition(duration, position);
  };
  p.OnPlayBuffing = [this](int percent) { wiring_.OnPlayBuffing(percent); };
  p.OnPlayEnd = [this] { wiring_.OnPlayEnd(); };
  p.OnPlayStop = [this] { wiring_.OnPlayStop(); };
  p.OnPlayError = [this](int code, const std::string& text) { wiring_.OnPlayError(code, text); };
  p.OnFullChangeing = [this] {
    modes_.OnFullChangeing(closing_);
    if (desktop_) desktop_->PlayerChanged();
  };
}

void TNivraMainForm::ConnectBars() {
  ui_.tbPlayPos->OnBeginSeek = [this](QObject*) { wiring_.BeginSeek(); };
  ui_.tbPlayPos->OnSeekChangeing = [this](QObject*, int position, bool&) {
    wiring_.SeekChanging(position);
  };
  ui_.tbPlayPos->OnEndSeek = [this](QObject*) { wiring_.EndSeek(ui_.tbPlayPos->Position()); };
  ui_.tbVolume->OnSeekChangeing = [this](QObject*, int position, bool&) {
    plyObj().SetVolume(position);
    ui_.tbVolume->SetDownPosition(position);
  };
  ui_.btnMenu->OnClick = [this](QObject*) {
    ShowMainMenu(ui_.btnMenu->mapToGlobal(QPoint(0, ui_.btnMenu->height())));
  };
}

void TNivraMainForm::MakeLibraryPage() {
  libPage_ = new TLibraryPage(loop_, Q(endpoints_.catalogueStartPage()), ui_.tbLib);
  libPage_->setObjectName(QStringLiteral("libPage"));
  auto* fill = new QVBoxLayout(ui_.tbLib);
  fill->setContentsMargins(0, 0, 0, 0);
  fill->addWidget(libPage_);
  // A private link in the site plays at once; the page stays where it is.
  libPage_->OnPrivateLink = [this](const QString& link) {
    postMessage(Message{platform::WM_INSTANCE_ACTIVATE, 1, 0});
    queuePendingOpen(link.toStdString());
  };
  ui_.RollLabel1->OnClick = [this](QObject*) {
    if (const std::string url = ui_.RollLabel1->CurrentValue(); !url.empty()) OpenExternal(url);
  };
}

void TNivraMainForm::FormCreate() {
  // Errors show over this window; one that surfaces after the window is gone shows on its own.
  loop_.setExceptionHandler([owner = QPointer<QWidget>(this)](const std::string& message) {
    common::ShowError(owner, QString::fromStdString(message));
  });
  InstallNewUpdater(platform::moduleDir());
  const bool setupRun = common::HasCommandSwitch(cmd_.args, "/SETUPRUN");
  if (!setupRun && !common::HasCommandSwitch(cmd_.args, "/A") &&
      common::IsUpdateDue(TIniConfig::DefaultPath()))
    common::StartUpdater({"/silent"});
  if (adObj_) setupRun ? adObj_->NotifyAppActive() : adObj_->NotifyTrayMode();
  platform::debugOutput(setupRun ? "AppActive" : "RunTray");

  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect work = screen->availableGeometry();
    move(work.x() + std::abs(work.width() - width()) / 2,
         work.y() + std::abs(work.height() - height()) / 2);
  }
  imgMask_ = QImage(QStringLiteral(":/skin/mask.png"));
  common::ApplyFormCorners(this, imgMask_);

  ui_.tbVolume->SetPosition(plyObj().Volume());
  ApplySettings(config_, *this);
  FetchLeftList(*this, endpoints_, platform::userDataDir(), workers_);
  RegisterUrlProtocol(cmd_.selfPath);

  libraryUrl_ = endpoints_.catalogueStartPage();
  if (cmd_.argCount() > 0) {
    if (text::equalsNoCase(cmd_.arg(1), "/WebShell")) {
      libraryUrl_ = cmd_.arg(2);
    } else if (auto file = OpenSwitchItem(cmd_.args)) {
      loop_.post([this, path = *file] { OpenFilePath(path); });
    } else {
      pendingUrl_ = FirstTokenIfQuoted(cmd_.remainder());
      if (!pendingUrl_.empty() && IsPrivateLink(pendingUrl_)) {
        tmrNavigate_->stop();
        postMessage(Message{platform::WM_INSTANCE_ACTIVATE, cmd_.argCount(), 0});
        queuePendingOpen(pendingUrl_);
      }
    }
  }
  // The library page shows at start; its loading is the navigate timer's.
  ShowPage(Page::Lib);
  SetPageActionEnabled(Page::Lib, false);
  SetPageCaptionBold(Page::Lib, true);
  modes_.StartTrayIcon();
  RegisterControlLibrary(platform::moduleDir());
}

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
    case platform::WM_LEFT_XML_READY:
      ShowLeftList(*ui_.RollLabel1, platform::userDataDir());
      return 0;
    case platform::WM_RIGHT_XML_READY:
      if (LibraryPanelExists()) panel_->OnRightXmlReady();
      return 0;
    case platform::WM_STOP_PLAYBACK:
      Execute(Command::Stop);
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
    if (!isVisible()) show();
    modes_.ShowLibraryPanel();
    if (isMinimized()) showNormal();
    raise();
    activateWindow();
    if (argCount == 0 && libPage_->ShowsBlank() && ui_.pageCtl1->currentWidget() == ui_.tbLib)
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
    case ForwardedCommand::Kind::OpenFile:
      loop_.post([this, path = command.text] { OpenFilePath(path); });
      break;
    case ForwardedCommand::Kind::WebShell:
      libraryUrl_ = command.text;
      tmrNavigate_->start();
      Execute(Command::PageLib);
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
  if (pendingUrl_.empty()) return;
  platform::debugOutput("OpenPending:" + pendingUrl_);
  if (player::GetLinkKind(pendingUrl_) == 5) {
    // A list link plays nothing by itself: its document is fetched on a worker and then fills
    // the library panel's list, whatever the fetch gave.
    const std::string name = player::GetLinkAddress(pendingUrl_);
    platform::debugOutput("ltJsList:" + name);
    workers_.start([&loop = loop_, name, cache = cache_, done = alive_.guard([this, name] {
      if (LibraryPanelExists()) panel_->OpenListLink(name);
    })](std::stop_token stop) mutable {
      cache->GetCatalogueDocument(name, stop);
      if (!stop.stop_requested()) loop.post(std::move(done));
    });
    return;
  }
  Execute(Command::PagePlay);
  plyObj().Stop();
  if (LibraryPanelExists()) panel_->SetPlayingTitle(player::GetLinkName(pendingUrl_));
  PlayerOpen(pendingUrl_);
  if (LibraryPanelExists())
    panel_->AddPlayedUrl(pendingUrl_,
                         [](std::string_view link) { return player::GetLinkName(link); });
  if ((common::HasCommandSwitch(cmd_.args, "/SETUPRUN") ||
       common::HasCommandSwitch(cmd_.args, "/A")) &&
      common::IsUpdateDue(TIniConfig::DefaultPath()))
    common::StartUpdater({"/silent"});
}

void TNivraMainForm::OpenFilePath(const std::string& path) {
  plyObj().Stop();
  if (LibraryPanelExists())
    panel_->SetPlayingTitle(StripOwnExtension(std::filesystem::path(path).filename().string()));
  platform::debugOutput("OpenFile:" + path);
  plyObj().OpenFile(path);
}

void TNivraMainForm::PlayUrlDialog() {
  const std::string typed = common::RunOpenURL(this).toStdString();
  if (typed.empty()) return;
  std::string url = FirstTokenIfQuoted(std::string(text::trim(typed)));
  if (!url.empty() && IsPrivateLink(url)) {
    queuePendingOpen(url);
  } else {
    ShowError("非法地址!");
  }
}

void TNivraMainForm::onNavigateTick() {
  // The library page loads the catalogue start page (or the "/WebShell" page) once the window
  // shows.
  desktop_->CheckBackgroundService(cmd_.arg(1));
  if (!isVisible()) return;
  platform::debugOutput("Navigate:" + libraryUrl_);
  libPage_->Navigate(Q(libraryUrl_));
}

void TNivraMainForm::onDownSpeedTick() {
  if (auto text = SpeedLabelText(plyObj().Speed(), ui_.lblSpeed->text().toStdString()))
    SetSpeedText(*text);
}

// --- commands ---------------------------------------------------------------------------

void TNivraMainForm::Execute(Command id) {
  switch (id) {
    case Command::Play:
      wiring_.PlayPause();
      break;
    case Command::Stop:
      wiring_.Stop();
      break;
    case Command::Prev:
    case Command::Next:
      // Only items of the library panel's list have neighbours; anything else stops.
      if (!LibraryPanelExists()) break;
      if (!panel_->PlayListStep(id == Command::Next ? catalogue::panel::PlayStep::kNext
                                                    : catalogue::panel::PlayStep::kPrevious))
        wiring_.Stop();
      break;
    case Command::OpenFile: {
      const QString file = QFileDialog::getOpenFileName(this, EntryOf(id).caption);
      if (!file.isEmpty()) OpenFilePath(file.toStdString());
      break;
    }
    case Command::PlayURL:
      PlayUrlDialog();
      break;
    case Command::Full:
      modes_.ActFull();
      break;
    case Command::Mute:
      ToggleMute();
      break;
    case Command::VolumeInc:
      ChangeVolume(5);
      break;
    case Command::VolumeDec:
      ChangeVolume(-5);
      break;
    case Command::VolumeStereo:
      SetChannel(id, 0);
      break;
    case Command::VolumeLeft:
      SetChannel(id, 1);
      break;
    case Command::VolumeRight:
      SetChannel(id, 2);
      break;
    case Command::Min:
      modes_.ActMin();
      break;
    case Command::Max:
      modes_.ActMax();
      break;
    case Command::CloseOrTray:
      modes_.ActCloseOrTray();
      break;
    case Command::Close:
      CloseWindow();
      break;
    case Command::ShowTray:
      modes_.ActShowTray();
      break;
    case Command::NoTopMost:
      modes_.ActNoTopMost();
      break;
    case Command::TopMost:
      modes_.ActTopMost();
      break;
    case Command::TopMostOnPlay:
      modes_.ActTopMostOnPlay();
      break;
    case Command::ffsNormal:
      modes_.ActFfsNormal();
      break;
    case Command::ffsMini:
      modes_.ActFfsMini();
      break;
    case Command::ChangeTreeList:
      modes_.ActChangeTreeList();
      break;
    case Command::ffsR2L:
      modes_.ActFfsR2L();
      break;
    case Command::ShowRightFrm:
      modes_.ActShowRightFrm();
      break;
    case Command::PagePlay:
      modes_.ActPage(Page::Play);
      break;
    case Command::PageLib:
      modes_.ActPage(Page::Lib);
      break;
    case Command::About:
      common::ShowAbout(this, QString::fromStdString(endpoints_.homePage()));
      break;
    case Command::CheckUpdate:
      common::StartUpdater({});
      break;
    case Command::HomePage:
      platform::openWithDefaultHandler(endpoints_.homePage());
      break;
    case Command::HomeBBS:
      platform::openWithDefaultHandler(endpoints_.forum());
      break;
    case Command::ShowConfigFrm:
      ShowConfigDialog();
      break;
    case Command::ShutDown:
      RunShutDownDialog(this, loop_, *shutDownWaiter_);
      break;
    case Command::BossKey:
      desktop_->RunBossKey();
      break;
    case Command::Count:
      break;
  }
}

void TNivraMainForm::ShowConfigDialog() {
  // OK writes the file at once and applies the settings to this window.
  common::ConfigHost host;
  host.readAutorun = [] { return ReadAutorun(); };
  host.autorunData = AutorunData(cmd_.selfPath);
  host.setAutorun = [self = cmd_.selfPath](bool on) {
    SetAutorun(on, self);
    ads::WriteRunFlag(on);
  };
  host.onApply = [this](const TIniConfig&) { ApplySettings(config_, *this); };
  common::ShowConfigForm(this, config_, TIniConfig::DefaultPath(), std::move(host));
}

void TNivraMainForm::ChangeVolume(int delta) {
  plyObj().SetVolume(plyObj().Volume() + delta);
  ui_.tbVolume->SetPosition(plyObj().Volume());
  ui_.tbVolume->SetDownPosition(plyObj().Volume());
}

void TNivraMainForm::ToggleMute() {
  plyObj().SetMute(!plyObj().Mute());
  commands_[Command::Mute]->setChecked(plyObj().Mute());
  ui_.btnMute->SetStateIndex(plyObj().Mute() ? 0 : 1);
}

void TNivraMainForm::SetChannel(Command id, std::uint8_t channel) {
  (void)id;
  plyObj().SetAudioChannel(channel);
  const Command checked[] = {Command::VolumeStereo, Command::VolumeLeft, Command::VolumeRight};
  const std::uint8_t now = plyObj().AudioChannel();
  commands_[checked[now < 3 ? now : 0]]->setChecked(true);
}

void TNivraMainForm::ShowMainMenu(const QPoint& at) { commands_.pmMain()->popup(at); }

// --- window -----------------------------------------------------------------------------

void TNivraMainForm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  modes_.FormShow();
  LayoutFrame(ui_);
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
  if (!BeginBorderResize(event)) QWidget::mousePressEvent(event);
}

bool TNivraMainForm::BeginBorderResize(const QMouseEvent* event) {
  // The 5-pixel border of the window sizes it, whichever part of the window lies there.
  if (event->button() != Qt::LeftButton || WindowMaximised() || isMinimized()) return false;
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
      return false;
  }
  // A proposed rectangle smaller than the minimum keeps the current left or top edge.
  common::TrackWindowResize(this, edges, global, [this](const QRect& r) {
    const player::Rect clamped = ClampSizingRect({r.x(), r.y(), r.width(), r.height()}, {x(), y()});
    return QRect(clamped.left, clamped.top, clamped.width, clamped.height);
  });
  return true;
}

bool TNivraMainForm::eventFilter(QObject* watched, QEvent* event) {
  // The window sees every key and press of its widgets first (installed on the application).
  if (watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == this) {
    if (event->type() == QEvent::KeyPress && PreviewKey(static_cast<QKeyEvent*>(event)))
      return true;
    if (event->type() == QEvent::MouseButtonPress &&
        BeginBorderResize(static_cast<QMouseEvent*>(event)))
      return true;
  }
  // The bars place their centred parts whenever they change size.
  if ((watched == ui_.PnlTop || watched == ui_.pnlBottom) && event->type() == QEvent::Resize)
    LayoutFrame(ui_);
  // The title bar: drag with the left button, the main menu on the right button, maximise or
  // restore on a double click.
  if (watched == ui_.PnlTop || watched == ui_.lblCaption) {
    if (event->type() == QEvent::MouseButtonPress) {
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() == Qt::LeftButton && !WindowMaximised()) {
        common::DragWindow(this, mouse->globalPosition().toPoint());
        return true;
      }
      if (mouse->button() == Qt::RightButton) {
        ShowMainMenu(mouse->globalPosition().toPoint());
        return true;
      }
    } else if (event->type() == QEvent::MouseButtonDblClick) {
      Execute(Command::Max);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TNivraMainForm::keyPressEvent(QKeyEvent* event) {
  if (!PreviewKey(event)) QWidget::keyPressEvent(event);
}

bool TNivraMainForm::PreviewKey(const QKeyEvent* event) {
  // Space pauses and resumes while an item is open, wherever the focus is in the window;
  // otherwise the key goes on to its widget.
  if (event->key() != Qt::Key_Space || event->modifiers() != Qt::NoModifier) return false;
  if (PlayerState() == TPlayState::psStop) return false;
  wiring_.SpaceKey();
  return true;
}

void TNivraMainForm::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  common::ApplyFormCorners(this, imgMask_);
  LayoutFrame(ui_);
}

// --- settings ---------------------------------------------------------------------------

bool TNivraMainForm::playerPlaying() const { return plyObj().PlayState() == TPlayState::psPlay; }

void TNivraMainForm::setListModeChecked(int listMode) {
  modes_.SetListModeChecked(static_cast<app::ListMode>(listMode));
}

void TNivraMainForm::actVolumeStereo() { SetChannel(Command::VolumeStereo, 0); }
void TNivraMainForm::actVolumeLeft() { SetChannel(Command::VolumeLeft, 1); }
void TNivraMainForm::actVolumeRight() { SetChannel(Command::VolumeRight, 2); }

void TNivraMainForm::registerBossKey(std::int32_t keyCode) {
  desktop_->SetBossKeySettings(
      {config_.chkBossKey, config_.chkBossKeyHideTray, config_.chkBossKeyMute});
  desktop_->RegisterBossKey(keyCode);
}

void TNivraMainForm::SetVolumeFromDesktop(int volume) {
  plyObj().SetVolume(volume);
  ui_.tbVolume->SetPosition(plyObj().Volume());
  ui_.tbVolume->SetDownPosition(plyObj().Volume());
  desktop_->PlayerChanged();
}

std::int32_t TNivraMainForm::shortcut(ShortcutAction action) const {
  return sequenceToKeyCode(commands_.Shortcut(action)->shortcut());
}

void TNivraMainForm::setShortcut(ShortcutAction action, std::int32_t keyCode) {
  commands_.Shortcut(action)->setShortcut(keyCodeToSequence(keyCode));
}

// --- playback view ----------------------------------------------------------------------

void TNivraMainForm::SetCaption(std::string_view text) {
  ui_.lblCaption->setText(Q(text));
  setWindowTitle(Q(text));
}
void TNivraMainForm::SetTimeText(std::string_view text) { ui_.lblPlayPos->setText(Q(text)); }
void TNivraMainForm::SetSpeedText(std::string_view text) { ui_.lblSpeed->setText(Q(text)); }
void TNivraMainForm::SetPlayButton(int stateImage) { ui_.btnPlay->SetStateIndex(stateImage); }
void TNivraMainForm::SetSeekBar(int maxSeconds, int positionSeconds) {
  ui_.tbPlayPos->SetMax(maxSeconds);
  ui_.tbPlayPos->SetDownPosition(ui_.tbPlayPos->Max());
  ui_.tbPlayPos->SetPosition(positionSeconds);
}
void TNivraMainForm::SetSeekPosition(int positionSeconds) {
  ui_.tbPlayPos->SetPosition(positionSeconds);
}
void TNivraMainForm::SetSeekEnabled(bool on) { ui_.tbPlayPos->SetCanSeek(on); }
int TNivraMainForm::VolumeBarPosition() const { return ui_.tbVolume->Position(); }
bool TNivraMainForm::MuteButtonShowsMuted() const { return ui_.btnMute->StateIndex() == 0; }
std::string TNivraMainForm::LinkName(std::string_view link) const {
  return player::GetLinkName(link);
}
bool TNivraMainForm::AdPageShowing() const { return adBrowser_ && adBrowser_->isVisible(); }
void TNivraMainForm::ShowAdPage(std::string_view page, int width, int height, int countdownMs) {
  const std::string url = page == kPausePage ? endpoints_.pausePage() : endpoints_.bufferingPage();
  overlay_.ShowAdPage(url, width, height, countdownMs, wiring_.AdDone());
}
void TNivraMainForm::ShowError(std::string_view text) { common::ShowError(this, Q(text)); }
void TNivraMainForm::StartUpdater(const std::vector<std::string>& arguments) {
  common::StartUpdater(arguments);
}
TPlayState TNivraMainForm::PlayerState() const { return plyObj().PlayState(); }
std::string TNivraMainForm::PlayerLastUrl() const { return plyObj().LastUrl(); }
void TNivraMainForm::PlayerStop() { plyObj().Stop(); }
void TNivraMainForm::PlayerPause() { plyObj().Pause(); }
void TNivraMainForm::PlayerPlay() { plyObj().Play(); }
void TNivraMainForm::PlayerOpen(std::string_view item) {
  try {
    plyObj().Open(std::string(item));
  } catch (const nivra::Error& e) {
    ShowError(e.what());
  }
}
void TNivraMainForm::PlayerSetVolume(int volume) { plyObj().SetVolume(volume); }
void TNivraMainForm::PlayerSetMute(bool mute) { plyObj().SetMute(mute); }
void TNivraMainForm::PlayerSeek(std::int64_t ms) { plyObj().Seek(static_cast<int>(ms)); }

std::string TNivraMainForm::PlayingTitle() const {
  return LibraryPanelExists() ? panel_->PlayingTitle() : std::string();
}
void TNivraMainForm::SetPlayingTitle(std::string title) {
  if (LibraryPanelExists()) panel_->SetPlayingTitle(std::move(title));
}
void TNivraMainForm::ClearPlayingNode() {
  if (LibraryPanelExists()) panel_->ClearPlayingNode();
}

// --- library panel host ----------------------------------------------------------------

void TNivraMainForm::PlayUrl(const std::string& url) {
  plyObj().Stop();
  PlayerOpen(url);
}
void TNivraMainForm::OpenExternal(const std::string& url) { platform::openWithDefaultHandler(url); }
void TNivraMainForm::PanelResized(int width) { ui_.pnlRightDock->setFixedWidth(width); }
void TNivraMainForm::StartRightListDownload() {
  catalogue::FetchLinkList(*this, endpoints_.rightXml(), platform::userDataDir(), "right.xml",
                           platform::WM_RIGHT_XML_READY, workers_);
}

// --- overlay view -----------------------------------------------------------------------

void TNivraMainForm::CreateBrowser(int width, int height) {
  adBrowser_ = new ads::TmWebbrowser(fullForm_ ? fullForm_ : ui_.pnlPlayAd);
  adBrowser_->resize(width, height);
  adBrowser_->hide();
}
void TNivraMainForm::SetTipSize(int width, int height) { adBrowser_->SetTipSize(width, height); }
void TNivraMainForm::NavigateTo(const std::string& url) {
  adBrowser_->NavigateTo(QString::fromStdString(url));
}
void TNivraMainForm::SetTipText(const std::string& text) {
  adBrowser_->SetTipText(QString::fromStdString(text));
}
void TNivraMainForm::ShowBrowser() {
  adBrowser_->show();
  adBrowser_->raise();
  adBrowser_->CenterInParent();
}
void TNivraMainForm::HideBrowser() { adBrowser_->hide(); }
int TNivraMainForm::PlayerLoadState() const { return plyObj().LoadState(); }

}  // namespace nivra::app
