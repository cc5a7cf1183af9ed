#pragma once
// The image layer every skinned control draws through: a rectangle of a picture into a
// rectangle of a painter, three-slice widening, the three draw styles, the built-in images and
// painting what lies under a control. Rectangles follow the edge convention of the skins:
// RectLTRB(left, top, right, bottom) with right and bottom exclusive.

#include <QColor>
#include <QRect>
#include <cmath>
#include <cstdint>
#include <string_view>

#include "ui/png_picture.h"

class QPainter;
class QWidget;

namespace nivra::ui {

enum TPNGDrawStyle : int { dsNone = 0, dsStretch = 1, dsTile = 2 };

// The rectangle from (left, top) to (right, bottom), right and bottom exclusive.
inline QRect RectLTRB(int left, int top, int right, int bottom) {
  return QRect(left, top, right - left, bottom - top);
}

// Rounds to the nearest integer, halves to the even neighbour (the rounding of all skin
// geometry).
inline int RoundHalfEven(double value) { return static_cast<int>(std::nearbyint(value)); }

// A colour in the skins' 0x00BBGGRR order.
inline QColor ColorFromTColor(std::uint32_t bgr) {
  return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                static_cast<int>((bgr >> 16) & 0xFF));
}

// Draws `source` of the picture into `dest`. A PNG picture is blended with its alpha; when the
// destination is larger than the source in a direction and the source spans more than one pixel
// there, the source loses its last row or column (so stretching never samples the edge pixel
// beyond it). A bitmap is copied opaque, stretched. Nothing for an empty picture or rectangle.
void DrawPicturePart(const TPicture& picture, QPainter& painter, const QRect& dest,
                     const QRect& source);

// Draws `source` into `dest` keeping the left and right halves at their width and stretching
// the one column between them; heights always stretch to the whole of `dest`.
void DrawThreeSlice(const TPicture& picture, QPainter& painter, const QRect& dest,
                    const QRect& source);

// Draws cell `cell` of a picture holding `cells` cells side by side in `style`: dsNone at
// (0, 0) in its own size whatever `dest` is, dsStretch into `dest`, dsTile repeated from
// dest's top-left corner (the last row and column overhang dest). Other styles draw nothing.
void DrawPictureStyled(const TPicture& picture, QPainter& painter, const QRect& dest, int style,
                       int cell, int cells);

// Loads the built-in PNG image `name` of resource type `type` (":/skin/<type>/<name>.png").
// False, and the picture unchanged, when there is no such image.
bool LoadPNGFromResource(TPicture& picture, std::string_view name,
                         std::string_view type = "PNGIMG");

// Paints what lies under `control` into `painter` (whose origin is the control's top-left
// corner): its parent's background and painting, and the parent's children stacked below the
// control. Widgets that set MarkCopiesParentBackground paint their own under-part and are not
// looked through again.
void CopyParentBackground(const QWidget* control, QPainter& painter);

// Marks a widget as one that paints what lies under it itself (transparent panels, check
// boxes and the like).
void MarkCopiesParentBackground(QWidget* widget);

}  // namespace nivra::ui
