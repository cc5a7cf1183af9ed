#include "ui/png_button.h"

#include <QAction>
#include <QDialog>
#include <QPainter>

#include "ui/png_common.h"

namespace nivra::ui {
namespace {

constexpr int kNormal = 0, kMouseOver = 1, kPressed = 2, kDisabled = 3;

// The raised or sunken one-pixel inner edge of a plain button.
void DrawInnerEdge(QPainter& p, const QRect& r, const QPalette& pal, bool sunken) {
  const QColor light = pal.color(QPalette::Light), dark = pal.color(QPalette::Dark);
  const int l = r.left(), t = r.top(), rr = r.left() + r.width() - 1, b = r.top() + r.height() - 1;
  p.setPen(sunken ? dark : light);
  p.drawLine(l, t, rr, t);
  p.drawLine(l, t, l, b);
  p.setPen(sunken ? light : dark);
  p.drawLine(rr, t, rr, b);
  p.drawLine(l, b, rr, b);
}

}  // namespace

TPNGButton::TPNGButton(QWidget* parent) : TPNGControl(parent) {}

void TPNGButton::SetNumGlyphs(int value) {
  if (value < 1 || value == numGlyphs_) return;
  numGlyphs_ = value;
  AdjustSize();
  update();
}

void TPNGButton::SetStateMax(int value) {
  if (value < 1 || value == stateMax_) return;
  stateMax_ = value;
  if (stateIndex_ >= stateMax_) stateIndex_ = stateMax_ - 1;
  // This resize counts three columns whatever NumGlyphs says; the automatic size of a new
  // picture or column count uses NumGlyphs.
  if (AutoSize() && !PNGImage().Empty()) {
    resize(PNGImage().Width() / kStateMaxColumns, PNGImage().Height() / stateMax_);
  }
  update();
}

void TPNGButton::SetStateIndex(int value) {
  if (value < 0 || value == stateIndex_) return;
  stateIndex_ = value;
  update();
}

void TPNGButton::SetDown(bool on) {
  if (down_ == on) return;
  down_ = on;
  update();
}

void TPNGButton::SetStretch(bool on) {
  if (stretch_ == on) return;
  stretch_ = on;
  update();
}

QRect TPNGButton::SourceCell() const {
  const TPicture& pic = PNGImage();
  const int columns = Columns();
  int column = kNormal;
  if (columns > 1) {
    if (HasDisabledLook() && !isEnabled()) {
      column = kDisabled;
    } else if (down_ || LeftPressed()) {
      column = kPressed;
    } else if (mouseOver_) {
      column = kMouseOver;
    }
  }
  if (column >= columns) return {};
  const int cw = pic.Width() / columns, ch = pic.Height() / stateMax_;
  return QRect(column * cw, stateIndex_ * ch, cw, ch);
}

void TPNGButton::Paint(QPainter& painter) {
  if (PNGImage().Empty()) {
    PaintWithoutPicture(painter);
    return;
  }
  const QRect cell = SourceCell();
  if (cell.isEmpty()) return;
  const QRect dest = stretch_ ? rect() : QRect(0, 0, cell.width(), cell.height());
  DrawThreeSlice(PNGImage(), painter, dest, cell);
}

void TPNGButton::PaintWithoutPicture(QPainter& painter) {
  const QRect r = rect();
  const QPalette& pal = palette();
  if (down_ || LeftPressed()) {
    painter.fillRect(r, pal.color(QPalette::Light));
    DrawInnerEdge(painter, r, pal, true);
  } else if (mouseOver_) {
    painter.fillRect(r, pal.color(QPalette::Light));
    DrawInnerEdge(painter, r, pal, false);
  } else {
    painter.fillRect(r, pal.color(QPalette::Button));
    painter.setPen(ColorFromTColor(12632256));
    painter.drawRect(r.adjusted(0, 0, -1, -1));
  }
}

QSize TPNGButton::AutoSizeFor(const TPicture& picture) const {
  if (picture.Empty()) return {};
  return QSize(picture.Width() / Columns(), picture.Height() / stateMax_);
}

void TPNGButton::Click() {
  if (modalResult_ > 0) {
    if (auto* dialog = qobject_cast<QDialog*>(window())) dialog->done(modalResult_);
    return;
  }
  TPNGControl::Click();
}

void TPNGButton::enterEvent(QEnterEvent* event) {
  mouseOver_ = true;
  update();
  TPNGControl::enterEvent(event);
}

void TPNGButton::leaveEvent(QEvent* event) {
  mouseOver_ = false;
  update();
  TPNGControl::leaveEvent(event);
}

TPNGStateButton::TPNGStateButton(QWidget* parent) : TPNGButton(parent) { SetStateMax(2); }

TPNGCaptionButton::TPNGCaptionButton(QWidget* parent) : TPNGButton(parent) {}

void TPNGCaptionButton::SetCaption(const QString& caption) {
  caption_ = caption;
  update();
}

void TPNGCaptionButton::SetShowCaption(bool on) {
  if (showCaption_ == on) return;
  showCaption_ = on;
  update();
}

void TPNGCaptionButton::Paint(QPainter& painter) {
  TPNGButton::Paint(painter);
  if (!showCaption_ && !PNGImage().Empty()) return;
  painter.setFont(font());
  painter.setPen(palette().color(QPalette::WindowText));
  painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, caption_);
}

void TPNGCaptionButton::ActionChanged() {
  TPNGButton::ActionChanged();
  if (Action()) SetCaption(Action()->text());
}

}  // namespace nivra::ui
