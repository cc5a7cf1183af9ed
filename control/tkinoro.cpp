#include "control/tkinoro.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QWindow>

#include "common/update_check.h"
#include "control/variant_values.h"
#include "platform/debug_output.h"
#include "platform/folders.h"
#include "player/links/utf16_text.h"
#include "player/player_stack.h"
#include "player/player_widget.h"
#include "ui/png_button.h"
#include "ui/png_track_bar.h"

namespace nivra::control {
namespace {

// DISPIDs of the members the form answers itself; the rest are stored properties.
enum : DISPID {
  kVisible = 201,
  kActive = 209,
  kMouseInClient = 218,
  kExplicitLeft = 221,
  kExplicitTop = 222,
  kExplicitWidth = 223,
  kExplicitHeight = 224,
  kCaption = -518,
  kEnabled = -514,
  kAdW = 226,
  kAdH = 227,
  kState = 228,
  kDuration = 234,
  kFileName = 236,
  kFullDisp = 237,
  kMute = 238,
  kPosition = 239,
  kUrl = 240,
  kVolume = 242,
  kStop = 243,
};

constexpr int kDesignWidth = 633;
constexpr int kDesignHeight = 433;

std::string textOf(const VARIANT& value) {
  return player::Utf16ToUtf8(com::bstrView(value.bstrVal));
}

}  // namespace

TKinoro::TKinoro(FormNotifications& notifications, platform::EventLoop& loop,
                 player::PlayerStack& players, KinoroPages pages, std::filesystem::path libraryFile)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint),
      notifications_(notifications),
      loop_(loop),
      stored_(notifications, std::move(libraryFile)),
      wiring_(*this, std::move(pages.pause), std::move(pages.buffering)),
      overlay_(*this, loop) {
  setObjectName(QStringLiteral("TKinoro"));
  setWindowTitle(QStringLiteral("Kinoro"));
  QFont font(QStringLiteral("宋体"));
  font.setPixelSize(12);
  setFont(font);
  setAutoFillBackground(true);
  // Out of sight until the host places it.
  setGeometry(-1024, -1024, kDesignWidth, kDesignHeight);

  if (common::IsUpdateDue(platform::userDataDir() / "Setup.ini")) common::StartUpdater({"/silent"});

  BuildActions();
  BuildPicture(players);
  BuildBar();
  WirePlayer();
  tbVolume_->SetPosition(plyObj().Volume());
  tmrStats_ = loop_.startTimer(1000, [this] { wiring_.StatsTick(plyObj().Speed()); });
  LayoutPicture();
}

TKinoro::~TKinoro() {
  platform::debugOutput("DoDestroy");
  destroying_ = true;
  wiring_.SetDestroying();
  loop_.killTimer(tmrStats_);
  try {
    plyObj().Close();  // the stopped notice hides the ad page and its count-down
  } catch (...) {
    platform::debugOutput("DoDestroy except");
  }
  overlay_.HideAdPage();
  // The player's events must not reach a half-destroyed form.
  auto& p = plyObj();
  p.OnPlayStateChange = nullptr;
  p.OnPlayEnd = nullptr;
  p.OnPlayError = nullptr;
  p.OnFullChangeing = nullptr;
  p.OnPlayBuffing = nullptr;
  p.OnPlayPosition = nullptr;
  if (fullForm_) {
    // The picture and the bar belong to the form: they leave the full-screen window first.
    for (QWidget* w : {static_cast<QWidget*>(player_), pnlMaskBg_, pnlBottom_}) w->setParent(this);
    if (adBrowser_) adBrowser_->setParent(this);
    delete fullForm_;
    fullForm_ = nullptr;
  }
  delete retiringFullForm_.data();
  // A host window we wrap is not ours to destroy.
  if (windowHandle() && hostWindow_) windowHandle()->setParent(nullptr);
}

player::TPlayer& TKinoro::plyObj() { return player_->player(); }

void TKinoro::guarded(const std::function<void()>& fn) {
  try {
    fn();
  } catch (const std::exception& e) {
    ShowError(e.what());
  }
}

void TKinoro::WirePlayer() {
  auto& p = plyObj();
  p.OnPlayStateChange = [this](player::TPlayState s) {
    guarded([&] { wiring_.OnPlayStateChange(s); });
  };
  p.OnPlayEnd = [this] { guarded([&] { wiring_.OnPlayEnd(); }); };
  p.OnPlayError = [this](int code, const std::string& text) {
    guarded([&] { wiring_.OnPlayError(code, text); });
  };
  p.OnFullChangeing = [this] { guarded([&] { wiring_.OnFullChanging(); }); };
  p.OnPlayBuffing = [this](int dur) { guarded([&] { wiring_.OnPlayBuffing(dur); }); };
  p.OnPlayPosition = [this](std::uint32_t duration, std::uint32_t position, std::uint32_t) {
    guarded([&] { wiring_.OnPlayPosition(duration, position); });
  };
}

QAction* TKinoro::action(const char* name) const {
  auto it = actions_.find(name);
  return it == actions_.end() ? nullptr : it->second;
}

// ---- members -------------------------------------------------------------------------------

void TKinoro::get(const Member& member, VARIANT* out) {
  auto& p = plyObj();
  switch (member.dispid) {
    case kVisible:
      *out = boolValue(isVisible());
      return;
    case kActive:
      *out = boolValue(isActiveWindow());
      return;
    case kMouseInClient:
      *out = boolValue(underMouse());
      return;
    case kExplicitLeft:
      *out = longValue(geometry().x());
      return;
    case kExplicitTop:
      *out = longValue(geometry().y());
      return;
    case kExplicitWidth:
      *out = longValue(width());
      return;
    case kExplicitHeight:
      *out = longValue(height());
      return;
    case kEnabled:
      *out = boolValue(isEnabled());
      return;
    case kAdW:
      *out = longValue(adW_);
      return;
    case kAdH:
      *out = longValue(adH_);
      return;
    case kState:
      *out = longValue(p.PlayState());
      return;
    case kDuration:
      *out = unsignedValue(p.Duration());
      return;
    case kFileName:
      *out = textValue(player::Utf8ToUtf16(p.FileName()));
      return;
    case kFullDisp:
      *out = boolValue(p.FullScreen());
      return;
    case kMute:
      *out = boolValue(p.Mute());
      return;
    case kPosition:
      *out = unsignedValue(p.Position());
      return;
    case kVolume:
      *out = longValue(p.Volume());
      return;
    default:
      stored_.get(member, out);
      return;
  }
}

void TKinoro::put(const Member& member, const VARIANT& value) {
  auto& p = plyObj();
  switch (member.dispid) {
    case kVisible:
      setVisible(value.boolVal != 0);
      break;
    case kCaption:
      setWindowTitle(QString::fromStdString(textOf(value)));
      break;
    case kEnabled:
      setEnabled(value.boolVal != 0);
      break;
    case kAdW:
    case kAdH:
      (member.dispid == kAdW ? adW_ : adH_) = value.lVal;
      if (adBrowser_) adBrowser_->resize(adW_, adH_);
      return;
    case kFileName:
      p.OpenFile(textOf(value));
      return;
    case kFullDisp:
      p.SetFullScreen(value.boolVal != 0);
      return;
    case kMute:
      p.SetMute(value.boolVal != 0);
      return;
    case kPosition:
      p.Seek(static_cast<int>(value.ulVal));
      return;
    case kUrl:
      wiring_.PutUrl(textOf(value));
      return;
    case kVolume:
      p.SetVolume(value.lVal);
      return;
    default:
      break;
  }
  stored_.put(member, value);
}

void TKinoro::call(const Member& member) {
  if (member.dispid == kStop) wiring_.ActStop();
}

// ---- placing the form in its host ------------------------------------------------------------

std::uintptr_t TKinoro::nativeWindow() { return static_cast<std::uintptr_t>(winId()); }

void TKinoro::place(int left, int top, int width, int height) {
  setGeometry(left, top, width, height);
}

void TKinoro::setHostWindow(std::uintptr_t window) {
  winId();  // the form's own native window first
  if (window == 0) {
    windowHandle()->setParent(nullptr);
    hostWindow_.reset();
    return;
  }
  auto host = std::unique_ptr<QWindow>(QWindow::fromWinId(static_cast<WId>(window)));
  if (!host) return;
  windowHandle()->setParent(host.get());
  hostWindow_ = std::move(host);
}

void TKinoro::showInHost(bool visible) { setVisible(visible); }

// ---- the form's own notices ------------------------------------------------------------------

bool TKinoro::event(QEvent* e) {
  switch (e->type()) {
    case QEvent::WindowActivate:
      notifications_.raiseEvent(DISPID_OnActivate);
      break;
    case QEvent::WindowDeactivate:
      notifications_.raiseEvent(DISPID_OnDeactivate);
      break;
    case QEvent::Enter:
      notifications_.raiseEvent(DISPID_OnMouseEnter);
      break;
    case QEvent::Leave:
      notifications_.raiseEvent(DISPID_OnMouseLeave);
      break;
    case QEvent::Resize:
      LayoutPicture();
      break;
    default:
      break;
  }
  return QWidget::event(e);
}

void TKinoro::paintEvent(QPaintEvent* e) {
  QWidget::paintEvent(e);
  notifications_.raiseEvent(DISPID_OnPaint);
  LayoutBar();
}

void TKinoro::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) plyObj().KeyDown(player::PlayerKey::Escape);
  if (e->key() == Qt::Key_Space) plyObj().KeyDown(player::PlayerKey::Space);
  const QString text = e->text();
  if (!text.isEmpty() && text.at(0).isPrint()) {
    const char16_t key = notifications_.raiseKeyPress(text.at(0).unicode());
    if (key == 0) {
      e->accept();
      return;
    }
  }
  QWidget::keyPressEvent(e);
}

void TKinoro::mousePressEvent(QMouseEvent* e) {
  notifications_.raiseEvent(DISPID_OnClick);
  QWidget::mousePressEvent(e);
}

void TKinoro::mouseDoubleClickEvent(QMouseEvent* e) {
  notifications_.raiseEvent(DISPID_OnDblClick);
  QWidget::mouseDoubleClickEvent(e);
}

}  // namespace nivra::control
