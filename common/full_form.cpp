#include "common/full_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QScreen>

#include "platform/debug_output.h"

namespace nivra::common {

TFullForm::TFullForm(platform::EventLoop& loop, FullScreenHost& host, QWidget* pnlProgress,
                     QWidget* pnlBottom, QWidget* mainWindow)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      loop_(loop),
      host_(host),
      pnlProgress_(pnlProgress),
      pnlBottom_(pnlBottom),
      mainWindow_(mainWindow),
      lastInputTick_(loop.tickMs()) {
  setObjectName("TFullForm");
  // Placed explicitly: without a window manager nothing else would size or move it.
  if (QScreen* screen = QGuiApplication::primaryScreen())
    setGeometry(QRect(QPoint(0, 0), screen->geometry().size()));
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::black);
  setPalette(pal);
  qApp->installEventFilter(this);
  connect(qApp, &QGuiApplication::applicationStateChanged, this,
          [this](Qt::ApplicationState state) { ApplicationStateChanged(state); });
  timer_ = loop_.startTimer(kTimerMs, [this] { Tick(); });
}

TFullForm::~TFullForm() {
  loop_.killTimer(timer_);
  qApp->removeEventFilter(this);
}

void TFullForm::Tick() {
  try {
    if (mainWindow_ && QApplication::activeWindow() == mainWindow_) {
      raise();
      activateWindow();
    }
    const bool active = loop_.tickMs() - lastInputTick_ < kIdleHideMs;
    for (QWidget* bar : {pnlProgress_.data(), pnlBottom_.data()})
      if (bar) bar->setVisible(active);
    host_.SetCursorHidden(!active);
  } catch (...) {  // the next tick tries again
  }
}

void TFullForm::PostLeave(const char* failureLine) {
  loop_.post([form = QPointer<TFullForm>(this), &host = host_, failureLine] {
    if (!form) return;  // full screen already ended
    try {
      host.LeaveFullScreen();
    } catch (...) {
      if (failureLine) platform::debugOutput(failureLine);
    }
  });
}

void TFullForm::ApplicationStateChanged(Qt::ApplicationState state) {
  if (state != Qt::ApplicationActive) PostLeave("WMACTIVATEAPP except");
}

void TFullForm::closeEvent(QCloseEvent* event) {
  PostLeave(nullptr);
  event->accept();
}

bool TFullForm::IsUserInput(const QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseMove: {
      // A move that does not move (a widget appearing under a still mouse) is no input.
      const QPointF at = static_cast<const QMouseEvent*>(event)->globalPosition();
      if (at == lastMousePos_) return false;
      lastMousePos_ = at;
      return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::Wheel:
      return true;
    default:
      return false;
  }
}

// Key preview: the first delivery of a key press inside this window goes to the host; a key
// it used goes no further.
bool TFullForm::PreviewKey(QObject* watched, const QEvent* event) {
  if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
  auto* widget = static_cast<QWidget*>(watched);
  if (widget->window() != this) return false;
  QWidget* focus = QApplication::focusWidget();
  if (focus ? widget != focus : widget != this) return false;  // a propagated delivery
  return host_.HandleKey(static_cast<const QKeyEvent*>(event)->key());
}

bool TFullForm::eventFilter(QObject* watched, QEvent* event) {
  if (IsUserInput(event)) lastInputTick_ = loop_.tickMs();
  if (PreviewKey(watched, event)) return true;
  return QWidget::eventFilter(watched, event);
}

}  // namespace nivra::common
