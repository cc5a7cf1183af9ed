#pragma once
// TPNGTransPanel: a container with no look of its own. It paints what lies under it (its
// parent and the siblings below it), so groups of buttons sit on a window frame's pictures.

#include <QWidget>
#include <functional>

#include "ui/ui_events.h"

namespace nivra::ui {

class TPNGTransPanel : public QWidget {
 public:
  explicit TPNGTransPanel(QWidget* parent = nullptr);

  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
};

}  // namespace nivra::ui
