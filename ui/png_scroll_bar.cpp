#include "ui/png_scroll_bar.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "ui/png_common.h"

namespace nivra::ui {

TPNGCustomScrollBar::TPNGCustomScrollBar(QWidget* parent) : TPNGCustomControl(parent) {
  resize(16, 150);
  setMouseTracking(true);
  Recalculate();
}

int TPNGCustomScrollBar::TrackLength() const { return Length() - 2 * kButtonSize; }

void TPNGCustomScrollBar::Recalculate() {
  const int track = TrackLength(), units = Units();
  if (units != 0 && pageSize_ != 0) {
    thumbLength_ = RoundHalfEven(static_cast<double>(pageSize_) * track / units);
    if (thumbLength_ < 10) thumbLength_ = 10;
    if (thumbLength_ > track) thumbLength_ = track - 10;
  }
  const int perUnit = units != 0 ? RoundHalfEven(static_cast<double>(track) / units) : 0;
  thumbStart_ = kButtonSize + (position_ - min_) * perUnit;
}

void TPNGCustomScrollBar::RaisePosChange() {
  if (OnPosChange) OnPosChange(this);
}

void TPNGCustomScrollBar::SetPosition(int value) {
  if (value == position_) return;
  if (value < min_) value = min_;
  if (value > LastPosition()) value = LastPosition();
  position_ = value;
  Recalculate();
  RaisePosChange();
  update();
}

void TPNGCustomScrollBar::SetMax(int value) {
  if (value < 0) return;
  max_ = value;
  if (position_ > LastPosition()) position_ = LastPosition();
  Recalculate();
  update();
}

void TPNGCustomScrollBar::SetMin(int value) {
  if (value < 0) return;
  min_ = value;
  if (position_ < min_) position_ = min_;
  Recalculate();
  update();
}

void TPNGCustomScrollBar::SetPageSize(int value) {
  pageSize_ = value;
  Recalculate();
  update();
}

void TPNGCustomScrollBar::SetScrollStyle(TScrollStyle style) {
  if (style == scrollStyle_) return;
  scrollStyle_ = style;
  resize(height(), width());
  Recalculate();
  update();
}

TPNGCustomScrollBar::Zone TPNGCustomScrollBar::ZoneAt(QPoint p) const {
  const int at = Along(p);
  if (at < kButtonSize) return zUp;
  if (at >= Length() - kButtonSize) return zDown;
  if (at >= thumbStart_ && at < thumbStart_ + thumbLength_) return zThumb;
  return zTrack;
}

void TPNGCustomScrollBar::MoveThumb(int delta) {
  thumbStart_ += delta;
  const int end = Length() - thumbLength_ - kButtonSize;
  if (thumbStart_ >= end) {
    position_ = LastPosition();
    thumbStart_ = end;
  } else if (thumbStart_ > kButtonSize && TrackLength() > 0) {
    // Min is added back so that a bar whose range does not start at 0 stays inside it.
    const double units = static_cast<double>(thumbStart_ - kButtonSize) * Units() / TrackLength();
    position_ = std::clamp(min_ + RoundHalfEven(units), min_, std::max(min_, LastPosition()));
  } else {
    position_ = min_;
    thumbStart_ = kButtonSize;
  }
  RaisePosChange();
}

void TPNGCustomScrollBar::mousePressEvent(QMouseEvent* event) {
  TPNGCustomControl::mousePressEvent(event);
  if (event->button() != Qt::LeftButton || state_ == msPressed) return;
  const QPoint p = event->position().toPoint();
  state_ = msPressed;
  pressAt_ = Along(p);
  pressedZone_ = ZoneAt(p);
  hotZone_ = pressedZone_;
  if (pressedZone_ == zThumb) {
    dragging_ = true;
  } else if (pressedZone_ == zTrack) {
    // The thumb's near edge lands on the click.
    if (pressAt_ < thumbStart_) {
      MoveThumb(pressAt_ - thumbStart_);
    } else {
      MoveThumb(pressAt_ - (thumbStart_ + thumbLength_));
    }
  }
  update();
}

void TPNGCustomScrollBar::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  hotZone_ = ZoneAt(p);
  if (dragging_ && state_ == msPressed) {
    MoveThumb(Along(p) - pressAt_);
    pressAt_ = Along(p);
  }
  update();
}

void TPNGCustomScrollBar::mouseReleaseEvent(QMouseEvent* event) {
  TPNGCustomControl::mouseReleaseEvent(event);
  if (event->button() != Qt::LeftButton) return;
  state_ = msHover;
  dragging_ = false;
  const Zone under = ZoneAt(event->position().toPoint());
  hotZone_ = under;
  if (under == pressedZone_) {
    if (under == zUp) SetPosition(position_ - 1);
    if (under == zDown) SetPosition(position_ + 1);
  }
  update();
}

void TPNGCustomScrollBar::enterEvent(QEnterEvent* event) {
  if (!dragging_) state_ = msHover;
  update();
  TPNGCustomControl::enterEvent(event);
}

void TPNGCustomScrollBar::leaveEvent(QEvent* event) {
  if (!dragging_) state_ = msIdle;
  update();
  TPNGCustomControl::leaveEvent(event);
}

void TPNGCustomScrollBar::resizeEvent(QResizeEvent* event) {
  Recalculate();
  TPNGCustomControl::resizeEvent(event);
}

TPNGScrollBar::TPNGScrollBar(QWidget* parent) : TPNGCustomScrollBar(parent) {
  LoadPNGFromResource(picBG_, "BG");
  LoadPNGFromResource(picUp_, "UP");
  LoadPNGFromResource(picDown_, "DOWN");
  LoadPNGFromResource(picThumb_, "THUMB");
}

void TPNGScrollBar::SetPicBG(const TPicture& p) {
  picBG_ = p;
  update();
}
void TPNGScrollBar::SetPicUp(const TPicture& p) {
  picUp_ = p;
  update();
}
void TPNGScrollBar::SetPicDown(const TPicture& p) {
  picDown_ = p;
  update();
}
void TPNGScrollBar::SetPicThumb(const TPicture& p) {
  picThumb_ = p;
  update();
}

int TPNGScrollBar::ColumnFor(Zone zone) const {
  if (State() == msIdle || HotZone() != zone) return 0;
  return State() == msPressed ? 2 : 1;
}

void TPNGScrollBar::PaintThumb(QPainter& p) {
  const TPicture& pic = picThumb_;
  const int cw = pic.Width() / 3, ph = pic.Height();
  const int cx = ColumnFor(zThumb) * cw, w = width();
  const int top = ThumbStart(), len = ThumbLength();
  DrawPicturePart(pic, p, QRect(0, top, w, len), QRect(cx, 4, cw, 1));
  DrawPicturePart(pic, p, QRect(0, top + (len - 10) / 2, w, 10), QRect(cx, ph / 2 - 6, cw, 10));
  DrawPicturePart(pic, p, QRect(0, top, w, 3), QRect(cx, 0, cw, 3));
  DrawPicturePart(pic, p, QRect(0, top + len - 3, w, 3), QRect(cx, ph - 4, cw, 4));
}

void TPNGScrollBar::Paint(QPainter& painter) {
  if (ScrollStyle() != TScrollStyle::ssVerical) return;
  QImage buffer(size(), QImage::Format_ARGB32_Premultiplied);
  buffer.fill(Qt::transparent);
  {
    QPainter p(&buffer);
    const int w = width(), h = height();
    DrawPicturePart(picBG_, p, rect(), QRect(0, 0, picBG_.Width(), picBG_.Height()));
    auto arrow = [&](const TPicture& pic, Zone zone, int top) {
      const int cw = pic.Width() / 3;
      DrawPicturePart(pic, p, QRect(0, top, w, kButtonSize),
                      QRect(ColumnFor(zone) * cw, 0, cw, pic.Height()));
    };
    arrow(picUp_, zUp, 0);
    arrow(picDown_, zDown, h - kButtonSize);
    PaintThumb(p);
  }
  painter.drawImage(0, 0, buffer);
}

}  // namespace nivra::ui
