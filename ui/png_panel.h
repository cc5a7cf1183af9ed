#pragma once
// TPNGTransPanel: a container with no look of its own. It paints what lies under it (its
// parent and the siblings below it), so groups of buttons sit on a window frame's pictures.

#include <QWidget>
#include <functional>

namespace nivra::ui {

class TPNGTransPanel : public QWidget {
 public:
  explicit TPNGTransPanel(QWidget* parent = nullptr);

  std::function<void(QObject* sender)> OnDblClick;
  std::function<void(QObject* sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x,
                     int y)>
      OnMouseDown;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
};

}  // namespace nivra::ui
