#include "ui/png_picture.h"

#include <QFileInfo>

namespace nivra::ui {

TPicture TPicture::Make(TGraphicKind kind, const QImage& image) {
  TPicture p;
  if (image.isNull()) return p;
  p.kind_ = kind;
  p.image_ = image.convertToFormat(kind == TGraphicKind::gkPNG ? QImage::Format_ARGB32_Premultiplied
                                                               : QImage::Format_RGB32);
  return p;
}

TPicture TPicture::FromPNG(const QImage& image) { return Make(TGraphicKind::gkPNG, image); }

TPicture TPicture::FromBitmap(const QImage& image) { return Make(TGraphicKind::gkBitmap, image); }

bool TPicture::LoadFromData(const QByteArray& png) {
  QImage image;
  if (!image.loadFromData(png, "PNG")) return false;
  *this = FromPNG(image);
  return true;
}

bool TPicture::LoadFromFile(const QString& path) {
  QImage image;
  if (!image.load(path)) return false;
  const bool isPng =
      QFileInfo(path).suffix().compare(QStringLiteral("png"), Qt::CaseInsensitive) == 0;
  *this = isPng ? FromPNG(image) : FromBitmap(image);
  return true;
}

void TPicture::Clear() { *this = TPicture(); }

}  // namespace nivra::ui
