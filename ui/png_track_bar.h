#pragma once
// Track bars. TPNGTrackBar is a bar picture with a draggable thumb; the thumb (TPNGBtn) is a
// separate picture control living beside the bar in the bar's parent, which the bar moves.
// TPNGPlayTrackBar adds the seek permission, begin/end-of-seek events and a downloaded-part
// marker; its picture is a strip of three equal parts: empty track, played track, and the part
// beyond the download marker.

#include <QPointer>
#include <functional>

#include "ui/png_control.h"
#include "ui/ui_events.h"

namespace nivra::ui {

// The thumb: shows its whole picture and takes its size.
class TPNGBtn : public TPNGControl {
 public:
  explicit TPNGBtn(QWidget* parent = nullptr);

 protected:
  void Paint(QPainter& painter) override;
};

class TPNGTrackBar : public TPNGCustomControl {
 public:
  explicit TPNGTrackBar(QWidget* parent = nullptr);
  ~TPNGTrackBar() override;

  int Position() const { return position_; }
  void SetPosition(int value);  // clamped to 0..Max
  int Max() const { return max_; }
  void SetMax(int value);  // values ≤ 0 are ignored
  const TPicture& BgPic() const { return bgPic_; }
  void SetBgPic(const TPicture& picture);
  const TPicture& BtnImage() const;
  void SetBtnImage(const TPicture& picture);
  TPNGBtn* Thumb() const { return thumb_; }

  // Asked before every change the user makes; setting `cancel` keeps the old position.
  std::function<void(QObject* sender, int position, bool& cancel)> OnSeekChangeing;

  void Click() override;

 protected:
  // Whether clicks on the bar and drags of the thumb change the position.
  virtual bool UserMayMove() const { return true; }
  virtual void ThumbPressed() {}
  virtual void ThumbReleased() {}
  virtual void MaxChanged() {}

  // A user-driven change to `value`: OnSeekChangeing, then the position unless cancelled.
  void ChangeRequest(int value);
  // Puts the thumb over the position (and centred across the bar when `vertically`).
  void PlaceThumb(bool vertically);
  // The vertical centring offset of a picture of height h in the bar.
  int PictureTop(int h) const { return (height() - h) / 2; }

  void Paint(QPainter& painter) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool event(QEvent* event) override;
  void changeEvent(QEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void AdoptThumb();

  int position_ = 0;
  int max_ = 100;
  TPicture bgPic_;
  QPointer<TPNGBtn> thumb_;
  const QObject* thumbObject_;  // the thumb as the event filter sees it
  int pressX_ = 0;
  int clickX_ = 0;
};

class TPNGPlayTrackBar : public TPNGTrackBar {
 public:
  explicit TPNGPlayTrackBar(QWidget* parent = nullptr);

  int DownPosition() const { return downPosition_; }
  void SetDownPosition(int value);  // clamped to 0..Max
  bool CanSeek() const { return canSeek_; }
  void SetCanSeek(bool on) { canSeek_ = on; }

  TNotifyEvent OnBeginSeek;
  TNotifyEvent OnEndSeek;

 protected:
  bool UserMayMove() const override { return canSeek_; }
  void ThumbPressed() override;
  void ThumbReleased() override;
  void MaxChanged() override;
  void Paint(QPainter& painter) override;

 private:
  int downPosition_ = 0;
  bool canSeek_ = false;
};

}  // namespace nivra::ui
