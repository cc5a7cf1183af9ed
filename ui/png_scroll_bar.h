#pragma once
// Skinned scroll bars. TPNGCustomScrollBar holds the range, the geometry (16-pixel arrow
// buttons at both ends, a thumb in the track between) and the mouse handling; TPNGScrollBar
// adds the four pictures (track, up, down, thumb; the last three with idle, hover and pressed
// columns) and paints vertical bars. Arrow clicks act on release over the pressed button.

#include <functional>

#include "ui/png_control.h"
#include "ui/ui_events.h"

namespace nivra::ui {

enum class TScrollStyle { ssVerical, ssHorizontal };

class TPNGCustomScrollBar : public TPNGCustomControl {
 public:
  static constexpr int kButtonSize = 16;
  enum Zone { zTrack = 0, zUp = 1, zThumb = 2, zDown = 3 };
  enum MouseState { msIdle = 0, msHover = 1, msPressed = 2 };

  explicit TPNGCustomScrollBar(QWidget* parent = nullptr);

  int Position() const { return position_; }
  // Kept within Min … Max − PageSize + 1; raises OnPosChange when it changes.
  void SetPosition(int value);
  int Max() const { return max_; }
  void SetMax(int value);  // negative values are ignored
  int Min() const { return min_; }
  void SetMin(int value);  // negative values are ignored
  int PageSize() const { return pageSize_; }
  void SetPageSize(int value);
  TScrollStyle ScrollStyle() const { return scrollStyle_; }
  // Changing the direction swaps the bar's width and height.
  void SetScrollStyle(TScrollStyle style);

  // Raised whenever the user or the program moves the thumb.
  TNotifyEvent OnPosChange;

  // Geometry along the bar: track length, pixels per unit, thumb length and start.
  int TrackLength() const;
  int ThumbLength() const { return thumbLength_; }
  int ThumbStart() const { return thumbStart_; }
  Zone ZoneAt(QPoint p) const;
  MouseState State() const { return state_; }
  Zone HotZone() const { return hotZone_; }

 protected:
  void Recalculate();  // thumb length and start from the range
  void MoveThumb(int delta);
  int Along(QPoint p) const { return scrollStyle_ == TScrollStyle::ssVerical ? p.y() : p.x(); }
  int Length() const { return scrollStyle_ == TScrollStyle::ssVerical ? height() : width(); }

  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  int Units() const { return max_ - min_ + 1; }
  int LastPosition() const { return max_ - pageSize_ + 1; }
  void RaisePosChange();

  int position_ = 0;
  int max_ = 100;
  int min_ = 0;
  int pageSize_ = 10;
  TScrollStyle scrollStyle_ = TScrollStyle::ssVerical;
  int thumbLength_ = 0;
  int thumbStart_ = kButtonSize;
  MouseState state_ = msIdle;
  Zone hotZone_ = zTrack;
  Zone pressedZone_ = zTrack;
  bool dragging_ = false;
  int pressAt_ = 0;
};

class TPNGScrollBar : public TPNGCustomScrollBar {
 public:
  explicit TPNGScrollBar(QWidget* parent = nullptr);

  const TPicture& PicBG() const { return picBG_; }
  void SetPicBG(const TPicture& p);
  const TPicture& PicUp() const { return picUp_; }
  void SetPicUp(const TPicture& p);
  const TPicture& PicDown() const { return picDown_; }
  void SetPicDown(const TPicture& p);
  const TPicture& PicThumb() const { return picThumb_; }
  void SetPicThumb(const TPicture& p);

 protected:
  void Paint(QPainter& painter) override;

 private:
  // The picture column (0 idle, 1 hover, 2 pressed) for a part of the bar.
  int ColumnFor(Zone zone) const;
  void PaintThumb(QPainter& painter);

  TPicture picBG_, picUp_, picDown_, picThumb_;
};

}  // namespace nivra::ui
