#include "ui/png_track_bar.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "ui/png_common.h"

namespace nivra::ui {

TPNGBtn::TPNGBtn(QWidget* parent) : TPNGControl(parent) {
  resize(4, 4);
  SetAutoSize(true);
}

void TPNGBtn::Paint(QPainter& painter) {
  const TPicture& pic = PNGImage();
  DrawPicturePart(pic, painter, rect(), QRect(0, 0, pic.Width(), pic.Height()));
}

TPNGTrackBar::TPNGTrackBar(QWidget* parent)
    : TPNGCustomControl(parent), thumb_(new TPNGBtn), thumbObject_(thumb_.data()) {
  thumb_->installEventFilter(this);
  AdoptThumb();
}

TPNGTrackBar::~TPNGTrackBar() {
  if (!thumb_) return;
  thumb_->removeEventFilter(this);
  delete thumb_.data();
}

void TPNGTrackBar::AdoptThumb() {
  if (!thumb_) return;
  QWidget* parent = parentWidget();
  if (thumb_->parentWidget() != parent) thumb_->setParent(parent);
  if (!parent) return;  // a thumb without a parent would be a window of its own
  if (isHidden() && testAttribute(Qt::WA_WState_ExplicitShowHide)) {
    thumb_->hide();
  } else if (parent->isVisible()) {
    thumb_->show();
  }
  thumb_->raise();
  PlaceThumb(true);
}

const TPicture& TPNGTrackBar::BtnImage() const { return thumb_->PNGImage(); }

void TPNGTrackBar::SetBtnImage(const TPicture& picture) {
  thumb_->SetPNGImage(picture);
  PlaceThumb(true);
}

void TPNGTrackBar::SetPosition(int value) {
  if (value == position_) return;
  position_ = std::clamp(value, 0, max_);
  update();
  PlaceThumb(false);
}

void TPNGTrackBar::SetMax(int value) {
  if (value == max_ || value <= 0) return;
  max_ = value;
  if (position_ > max_) SetPosition(max_);
  MaxChanged();
  update();
}

void TPNGTrackBar::SetBgPic(const TPicture& picture) {
  bgPic_ = picture;
  update();
}

void TPNGTrackBar::ChangeRequest(int value) {
  bool cancel = false;
  if (OnSeekChangeing) OnSeekChangeing(this, value, cancel);
  if (!cancel) SetPosition(value);
}

void TPNGTrackBar::PlaceThumb(bool vertically) {
  if (!thumb_) return;
  const int span = width() - thumb_->width();
  const int left = RoundHalfEven(static_cast<double>(position_) / max_ * span) + x();
  const int top = vertically ? (height() - thumb_->height()) / 2 + y() : thumb_->y();
  thumb_->move(left, top);
}

void TPNGTrackBar::Paint(QPainter& painter) {
  const int h = bgPic_.Height();
  const int top = PictureTop(h);
  DrawPicturePart(bgPic_, painter, RectLTRB(0, top, width(), top + h),
                  QRect(0, 0, bgPic_.Width(), h));
}

void TPNGTrackBar::mouseReleaseEvent(QMouseEvent* event) {
  clickX_ = event->position().toPoint().x();
  TPNGCustomControl::mouseReleaseEvent(event);
}

void TPNGTrackBar::Click() {
  const int span = width() - thumb_->width();
  if (UserMayMove() && span > 0) {
    const int x = clickX_ - thumb_->width() / 2;
    const int value = static_cast<int>(static_cast<double>(x) / span * max_);
    ChangeRequest(std::clamp(value, 0, max_));
  }
  TPNGCustomControl::Click();
}

bool TPNGTrackBar::eventFilter(QObject* watched, QEvent* event) {
  // Compared as QObject: while the thumb's own destructor runs (its parent may delete it first)
  // it still sends events, and it is no longer a TPNGBtn then.
  if (watched != thumbObject_ || thumb_.isNull()) return false;
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() == Qt::LeftButton) {
        if (UserMayMove()) pressX_ = mouse->position().toPoint().x();
        ThumbPressed();
      }
      break;
    }
    case QEvent::MouseMove: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      const int span = width() - thumb_->width();
      if ((mouse->buttons() & Qt::LeftButton) && UserMayMove() && span > 0) {
        const int dx = mouse->position().toPoint().x() - pressX_;
        const int value = RoundHalfEven(static_cast<double>(dx) / span * max_) + position_;
        ChangeRequest(std::clamp(value, 0, max_));
      }
      break;
    }
    case QEvent::MouseButtonRelease:
      if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) ThumbReleased();
      break;
    case QEvent::ToolTip:
      if (!toolTip().isEmpty()) thumb_->setToolTip(toolTip());
      break;
    default:
      break;
  }
  return false;
}

bool TPNGTrackBar::event(QEvent* event) {
  if (thumb_) {
    if (event->type() == QEvent::CursorChange) thumb_->setCursor(cursor());
    if (event->type() == QEvent::ToolTipChange && !toolTip().isEmpty())
      thumb_->setToolTip(toolTip());
  }
  return TPNGCustomControl::event(event);
}

void TPNGTrackBar::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ParentChange) AdoptThumb();
  TPNGCustomControl::changeEvent(event);
}

void TPNGTrackBar::moveEvent(QMoveEvent* event) {
  if (thumb_) thumb_->raise();
  PlaceThumb(true);
  TPNGCustomControl::moveEvent(event);
}

void TPNGTrackBar::resizeEvent(QResizeEvent* event) {
  if (thumb_) thumb_->raise();
  PlaceThumb(true);
  TPNGCustomControl::resizeEvent(event);
}

void TPNGTrackBar::showEvent(QShowEvent* event) {
  if (thumb_ && thumb_->parentWidget()) thumb_->show();
  PlaceThumb(true);
  TPNGCustomControl::showEvent(event);
}

void TPNGTrackBar::hideEvent(QHideEvent* event) {
  if (thumb_ && isHidden()) thumb_->hide();  // the bar itself was hidden, not its window
  TPNGCustomControl::hideEvent(event);
}

TPNGPlayTrackBar::TPNGPlayTrackBar(QWidget* parent) : TPNGTrackBar(parent) {}

void TPNGPlayTrackBar::SetDownPosition(int value) {
  if (value == downPosition_) return;
  downPosition_ = std::clamp(value, 0, Max());
  update();
}

void TPNGPlayTrackBar::ThumbPressed() {
  if (canSeek_ && OnBeginSeek) OnBeginSeek(this);
}

void TPNGPlayTrackBar::ThumbReleased() {
  if (canSeek_ && OnEndSeek) OnEndSeek(this);
}

void TPNGPlayTrackBar::MaxChanged() {
  if (downPosition_ > Max()) SetDownPosition(Max());
}

void TPNGPlayTrackBar::Paint(QPainter& painter) {
  const TPicture& pic = BgPic();
  const int part = pic.Width() / 3, h = pic.Height();
  const int top = PictureTop(h), bottom = top + h, w = width();
  auto partRect = [&](int index, int columns) { return QRect(index * part, 0, columns, h); };
  if (Position() < Max()) {
    DrawPicturePart(pic, painter, RectLTRB(0, top, w, bottom), partRect(0, part));
    if (downPosition_ > 0) {
      const int x = RoundHalfEven(static_cast<double>(downPosition_) * w / Max());
      DrawPicturePart(pic, painter, RectLTRB(x, top, w, bottom), partRect(2, part));
    }
  }
  if (Position() > 0 && part > 0) {
    const int x = RoundHalfEven(static_cast<double>(Position()) * w / Max());
    for (int left = 0; left < x; left += part) {
      const int piece = std::min(part, x - left);
      DrawPicturePart(pic, painter, RectLTRB(left, top, left + piece, bottom), partRect(1, piece));
    }
  }
}

}  // namespace nivra::ui
