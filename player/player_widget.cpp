#include "player/player_widget.h"

#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScreen>
#include <QUrl>

#include "player/player_arithmetic.h"

namespace nivra::player {

PlayerWidget::PlayerWidget(platform::EventLoop& loop, MediaGraphFactory graphs,
                           FlashEnvironment* flash, QWidget* parent)
    : QWidget(parent) {
  // The video is drawn straight into this window.
  setAttribute(Qt::WA_NativeWindow);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  setAcceptDrops(true);
  resize(320, 240);
  player_ = std::make_unique<TPlayer>(loop, *this, std::move(graphs), flash);
  if (parent != nullptr) followParent(parent);
}

PlayerWidget::~PlayerWidget() {
  if (followed_) followed_->removeEventFilter(this);
  // The control goes before the window it draws into.
  player_.reset();
}

void PlayerWidget::setLogo(const QImage& logo) {
  logo_ = logo;
  update();
}

void PlayerWidget::setHostParent(QWidget* parent) {
  if (parent == nullptr) {
    player_->SetParent(std::nullopt);
    return;
  }
  player_->SetParent(ParentWindow{parent, static_cast<WindowId>(parent->winId())});
}

// ---------------------------------------------------------------- PlayerSurface

Size PlayerWidget::ClientSize() const { return {width(), height()}; }

Size PlayerWidget::ScreenSize() const {
  const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
  return s ? Size{s->size().width(), s->size().height()} : Size{};
}

Size PlayerWidget::ParentSize(const ParentWindow& parent) const {
  const auto* p = static_cast<const QWidget*>(parent.handle);
  if (p == nullptr || p != parentWidget()) return ClientSize();
  return {p->width(), p->height()};
}

WindowId PlayerWidget::NativeWindow() { return static_cast<WindowId>(winId()); }

WindowId PlayerWidget::DetachedVideoWindow(bool show) {
  if (!show) {
    if (detached_) detached_->hide();
    return 0;
  }
  if (!detached_) {
    detached_ = std::make_unique<QWidget>(nullptr, Qt::Window | Qt::FramelessWindowHint);
    detached_->setAttribute(Qt::WA_NativeWindow);
    QPalette black = detached_->palette();
    black.setColor(QPalette::Window, Qt::black);
    detached_->setPalette(black);
    detached_->setAutoFillBackground(true);
  }
  detached_->showFullScreen();
  return static_cast<WindowId>(detached_->winId());
}

void PlayerWidget::Repaint() { update(); }

void PlayerWidget::SetCursorHidden(bool hidden) {
  if (hidden) {
    setCursor(Qt::BlankCursor);
  } else {
    unsetCursor();
  }
}

void PlayerWidget::SetAcceptDrops(bool accept) { setAcceptDrops(accept); }

void PlayerWidget::ReparentWindowOnly(const ParentWindow& parent) {
  auto* p = static_cast<QWidget*>(parent.handle);
  if (p == nullptr) return;
  alignClient_ = false;
  setParent(p);
  followParent(p);
  setGeometry(0, 0, p->width(), p->height());
  show();
}

void PlayerWidget::SetAlignClient() {
  alignClient_ = true;
  if (parentWidget() != nullptr) setGeometry(parentWidget()->rect());
}

void PlayerWidget::Reparent(const ParentWindow& parent) {
  auto* p = static_cast<QWidget*>(parent.handle);
  if (p == nullptr) return;
  setParent(p);
  followParent(p);
  if (alignClient_) setGeometry(p->rect());
  show();
}

void PlayerWidget::ShowPopupMenu(Point screen) {
  if (popupMenu_) popupMenu_->popup(QPoint(screen.x, screen.y));
}

void PlayerWidget::followParent(QWidget* parent) {
  if (followed_ == parent) return;
  if (followed_) followed_->removeEventFilter(this);
  followed_ = parent;
  parent->installEventFilter(this);
}

// ---------------------------------------------------------------- events

bool PlayerWidget::eventFilter(QObject* watched, QEvent* event) {
  if (watched == followed_ && event->type() == QEvent::Resize && alignClient_ &&
      followed_ == parentWidget()) {
    setGeometry(followed_->rect());
  }
  return QWidget::eventFilter(watched, event);
}

void PlayerWidget::paintEvent(QPaintEvent*) {
  if (player_->ExposeVideo()) return;
  QPainter painter(this);
  painter.fillRect(rect(), Qt::black);
  if (!logo_.isNull()) {
    const Rect at = LogoPlacement(ClientSize(), {logo_.width(), logo_.height()});
    painter.drawImage(at.left, at.top, logo_);
  }
}

void PlayerWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  player_->Resized();
}

void PlayerWidget::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Escape:
      player_->KeyDown(PlayerKey::Escape);
      break;
    case Qt::Key_Space:
      player_->KeyDown(PlayerKey::Space);
      break;
    default:
      QWidget::keyPressEvent(event);
      return;
  }
  event->accept();
}

namespace {
Point pointOf(const QPointF& p) { return {qRound(p.x()), qRound(p.y())}; }
}  // namespace

// The Flash movie draws into this window, so its mouse input arrives here first.
void PlayerWidget::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton &&
      player_->RightButtonDown(pointOf(event->position()), pointOf(event->globalPosition()))) {
    event->accept();
    return;
  }
  QWidget::mousePressEvent(event);
}

void PlayerWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) player_->MouseDoubleClick(pointOf(event->position()));
  QWidget::mouseDoubleClickEvent(event);
}

void PlayerWidget::focusOutEvent(QFocusEvent* event) {
  player_->FocusLost();
  QWidget::focusOutEvent(event);
}

void PlayerWidget::contextMenuEvent(QContextMenuEvent* event) {
  // The movie opened the menu on the button down already.
  if (event->reason() == QContextMenuEvent::Mouse && player_->MovieAt({event->x(), event->y()})) {
    event->accept();
    return;
  }
  if (player_->FullScreen() && popupMenu_) {
    popupMenu_->popup(event->globalPos());
    event->accept();
    return;
  }
  QWidget::contextMenuEvent(event);
}

void PlayerWidget::dragEnterEvent(QDragEnterEvent* event) {
  const auto* mime = event->mimeData();
  if (player_->DragFile() && mime->hasUrls() && !mime->urls().isEmpty() &&
      mime->urls().first().isLocalFile()) {
    event->acceptProposedAction();
  }
}

void PlayerWidget::dropEvent(QDropEvent* event) {
  std::vector<std::string> paths;
  for (const QUrl& url : event->mimeData()->urls()) {
    if (url.isLocalFile()) paths.push_back(url.toLocalFile().toStdString());
  }
  if (paths.empty()) return;
  event->acceptProposedAction();
  player_->DropFiles(paths);
}

}  // namespace nivra::player
