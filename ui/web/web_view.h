#pragma once
// The widget that shows a WebPage: no context menu of its own, the page owned by the view.

#include <QWebEngineView>

#include "ui/web/web_page.h"

namespace nivra::ui {

class WebView final : public QWebEngineView {
 public:
  explicit WebView(QWidget* parent = nullptr);

  WebPage& webPage() { return *page_; }

 private:
  WebPage* page_;  // child of the view
};

}  // namespace nivra::ui
