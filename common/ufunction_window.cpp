#include "common/ufunction_window.h"

#include <QWidget>
#include <QWindow>
#include <cmath>

#include "common/ufunction.h"

namespace nivra::common {

void DragWindow(QWidget* form) {
  if (!form) return;
  if (QWindow* handle = form->window()->windowHandle()) handle->startSystemMove();
}

int BorderHitTest(QPoint screenPos, const QWidget* control) {
  const QPoint p = control->mapFromGlobal(screenPos);
  return BorderHitTest(p.x(), p.y(), control->width(), control->height());
}

void SetWindowTopmost(QWidget* window, bool on) {
  if (!window || window->windowFlags().testFlag(Qt::WindowStaysOnTopHint) == on) return;
  const bool visible = window->isVisible();
  window->setAttribute(Qt::WA_ShowWithoutActivating, true);
  window->setWindowFlag(Qt::WindowStaysOnTopHint, on);  // Qt hides the window to change flags
  if (visible) window->show();
  window->setAttribute(Qt::WA_ShowWithoutActivating, false);
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
