#include "ui/image_list.h"

#include <QRect>

#include "ui/png_common.h"

namespace nivra::ui {

TImageList::TImageList(TPicture strip, int cellWidth)
    : strip_(std::move(strip)), cellWidth_(cellWidth > 0 ? cellWidth : 0) {}

int TImageList::Count() const { return cellWidth_ > 0 ? strip_.Width() / cellWidth_ : 0; }

QRect TImageList::Cell(int index) const {
  if (index < 0 || index >= Count()) return {};
  return QRect(index * cellWidth_, 0, cellWidth_, strip_.Height());
}

void TImageList::Draw(QPainter& painter, int x, int y, int index) const {
  const QRect cell = Cell(index);
  if (cell.isEmpty()) return;
  DrawPicturePart(strip_, painter, QRect(x, y, cell.width(), cell.height()), cell);
}

}  // namespace nivra::ui
