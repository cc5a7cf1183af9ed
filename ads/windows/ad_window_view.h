#pragma once
// The ad windows as AdWindowView: a top-level widget on its screen's available area, shown
// without taking the focus and raised without being activated.

#include "ads/windows/ad_window_rules.h"

class QWidget;

namespace nivra::ads {

class WidgetWindowView final : public AdWindowView {
 public:
  explicit WidgetWindowView(QWidget& window) : window_(window) {}

  WindowRect workArea() const override;
  void setWindowGeometry(const WindowRect& rect) override;
  bool isShown() const override;
  void showWindow() override;
  void bringAboveOthers() override;
  void closeWindow() override;

 private:
  QWidget& window_;
};

}  // namespace nivra::ads
