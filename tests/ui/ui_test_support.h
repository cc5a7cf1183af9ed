#pragma once
// Pixel helpers of the skinned-control tests: pictures whose every pixel names its own column
// and row, and offscreen renderings of painters and widgets.

#include <QApplication>
#include <QEnterEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPoint>
#include <QWidget>
#include <functional>
#include <set>

#include "ui/png_picture.h"

namespace nivra::test {

// A w × h image whose pixel (x, y) is opaque with red = x and green = y (so w, h ≤ 256).
inline QImage CodedImage(int w, int h) {
  QImage image(w, h, QImage::Format_ARGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) image.setPixel(x, y, qRgba(x, y, 200, 255));
  return image;
}

inline ui::TPicture CodedPNG(int w, int h) { return ui::TPicture::FromPNG(CodedImage(w, h)); }

// The source pixel a coded pixel came from.
inline QPoint SourceOf(QRgb pixel) { return {qRed(pixel), qGreen(pixel)}; }

// A transparent image of `size` painted by `paint`.
inline QImage Painted(QSize size, const std::function<void(QPainter&)>& paint) {
  QImage image(size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  paint(painter);
  painter.end();
  return image.convertToFormat(QImage::Format_ARGB32);
}

// The widget and its children rendered over transparency (no window background).
inline QImage Rendered(QWidget& widget) {
  return Painted(widget.size(), [&](QPainter& p) {
    widget.render(&p, QPoint(), QRegion(), QWidget::DrawChildren);
  });
}

// The widget as it looks on its window: the whole window rendered, cut to the widget.
inline QImage OnWindow(QWidget& widget) {
  QWidget* window = widget.window();
  const QImage all = window->grab().toImage().convertToFormat(QImage::Format_ARGB32);
  return all.copy(QRect(widget.mapTo(window, QPoint(0, 0)), widget.size()));
}

// Source columns seen along row y of a coded rendering, from x0 to x1 (exclusive).
inline std::set<int> ColumnsSeen(const QImage& image, int y, int x0, int x1) {
  std::set<int> columns;
  for (int x = x0; x < x1; ++x) columns.insert(SourceOf(image.pixel(x, y)).x());
  return columns;
}

inline std::set<int> RowsSeen(const QImage& image, int x, int y0, int y1) {
  std::set<int> rows;
  for (int y = y0; y < y1; ++y) rows.insert(SourceOf(image.pixel(x, y)).y());
  return rows;
}

// Mouse input delivered straight to a widget, at a point in its own coordinates.
inline void SendMouse(QWidget* widget, QEvent::Type type, QPoint at,
                      Qt::MouseButton button = Qt::LeftButton,
                      Qt::MouseButtons held = Qt::NoButton) {
  if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) held |= button;
  QMouseEvent event(type, QPointF(at), QPointF(widget->mapToGlobal(at)), button, held,
                    Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

inline void Press(QWidget* w, QPoint at) { SendMouse(w, QEvent::MouseButtonPress, at); }
inline void Release(QWidget* w, QPoint at) {
  SendMouse(w, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
}
inline void DragTo(QWidget* w, QPoint at) {
  SendMouse(w, QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton);
}
inline void Click(QWidget* w, QPoint at) {
  Press(w, at);
  Release(w, at);
}

inline void Enter(QWidget* widget, QPoint at = {1, 1}) {
  const QPointF local(at);
  QEnterEvent event{local, local, QPointF(widget->mapToGlobal(at))};
  QApplication::sendEvent(widget, &event);
}

inline void Leave(QWidget* widget) {
  QEvent event(QEvent::Leave);
  QApplication::sendEvent(widget, &event);
}

}  // namespace nivra::test
