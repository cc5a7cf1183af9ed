#pragma once
// What the skinned check box and radio button share: the platform's control without a
// background of its own. The box or circle of the platform's look (through QStyle; hot and
// pressed while the mouse is over or pressing it) and the caption are painted over a copy of
// what lies under the control, so it sits straight on a skin picture.

#include <QAbstractButton>
#include <QCheckBox>
#include <QMouseEvent>
#include <QPainter>
#include <QRect>
#include <QStyle>
#include <type_traits>

#include "ui/png_common.h"

namespace nivra::ui {

struct CheckLook {
  bool radio = false;    // a circle instead of a box
  bool themed = true;    // the themed look with hot and pressed states
  bool hover = false;    // the mouse is over the control
  bool pressed = false;  // the left button went down on it and has not come up
};

// The style state of the box. Themed: disabled, else pressed, else hot; checked, unchecked or
// mixed (check boxes only). Unthemed: only checked, and inactive while disabled or pressed.
QStyle::State CheckBoxState(const CheckLook& look, bool enabled, Qt::CheckState state);

// The box: 13 pixels wide at the left, as high as the control.
inline QRect CheckBoxRect(int height) { return QRect(0, 0, 13, height); }
// The caption: from 18 pixels in to the right edge.
inline QRect CheckCaptionRect(QRect client) { return client.adjusted(18, 0, 0, 0); }
// The focus rectangle: one pixel left of the caption to its end, the full height.
QRect CheckFocusRect(const QAbstractButton& button);

// Paints the whole control as the look says.
void PaintCheckControl(QAbstractButton& button, Qt::CheckState state, const CheckLook& look,
                       QPainter& painter);

// The mouse flags, the themed switch and the painting on top of a Qt check box or radio button.
template <class Base, bool kRadio>
class TPNGCheckControl : public Base {
 public:
  explicit TPNGCheckControl(const QString& caption = QString(), QWidget* parent = nullptr)
      : Base(caption, parent) {
    look_.radio = kRadio;
    MarkCopiesParentBackground(this);
  }

  bool Hover() const { return look_.hover; }
  bool Pressed() const { return look_.pressed; }
  // Whether the box has the themed look (hot and pressed states); default on.
  bool Themed() const { return look_.themed; }
  void SetThemed(bool on) {
    look_.themed = on;
    this->update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    Qt::CheckState state = this->isChecked() ? Qt::Checked : Qt::Unchecked;
    if constexpr (std::is_base_of_v<QCheckBox, Base>) state = this->checkState();
    PaintCheckControl(*this, state, look_, painter);
  }
  void enterEvent(QEnterEvent* event) override {
    Base::enterEvent(event);
    look_.hover = true;
    this->update();
  }
  void leaveEvent(QEvent* event) override {
    Base::leaveEvent(event);
    look_.hover = false;
    this->update();
  }
  void mousePressEvent(QMouseEvent* event) override {
    Base::mousePressEvent(event);
    if (event->button() == Qt::LeftButton) look_.pressed = true;
    this->update();
  }
  void mouseReleaseEvent(QMouseEvent* event) override {
    Base::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton) look_.pressed = false;
    this->update();
  }

 private:
  CheckLook look_;
};

}  // namespace nivra::ui
