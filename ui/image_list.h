#pragma once
// A strip of equal images side by side (state images, row backgrounds), drawn by index.

#include "ui/png_picture.h"

class QPainter;
class QRect;

namespace nivra::ui {

class TImageList {
 public:
  TImageList() = default;
  // `strip` holds images of cellWidth × its height, left to right.
  TImageList(TPicture strip, int cellWidth);

  int Count() const;
  int Width() const { return cellWidth_; }
  int Height() const { return strip_.Height(); }
  // The image's rectangle in the strip; empty for an index outside the list.
  QRect Cell(int index) const;
  const TPicture& Strip() const { return strip_; }
  // Draws image `index` at (x, y) in its own size; nothing for an index outside the list.
  void Draw(QPainter& painter, int x, int y, int index) const;

 private:
  TPicture strip_;
  int cellWidth_ = 0;
};

}  // namespace nivra::ui
