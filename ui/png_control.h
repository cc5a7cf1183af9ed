#pragma once
// The windowless base controls of the skins. TPNGCustomControl erases nothing and paints
// through one virtual Paint, so what its parent drew shows wherever it draws nothing; it turns
// a left press and release inside it into a click (OnClick, else its action). TPNGControl adds
// an owned picture and automatic sizing to it.

#include <QPointer>
#include <QWidget>
#include <functional>

#include "ui/png_picture.h"
#include "ui/ui_events.h"

class QAction;
class QPainter;

namespace nivra::ui {

class TPNGCustomControl : public QWidget {
 public:
  explicit TPNGCustomControl(QWidget* parent = nullptr);

  // Raised on a left click (press and release inside the control), sender first. When not
  // set, the click executes the action.
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  // Raised on every button press, with the point in control coordinates.
  TMouseEvent OnMouseDown;

  // The action a click executes; the control follows its enabled and visible state and hint.
  void SetAction(QAction* action);
  QAction* Action() const { return action_; }

  // Runs the click: OnClick when set, else the action.
  virtual void Click();

 protected:
  // The paint operation; the painter is the control's own, clipped to it. Draws nothing here.
  virtual void Paint(QPainter& painter);
  // The action changed (or was set): takes its enabled and visible state and hint.
  virtual void ActionChanged();
  // True while the left button went down on the control and has not come up.
  bool LeftPressed() const { return leftPressed_; }

  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  QPointer<QAction> action_;
  QMetaObject::Connection actionConnection_;
  bool leftPressed_ = false;
};

class TPNGControl : public TPNGCustomControl {
 public:
  explicit TPNGControl(QWidget* parent = nullptr);

  const TPicture& PNGImage() const { return picture_; }
  // Copies the picture; with AutoSize on and a non-empty picture the control takes its size.
  void SetPNGImage(const TPicture& picture);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool on);

 protected:
  // The size AutoSize gives for the current picture; an invalid size leaves the size alone.
  virtual QSize AutoSizeFor(const TPicture& picture) const;
  // Applies AutoSize now (keeping the position).
  void AdjustSize();
  // Called after the picture changed, before the repaint.
  virtual void PictureChanged() {}

 private:
  TPicture picture_;
  bool autoSize_ = false;
};

}  // namespace nivra::ui
