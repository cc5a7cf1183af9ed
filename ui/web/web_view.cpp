#include "ui/web/web_view.h"

namespace nivra::ui {

WebView::WebView(QWidget* parent) : QWebEngineView(parent), page_(new WebPage(this)) {
  setPage(page_);
  setContextMenuPolicy(Qt::NoContextMenu);
}

}  // namespace nivra::ui
