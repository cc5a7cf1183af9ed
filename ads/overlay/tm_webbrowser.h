#pragma once
// TmWebbrowser: the page panel laid over a player's picture. A web view fills it; a small tip in
// its top-right corner writes a text over the page's own corner (dark text with a light halo).
// It centres itself in its parent with a 10-pixel dead band, shows "about:blank" instead of an
// error page, and passes Escape and Space on to its parent. It is a native window so that it
// stacks above the player's native video window.

#include <QPointer>
#include <QString>
#include <QWidget>

namespace nivra::ui {
class WebView;
}

namespace nivra::ads {

class TmWebbrowser final : public QWidget {
 public:
  explicit TmWebbrowser(QWidget* parent);
  ~TmWebbrowser() override;

  // Loads `url` unless the page is loading or already shows it (compared without case).
  void NavigateTo(const QString& url);
  void SetTipSize(int width, int height);
  // An empty text hides the tip; a text shows it once the page has completed.
  void SetTipText(const QString& text);
  const QString& TipText() const { return tipText_; }
  QWidget* Tip() const;
  // Centres the panel in its parent unless it is within 10 pixels of there, and pins the tip
  // to the top-right corner.
  void CenterInParent();
  ui::WebView& Browser() const { return *browser_; }
  bool Loading() const { return loading_; }

 protected:
  bool event(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  class TipPanel;
  void DrawTip();

  ui::WebView* browser_;
  TipPanel* tip_;
  QString tipText_;
  bool loading_ = false;
  bool pageDrawn_ = false;  // the current page has completed once
  QPointer<QWidget> watchedParent_;
};

}  // namespace nivra::ads
