#pragma once
// THtmFormShow, the "/SHOWAD" window: a borderless tool window (no taskbar entry) holding only
// the browser. It stays hidden until its first page has loaded, then sits at the bottom-right
// corner of the work area above the ordinary windows, and closes after its display time.

#include <QWidget>
#include <functional>

#include "ads/ad_ports.h"
#include "ads/windows/ad_window_rules.h"
#include "ads/windows/ad_window_view.h"

namespace nivra::ui {
class WebView;
}

namespace nivra::ads {

class THtmFormShow final : public QWidget {
 public:
  // `launcher` starts the main program for private links; both it and `loop` outlive the form.
  THtmFormShow(platform::EventLoop& loop, PopUpLauncher& launcher, int width, int height,
               int showTimeMs, StampShown stamp);
  ~THtmFormShow() override;

  void Navigate(const QString& url);
  ui::WebView& browser() { return *browser_; }
  const AdShowRules& rules() const { return rules_; }

  // Runs once the window has closed.
  std::function<void()> OnClosed;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  WidgetWindowView view_;
  AdShowRules rules_;
  ui::WebView* browser_;
};

}  // namespace nivra::ads
