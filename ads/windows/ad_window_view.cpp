#include "ads/windows/ad_window_view.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace nivra::ads {

WindowRect WidgetWindowView::workArea() const {
  QScreen* screen = window_.screen() ? window_.screen() : QGuiApplication::primaryScreen();
  if (!screen) return {};
  const QRect r = screen->availableGeometry();
  return {r.x(), r.y(), r.width(), r.height()};
}

void WidgetWindowView::setWindowGeometry(const WindowRect& rect) {
  window_.setGeometry(rect.x, rect.y, rect.width, rect.height);
}

bool WidgetWindowView::isShown() const { return window_.isVisible(); }

void WidgetWindowView::showWindow() {
  window_.setAttribute(Qt::WA_ShowWithoutActivating, true);
  window_.show();
}

void WidgetWindowView::bringAboveOthers() { window_.raise(); }

void WidgetWindowView::closeWindow() { window_.close(); }

}  // namespace nivra::ads
