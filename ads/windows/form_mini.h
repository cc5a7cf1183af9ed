#pragma once
// TFormMini, the "/SHOWMINI" recommendation window: a skinned borderless frame (title bar with
// minimise and close, the browser, a bottom bar). It waits off-screen while its page loads and
// shows, centred in the work area, only when a page of the requested host has completed.

#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>

#include "ads/ad_ports.h"
#include "ads/windows/ad_window_rules.h"
#include "ads/windows/ad_window_view.h"

class QLabel;

namespace nivra::ui {
class WebView;
class TPNGButton;
}  // namespace nivra::ui

namespace nivra::ads {

class TFormMini final : public QWidget {
 public:
  static constexpr int kClientWidth = 529, kClientHeight = 412;

  // `launcher` starts the main program for private links; it outlives the form.
  TFormMini(PopUpLauncher& launcher, StampShown stamp);
  ~TFormMini() override;

  // Keeps `url`, sizes the form (a size of 0 or less keeps the form's own), puts it off-screen
  // and loads the page. An empty `url` does nothing.
  void ShowMiniWindow(const QString& url, int width, int height);

  ui::WebView& wb1() { return *wb1_; }
  QString title() const;

  // Runs once the window has closed.
  std::function<void()> OnClosed;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void buildTitleBar();

  WidgetWindowView view_;
  std::unique_ptr<MiniRules> rules_;
  PopUpLauncher& launcher_;
  StampShown stamp_;
  QWidget* PnlTop_ = nullptr;
  QWidget* imgTopCenter_ = nullptr;  // the title bar picture
  QLabel* Label1_ = nullptr;
  ui::TPNGButton* btnMin_ = nullptr;
  ui::TPNGButton* BtnClose_ = nullptr;
  ui::WebView* wb1_ = nullptr;
  QWidget* pnlBottom_ = nullptr;
  QImage imgMask_;
};

}  // namespace nivra::ads
