#pragma once
// The picture container of the skinned controls: empty, a PNG image drawn with its alpha
// channel, or a bitmap drawn as a plain opaque copy. Copies are cheap (implicitly shared).

#include <QByteArray>
#include <QImage>
#include <QString>

namespace nivra::ui {

enum class TGraphicKind { gkNone, gkPNG, gkBitmap };

class TPicture {
 public:
  TPicture() = default;
  // A PNG picture: the image is kept with its alpha channel (premultiplied ARGB).
  static TPicture FromPNG(const QImage& image);
  // A bitmap picture: drawn without transparency.
  static TPicture FromBitmap(const QImage& image);

  // Reads PNG data; false (picture unchanged) when the data is not a PNG image.
  bool LoadFromData(const QByteArray& png);
  // Reads a file: a ".png" file as PNG, any other image file as a bitmap. False leaves the
  // picture unchanged.
  bool LoadFromFile(const QString& path);
  void Clear();

  TGraphicKind Kind() const { return kind_; }
  int Width() const { return image_.width(); }
  int Height() const { return image_.height(); }
  // True when the width or the height is below 1 (also for no graphic at all).
  bool Empty() const { return Width() < 1 || Height() < 1; }
  const QImage& Image() const { return image_; }

 private:
  static TPicture Make(TGraphicKind kind, const QImage& image);

  TGraphicKind kind_ = TGraphicKind::gkNone;
  QImage image_;
};

}  // namespace nivra::ui
