#pragma once
// Window helpers of the skinned borderless windows: dragging, the border hit test on a widget,
// the top-most band and the corner region cut from a mask picture.

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRegion>
#include <QSize>
#include <functional>
#include <optional>

class QWidget;

namespace nivra::common {

// Starts a move of the window by mouse: through the window manager when there is one, else by
// following the mouse until the left button is released.
// `pressed` is where the button went down (screen coordinates; default: the cursor now).
void DragWindow(QWidget* form, std::optional<QPoint> pressed = std::nullopt);
// Sizes `window` by its `edges` with the mouse (the left button is down): through the window
// manager when there is one, else by following the mouse, each proposed rectangle passed through
// `adjust` (e.g. a minimum size).
void TrackWindowResize(QWidget* window, Qt::Edges edges, QPoint pressed,
                       std::function<QRect(const QRect& proposed)> adjust = {});
// BorderHitTest for a point in screen coordinates over `control`.
int BorderHitTest(QPoint screenPos, const QWidget* control);
// Puts the window into the top-most band or out of it, without moving or activating it.
void SetWindowTopmost(QWidget* window, bool on);
// The window region for a form of `formSize` whose four corners are shaped by `mask` (one
// picture holding all four corners); pixels of exactly `transparent` colour are cut. An empty
// mask gives the whole rectangle.
QRegion CutFormCorners(const QImage& mask, QSize formSize, QColor transparent);
// Applies CutFormCorners to the form as its window region; does nothing for an empty mask.
void ApplyFormCorners(QWidget* form, const QImage& mask, QColor transparent = Qt::white);

}  // namespace nivra::common
