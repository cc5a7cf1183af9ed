#include "ads/windows/htm_form_show.h"

#include <QCloseEvent>
#include <QVBoxLayout>

#include "ads/windows/ad_link_handover.h"
#include "ui/web/web_view.h"

namespace nivra::ads {

THtmFormShow::THtmFormShow(platform::EventLoop& loop, PopUpLauncher& launcher, int width,
                           int height, int showTimeMs, StampShown stamp)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus),
      view_(*this),
      rules_(loop, view_, width, height, showTimeMs, std::move(stamp)),
      browser_(new ui::WebView(this)) {
  setAttribute(Qt::WA_ShowWithoutActivating, true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(browser_);

  ui::WebPageEvents events;
  events.documentComplete = [this](const QUrl&) { rules_.DocumentComplete(); };
  events.navigationError = [this](const ui::NavigationError&) { rules_.NavigateError(); };
  events.windowCloseRequested = [this] { rules_.WindowClosing(); };
  events.scriptDialog = [this](ui::ScriptDialog, const QString& text) {
    rules_.ShowMessage(text.toStdString());
  };
  events.privateLink = PrivateLinkHandOver(browser_->webPage(), launcher);
  browser_->webPage().setEvents(std::move(events));
}

// The page reports nothing more once the form goes.
THtmFormShow::~THtmFormShow() { browser_->webPage().setEvents({}); }

void THtmFormShow::Navigate(const QString& url) { browser_->load(QUrl(url)); }

void THtmFormShow::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  if (event->isAccepted() && OnClosed) OnClosed();
}

}  // namespace nivra::ads
