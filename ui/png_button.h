#pragma once
// Image buttons. TPNGButton's picture is a grid of looks: one column per mouse state (normal,
// mouse over, pressed, disabled), one row per state image (StateIndex). TPNGStateButton always
// has three columns and no disabled look; TPNGCaptionButton can draw a caption over its image.

#include <QString>

#include "ui/png_control.h"

namespace nivra::ui {

enum class TSplitStyle { spHorizontal, spVertical };

class TPNGButton : public TPNGControl {
 public:
  explicit TPNGButton(QWidget* parent = nullptr);

  int NumGlyphs() const { return numGlyphs_; }
  void SetNumGlyphs(int value);  // values below 1 are ignored
  int StateMax() const { return stateMax_; }
  // Values below 1 or unchanged are ignored; StateIndex is lowered below the new value and an
  // auto-sized button with a picture becomes picture width div 3 by height div StateMax (three
  // columns here, whatever NumGlyphs says).
  void SetStateMax(int value);
  static constexpr int kStateMaxColumns = 3;
  int StateIndex() const { return stateIndex_; }
  void SetStateIndex(int value);  // negative or unchanged values are ignored
  bool Down() const { return down_; }
  void SetDown(bool on);
  bool Stretch() const { return stretch_; }
  void SetStretch(bool on);
  // Above 0: a click ends the owning dialog with this result and raises no click.
  int ModalResult() const { return modalResult_; }
  void SetModalResult(int result) { modalResult_ = result; }
  TSplitStyle SplitStyle() const { return splitStyle_; }
  void SetSplitStyle(TSplitStyle style) { splitStyle_ = style; }

  // The cell of the picture for the current look and state image; empty when the picture has
  // no such column.
  QRect SourceCell() const;
  bool MouseOver() const { return mouseOver_; }

  void Click() override;

 protected:
  // Columns in the picture and whether the last of four is the disabled look.
  virtual int Columns() const { return numGlyphs_; }
  virtual bool HasDisabledLook() const { return true; }
  // Drawn when there is no picture.
  virtual void PaintWithoutPicture(QPainter& painter);

  void Paint(QPainter& painter) override;
  QSize AutoSizeFor(const TPicture& picture) const override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  int numGlyphs_ = 3;
  int stateMax_ = 1;
  int stateIndex_ = 0;
  bool down_ = false;
  bool stretch_ = false;
  int modalResult_ = 0;
  TSplitStyle splitStyle_ = TSplitStyle::spHorizontal;
  bool mouseOver_ = false;
};

class TPNGStateButton : public TPNGButton {
 public:
  explicit TPNGStateButton(QWidget* parent = nullptr);

 protected:
  int Columns() const override { return 3; }
  bool HasDisabledLook() const override { return false; }
  void PaintWithoutPicture(QPainter&) override {}
};

class TPNGCaptionButton : public TPNGButton {
 public:
  explicit TPNGCaptionButton(QWidget* parent = nullptr);

  const QString& Caption() const { return caption_; }
  void SetCaption(const QString& caption);
  bool ShowCaption() const { return showCaption_; }
  void SetShowCaption(bool on);

 protected:
  void Paint(QPainter& painter) override;
  void ActionChanged() override;

 private:
  QString caption_;
  bool showCaption_ = false;
};

}  // namespace nivra::ui
