#include "ui/png_image.h"

#include <QPainter>

namespace nivra::ui {

TPNGImage::TPNGImage(QWidget* parent) : TPNGControl(parent) {}

void TPNGImage::SetDrawStyle(TPNGDrawStyle style) {
  if (drawStyle_ == style) return;
  drawStyle_ = style;
  update();
}

void TPNGImage::Paint(QPainter& painter) {
  DrawPictureStyled(PNGImage(), painter, QRect(0, 0, width(), height()), drawStyle_, 0, 1);
}

}  // namespace nivra::ui
