#include "common/ufunction_window.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>
#include <cmath>
#include <functional>

#include "common/ufunction.h"

namespace nivra::common {

namespace {

// Moves or sizes a window with the mouse until the left button is released, for when no window
// manager takes the move (a bare X server).
class MouseTracker final : public QObject {
 public:
  using Apply = std::function<void(QPoint delta)>;
  MouseTracker(QWidget* window, QPoint start, Apply apply)
      : QObject(window), window_(window), apply_(std::move(apply)), start_(start) {
    window_->grabMouse();
    qApp->installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::MouseMove) {
      apply_(static_cast<QMouseEvent*>(event)->globalPosition().toPoint() - start_);
      return true;
    }
    if (event->type() == QEvent::MouseButtonRelease) {
      window_->releaseMouse();
      deleteLater();
      qApp->removeEventFilter(this);
      return true;
    }
    return false;
  }

 private:
  QWidget* window_;
  Apply apply_;
  QPoint start_;
};

}  // namespace

void DragWindow(QWidget* form, std::optional<QPoint> pressed) {
  if (!form) return;
  QWidget* window = form->window();
  QWindow* handle = window->windowHandle();
  if (handle && handle->startSystemMove()) return;
  const QPoint origin = window->pos();
  new MouseTracker(window, pressed.value_or(QCursor::pos()),
                   [window, origin](QPoint delta) { window->move(origin + delta); });
}

void TrackWindowResize(QWidget* window, Qt::Edges edges, QPoint pressed,
                       std::function<QRect(const QRect& proposed)> adjust) {
  QWindow* handle = window->windowHandle();
  if (handle && handle->startSystemResize(edges)) return;
  const QRect origin = window->geometry();
  new MouseTracker(window, pressed, [=](QPoint d) {
    QRect r = origin;
    if (edges & Qt::LeftEdge) r.setLeft(origin.left() + d.x());
    if (edges & Qt::RightEdge) r.setRight(origin.right() + d.x());
    if (edges & Qt::TopEdge) r.setTop(origin.top() + d.y());
    if (edges & Qt::BottomEdge) r.setBottom(origin.bottom() + d.y());
    window->setGeometry(adjust ? adjust(r) : r);
  });
}

int BorderHitTest(QPoint screenPos, const QWidget* control) {
  const QPoint p = control->mapFromGlobal(screenPos);
  return BorderHitTest(p.x(), p.y(), control->width(), control->height());
}

void SetWindowTopmost(QWidget* window, bool on) {
  if (!window || window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == on) return;
  Qt::WindowFlags flags = window->windowFlags();
  flags.setFlag(Qt::WindowStaysOnTopHint, on);
  // The widget's own flag change would unmap and map the window again (which drops its video
  // and moves it); the native window takes the new state in place.
  window->overrideWindowFlags(flags);
  if (QWindow* handle = window->windowHandle()) {
    handle->setFlags(flags);
    if (on && window->isVisible()) window->raise();
  }
}

QRegion CutFormCorners(const QImage& mask, QSize formSize, QColor transparent) {
  QRegion region(0, 0, formSize.width() + 1, formSize.height() + 1);
  if (mask.isNull()) return region;
  const int w = mask.width(), h = mask.height();
  // Halves rounded to the nearest integer, halves to even.
  const int halfW = static_cast<int>(std::nearbyint(w / 2.0));
  const int halfH = static_cast<int>(std::nearbyint(h / 2.0));
  const QRgb cut = transparent.rgb() & 0xFFFFFF;
  auto isCut = [&](int x, int y) { return (mask.pixel(x, y) & 0xFFFFFF) == cut; };
  struct Quarter {
    int x0, x1, y0, y1;  // pixel ranges [x0, x1) × [y0, y1) of the mask
    int dx, dy;          // where its cut-outs move on the form
  };
  const int right = formSize.width() - w, down = formSize.height() - h;
  const Quarter quarters[] = {
      {0, halfW, 0, halfH, 0, 0},
      {halfW, w, 0, halfH, right, 0},
      {0, halfW, halfH, h, 0, down},
      {halfW, w, halfH, h, right, down},
  };
  for (const Quarter& q : quarters) {
    for (int x = q.x0; x < q.x1; ++x) {
      // The run of cut colour from the quarter's top row down, reaching up to the image's top.
      int y = q.y0;
      while (y < q.y1 && isCut(x, y)) ++y;
      if (y > q.y0) region -= QRegion(x + q.dx, 0 + q.dy, 1, y);
      // Below the lowest pixel of another colour, down to the image's bottom edge.
      int lowest = -1;
      for (int yy = q.y1 - 1; yy >= q.y0; --yy)
        if (!isCut(x, yy)) {
          lowest = yy;
          break;
        }
      if (lowest >= 0 && lowest + 1 < q.y1)
        region -= QRegion(x + q.dx, lowest + 1 + q.dy, 1, h - lowest - 1);
    }
  }
  return region;
}

void ApplyFormCorners(QWidget* form, const QImage& mask, QColor transparent) {
  if (!form || mask.isNull()) return;
  form->setMask(CutFormCorners(mask, form->size(), transparent));
}

}  // namespace nivra::common
