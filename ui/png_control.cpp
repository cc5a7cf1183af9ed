#include "ui/png_control.h"

#include <QAction>
#include <QMouseEvent>
#include <QPainter>

namespace nivra::ui {

TPNGCustomControl::TPNGCustomControl(QWidget* parent) : QWidget(parent) {}

void TPNGCustomControl::SetAction(QAction* action) {
  if (action_ == action) return;
  QObject::disconnect(actionConnection_);
  action_ = action;
  if (action) {
    actionConnection_ = connect(action, &QAction::changed, this, [this] { ActionChanged(); });
    ActionChanged();
  }
}

void TPNGCustomControl::ActionChanged() {
  if (!action_) return;
  setEnabled(action_->isEnabled());
  setVisible(action_->isVisible());
  setToolTip(action_->toolTip());
}

void TPNGCustomControl::Click() {
  if (OnClick) {
    OnClick(this);
  } else if (action_) {
    action_->trigger();
  }
}

void TPNGCustomControl::Paint(QPainter&) {}

void TPNGCustomControl::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  Paint(painter);
}

void TPNGCustomControl::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) leftPressed_ = true;
  if (OnMouseDown) {
    const QPoint p = event->position().toPoint();
    OnMouseDown(this, event->button(), event->modifiers(), p.x(), p.y());
  }
  update();
}

void TPNGCustomControl::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const bool wasPressed = leftPressed_;
  leftPressed_ = false;
  update();
  if (wasPressed && rect().contains(event->position().toPoint())) Click();
}

void TPNGCustomControl::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && OnDblClick) {
    OnDblClick(this);
    return;
  }
  mousePressEvent(event);
}

TPNGControl::TPNGControl(QWidget* parent) : TPNGCustomControl(parent) {}

void TPNGControl::SetPNGImage(const TPicture& picture) {
  picture_ = picture;
  PictureChanged();
  AdjustSize();
  update();
}

void TPNGControl::SetAutoSize(bool on) {
  if (autoSize_ == on) return;
  autoSize_ = on;
  AdjustSize();
}

QSize TPNGControl::AutoSizeFor(const TPicture& picture) const {
  if (picture.Width() > 0 && picture.Height() > 0) return QSize(picture.Width(), picture.Height());
  return QSize();
}

void TPNGControl::AdjustSize() {
  if (!autoSize_) return;
  const QSize size = AutoSizeFor(picture_);
  if (size.isValid() && !size.isEmpty()) resize(size);
}

}  // namespace nivra::ui
