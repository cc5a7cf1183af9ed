#include "ui/png_common.h"

#include <QFile>
#include <QPainter>
#include <QWidget>
#include <algorithm>

namespace nivra::ui {
namespace {

constexpr const char* kCopiesParent = "nivraCopiesParentBackground";

bool paintsOwnBackground(const QWidget* w) {
  return w->isWindow() || w->autoFillBackground() || w->testAttribute(Qt::WA_OpaquePaintEvent);
}

// Paints `area` (in `parent` coordinates) of `parent` and of its children stacked below
// `above` into `painter`, whose origin is area's top-left corner.
void paintArea(QWidget* parent, const QRect& area, const QWidget* above, QPainter& painter) {
  const bool copiesItself = parent->property(kCopiesParent).toBool();
  const bool opaque = paintsOwnBackground(parent);
  if (!opaque && !copiesItself && parent->parentWidget()) {
    // A see-through parent shows its own parent: paint that first.
    paintArea(parent->parentWidget(), area.translated(parent->pos()), parent, painter);
  }
  const QRect inParent = area & parent->rect();
  if (!inParent.isEmpty()) {
    parent->render(&painter, inParent.topLeft() - area.topLeft(), QRegion(inParent),
                   opaque ? QWidget::DrawWindowBackground : QWidget::RenderFlags());
  }
  for (QObject* object : parent->children()) {
    if (object == above) break;
    auto* sibling = qobject_cast<QWidget*>(object);
    if (!sibling || sibling->isWindow() || sibling->isHidden()) continue;
    const QRect overlap = area & sibling->geometry();
    if (overlap.isEmpty()) continue;
    const QRect local = overlap.translated(-sibling->pos());
    QWidget::RenderFlags flags = QWidget::DrawChildren;
    if (sibling->autoFillBackground()) flags |= QWidget::DrawWindowBackground;
    sibling->render(&painter, overlap.topLeft() - area.topLeft(), QRegion(local), flags);
  }
}

}  // namespace

void DrawPicturePart(const TPicture& picture, QPainter& painter, const QRect& dest,
                     const QRect& source) {
  if (picture.Empty()) return;
  int sw = source.width(), sh = source.height();
  const int dw = dest.width(), dh = dest.height();
  switch (picture.Kind()) {
    case TGraphicKind::gkPNG: {
      if (sw < 1 || sh < 1 || dw < 1 || dh < 1) return;
      if (dw > sw && sw > 1) --sw;
      if (dh > sh && sh > 1) --sh;
      painter.drawImage(dest, picture.Image(), QRect(source.left(), source.top(), sw, sh));
      return;
    }
    case TGraphicKind::gkBitmap: {
      if (sw < 1 || sh < 1 || dw < 1 || dh < 1) return;
      const auto mode = painter.compositionMode();
      painter.setCompositionMode(QPainter::CompositionMode_Source);
      painter.drawImage(dest, picture.Image(), source);
      painter.setCompositionMode(mode);
      return;
    }
    case TGraphicKind::gkNone:
      return;
  }
}

void DrawThreeSlice(const TPicture& picture, QPainter& painter, const QRect& dest,
                    const QRect& source) {
  const int w = std::min(source.width(), dest.width());
  const int h = std::min(source.height(), dest.height());
  const int a = w / 2, c = w % 2;
  const int sl = source.left(), st = source.top(), sr = source.left() + source.width();
  const int dl = dest.left(), dt = dest.top(), dr = dest.left() + dest.width();
  const int db = dest.top() + dest.height();
  DrawPicturePart(picture, painter, RectLTRB(dl, dt, dl + a, db), RectLTRB(sl, st, sl + a, st + h));
  DrawPicturePart(picture, painter, RectLTRB(dl + a, dt, dr - a + c, db),
                  RectLTRB(sl + a, st, sl + a + 1, st + h));
  DrawPicturePart(picture, painter, RectLTRB(dr - a + c, dt, dr, db),
                  RectLTRB(sr - a, st, sr, st + h));
}

void DrawPictureStyled(const TPicture& picture, QPainter& painter, const QRect& dest, int style,
                       int cell, int cells) {
  if (picture.Empty()) return;
  const int cw = cells > 0 ? picture.Width() / cells : picture.Width();
  const int ch = picture.Height();
  QRect source(0, 0, cw, ch);
  if (cell > 0 && cell < cells) source.translate(cell * cw, 0);
  switch (style) {
    case dsNone:
      DrawPicturePart(picture, painter, QRect(0, 0, cw, ch), source);
      break;
    case dsStretch:
      DrawPicturePart(picture, painter, dest, source);
      break;
    case dsTile:
      if (cw < 1 || ch < 1) return;
      for (int r = 0; r <= dest.height() / ch; ++r)
        for (int k = 0; k <= dest.width() / cw; ++k)
          DrawPicturePart(picture, painter,
                          QRect(dest.left() + k * cw, dest.top() + r * ch, cw, ch), source);
      break;
    default:
      break;
  }
}

bool LoadPNGFromResource(TPicture& picture, std::string_view name, std::string_view type) {
  if (name.empty()) return false;
  const QString path =
      QStringLiteral(":/skin/%1/%2.png")
          .arg(QString::fromUtf8(type.data(), static_cast<qsizetype>(type.size())),
               QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  return picture.LoadFromData(file.readAll());
}

void CopyParentBackground(const QWidget* control, QPainter& painter) {
  QWidget* parent = control ? control->parentWidget() : nullptr;
  if (!parent || control->isWindow()) return;
  paintArea(parent, control->geometry(), control, painter);
}

void MarkCopiesParentBackground(QWidget* widget) { widget->setProperty(kCopiesParent, true); }

}  // namespace nivra::ui
