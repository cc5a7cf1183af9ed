#include "ads/overlay/tm_webbrowser.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
#include <cstdlib>

#include "ui/web/web_view.h"

namespace nivra::ads {

namespace {
constexpr int kDeadBand = 10;
constexpr const char* kBlank = "about:blank";
}  // namespace

// The tip shows a picture of the page's corner with the text written over it.
class TmWebbrowser::TipPanel final : public QWidget {
 public:
  explicit TipPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pnlTip"));
    setAttribute(Qt::WA_NativeWindow);
    setAttribute(Qt::WA_OpaquePaintEvent);
  }
  void setPicture(QPixmap picture) {
    picture_ = std::move(picture);
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.drawPixmap(0, 0, picture_);
  }

 private:
  QPixmap picture_;
};

TmWebbrowser::TmWebbrowser(QWidget* parent)
    : QWidget(parent), browser_(new ui::WebView(this)), tip_(new TipPanel(this)) {
  setObjectName(QStringLiteral("AdBrowser"));
  setAttribute(Qt::WA_NativeWindow);
  browser_->setAttribute(Qt::WA_NativeWindow);
  browser_->setFocusPolicy(Qt::NoFocus);
  tip_->setGeometry(0, 0, 1, 1);
  tip_->hide();
  ui::WebPageEvents events;
  events.loadStarted = [this](const QUrl&) {
    loading_ = true;
    pageDrawn_ = false;
  };
  events.documentComplete = [this](const QUrl&) {
    loading_ = false;
    pageDrawn_ = true;
    tip_->setVisible(!tipText_.isEmpty());
    DrawTip();
  };
  // No error page: a failed page leaves the panel blank.
  events.navigationError = [this](const ui::NavigationError&) {
    loading_ = false;
    browser_->setUrl(QUrl(QString::fromLatin1(kBlank)));
  };
  browser_->webPage().setEvents(std::move(events));
  browser_->installEventFilter(this);
  if (parent) {
    watchedParent_ = parent;
    parent->installEventFilter(this);
  }
}

TmWebbrowser::~TmWebbrowser() { browser_->stop(); }

QWidget* TmWebbrowser::Tip() const { return tip_; }

void TmWebbrowser::NavigateTo(const QString& url) {
  if (loading_) return;
  if (browser_->url().toString().compare(url, Qt::CaseInsensitive) == 0) return;
  browser_->setUrl(QUrl(url));
}

void TmWebbrowser::SetTipSize(int width, int height) {
  tip_->setGeometry(this->width() - tip_->width(), 0, width, height);
}

void TmWebbrowser::SetTipText(const QString& text) {
  tipText_ = text;
  // The tip writes over the page's own corner, so it waits for the page to be there.
  tip_->setVisible(!text.isEmpty() && pageDrawn_);
  DrawTip();
}

void TmWebbrowser::CenterInParent() {
  if (QWidget* parent = parentWidget()) {
    const int x = (parent->width() - width()) / 2;
    const int y = (parent->height() - height()) / 2;
    QPoint at = pos();
    if (std::abs(x - at.x()) > kDeadBand) at.setX(x);
    if (std::abs(y - at.y()) > kDeadBand) at.setY(y);
    if (at != pos()) move(at);
  }
  tip_->move(width() - tip_->width(), 0);
  tip_->raise();
  DrawTip();
}

void TmWebbrowser::DrawTip() {
  if (!tip_->isVisible()) return;
  // The page's own corner under the text, so the tip reads as written on the page.
  const QRect corner(width() - tip_->width(), 0, tip_->width(), tip_->height());
  QPixmap picture(tip_->size());
  picture.fill(Qt::white);
  QPainter painter(&picture);
  if (browser_->isVisible()) painter.drawPixmap(QPoint(0, 0), browser_->grab(corner));
  QFont font = painter.font();
  font.setPixelSize(13);
  painter.setFont(font);
  const QPoint at(1, 3 + painter.fontMetrics().ascent());
  painter.setPen(QColor(0xDB, 0xDB, 0xDB));
  for (int dx = -1; dx <= 1; ++dx)
    for (int dy = -1; dy <= 1; ++dy)
      if (dx || dy) painter.drawText(at + QPoint(dx, dy), tipText_);
  painter.setPen(Qt::black);
  painter.drawText(at, tipText_);
  painter.end();
  tip_->setPicture(std::move(picture));
}

bool TmWebbrowser::event(QEvent* event) {
  if (event->type() == QEvent::ParentChange) {
    if (watchedParent_) watchedParent_->removeEventFilter(this);
    watchedParent_ = parentWidget();
    if (watchedParent_) watchedParent_->installEventFilter(this);
    CenterInParent();
  }
  return QWidget::event(event);
}

void TmWebbrowser::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  browser_->setGeometry(rect());
  CenterInParent();
}

bool TmWebbrowser::eventFilter(QObject* watched, QEvent* event) {
  if (watched == watchedParent_ && event->type() == QEvent::Resize) {
    CenterInParent();
  } else if (event->type() == QEvent::KeyPress && parentWidget()) {
    // Escape and Space belong to the host (leave full screen, pause).
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Escape || key->key() == Qt::Key_Space) {
      QKeyEvent copy(QEvent::KeyPress, key->key(), key->modifiers());
      QApplication::sendEvent(parentWidget(), &copy);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace nivra::ads
