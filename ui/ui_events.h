#pragma once
// The event types of the skinned controls: handlers get the sender first.

#include <QObject>
#include <functional>

namespace nivra::ui {

using TNotifyEvent = std::function<void(QObject* sender)>;
// A mouse button went down at (x, y) in the sender's coordinates.
using TMouseEvent = std::function<void(QObject* sender, Qt::MouseButton button,
                                       Qt::KeyboardModifiers shift, int x, int y)>;

}  // namespace nivra::ui
