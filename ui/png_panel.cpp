#include "ui/png_panel.h"

#include <QMouseEvent>
#include <QPainter>

#include "ui/png_common.h"

namespace nivra::ui {

TPNGTransPanel::TPNGTransPanel(QWidget* parent) : QWidget(parent) {
  MarkCopiesParentBackground(this);
}

void TPNGTransPanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  CopyParentBackground(this, painter);
}

void TPNGTransPanel::moveEvent(QMoveEvent* event) {
  update();  // what lies under it has changed
  QWidget::moveEvent(event);
}

void TPNGTransPanel::mousePressEvent(QMouseEvent* event) {
  if (OnMouseDown) {
    const QPoint p = event->position().toPoint();
    OnMouseDown(this, event->button(), event->modifiers(), p.x(), p.y());
    return;
  }
  QWidget::mousePressEvent(event);
}

void TPNGTransPanel::mouseDoubleClickEvent(QMouseEvent* event) {
  if (OnDblClick && event->button() == Qt::LeftButton) {
    OnDblClick(this);
    return;
  }
  QWidget::mouseDoubleClickEvent(event);
}

}  // namespace nivra::ui
