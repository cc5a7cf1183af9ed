#include "ads/windows/form_mini.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

#include "ads/windows/ad_link_handover.h"
#include "common/ufunction_window.h"
#include "ui/skin.h"
#include "ui/web/web_view.h"

namespace nivra::ads {
namespace {

constexpr int kTitleHeight = 30;
constexpr int kBottomHeight = 37;

// The parts of the title bar that move the window when dragged with the left button.
class TitleDrag final : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::MouseButtonPress) return false;
    auto* press = static_cast<QMouseEvent*>(event);
    auto* widget = qobject_cast<QWidget*>(watched);
    if (press->button() != Qt::LeftButton || !widget || widget->window()->isMaximized())
      return false;
    common::DragWindow(widget->window());
    return true;
  }
};

QWidget* WhitePanel(QWidget* parent, int height) {
  auto* panel = new QWidget(parent);
  panel->setFixedHeight(height);
  panel->setAutoFillBackground(true);
  QPalette pal = panel->palette();
  pal.setColor(QPalette::Window, Qt::white);
  panel->setPalette(pal);
  return panel;
}

}  // namespace

TFormMini::TFormMini(PopUpLauncher& launcher, StampShown stamp)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint),
      view_(*this),
      launcher_(launcher),
      stamp_(std::move(stamp)) {
  setWindowTitle(QStringLiteral("影视推荐"));
  resize(kClientWidth, kClientHeight);
  QFont f = font();
  f.setFamily(QStringLiteral("宋体"));
  f.setPixelSize(13);
  setFont(f);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  PnlTop_ = WhitePanel(this, kTitleHeight);
  buildTitleBar();
  wb1_ = new ui::WebView(this);
  pnlBottom_ = WhitePanel(this, kBottomHeight);
  // The bottom edge in the skin's bar pictures.
  auto* bottomBar =
      ui::MakeFrameBar(pnlBottom_, QStringLiteral("frame_bottom_left"),
                       QStringLiteral("frame_bottom_center"), QStringLiteral("frame_bottom_right"));
  auto* bottomFill = new QVBoxLayout(pnlBottom_);
  bottomFill->setContentsMargins(0, 0, 0, 0);
  bottomFill->addWidget(bottomBar);
  layout->addWidget(PnlTop_);
  layout->addWidget(wb1_, 1);
  layout->addWidget(pnlBottom_);
  imgMask_ = QImage(QStringLiteral(":/skin/mask.png"));
}

TFormMini::~TFormMini() { wb1_->webPage().setEvents({}); }

void TFormMini::buildTitleBar() {
  imgTopCenter_ =
      ui::MakeFrameBar(PnlTop_, QStringLiteral("dlg_top_left"), QStringLiteral("dlg_top_center"),
                       QStringLiteral("dlg_top_right"));
  imgTopCenter_->setGeometry(0, 0, kClientWidth, kTitleHeight);
  Label1_ = new QLabel(QStringLiteral("Nivra影视推荐"), PnlTop_);
  QFont bold = font();
  bold.setBold(true);
  Label1_->setFont(bold);
  QPalette pal = Label1_->palette();
  pal.setColor(QPalette::WindowText, Qt::white);
  Label1_->setPalette(pal);
  Label1_->setGeometry(44, 10, 389, 15);
  btnMin_ = ui::MakeImageButton(PnlTop_, QStringLiteral("btn_min"));
  btnMin_->OnClick = [this](QObject*) { showMinimized(); };
  BtnClose_ = ui::MakeImageButton(PnlTop_, QStringLiteral("btn_close"));
  BtnClose_->OnClick = [this](QObject*) { close(); };
  auto* drag = new TitleDrag(this);
  for (QWidget* w : {PnlTop_, imgTopCenter_, static_cast<QWidget*>(Label1_)})
    w->installEventFilter(drag);
}

QString TFormMini::title() const { return Label1_->text(); }

void TFormMini::ShowMiniWindow(const QString& url, int width, int height) {
  if (url.isEmpty()) return;
  const int w = width > 0 ? width : this->width();
  const int h = height > 0 ? height : this->height();
  rules_ = std::make_unique<MiniRules>(view_, url.toStdString(), stamp_);
  ui::WebPageEvents events;
  events.documentComplete = [this, w, h](const QUrl& completed) {
    rules_->DocumentComplete(completed.toString(QUrl::FullyEncoded).toStdString(), w, h);
  };
  events.navigationError = [this](const ui::NavigationError&) { rules_->NavigateError(); };
  events.windowCloseRequested = [this] { rules_->WindowClosing(); };
  events.scriptDialog = [this](ui::ScriptDialog, const QString& text) {
    rules_->ShowMessage(text.toStdString());
  };
  events.privateLink = PrivateLinkHandOver(wb1_->webPage(), launcher_);
  wb1_->webPage().setEvents(std::move(events));
  view_.setWindowGeometry(rules_->WaitingGeometry(w, h));
  wb1_->load(QUrl(url));
}

void TFormMini::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const int right = width() - 6;
  btnMin_->move(right - 2 * BtnClose_->width() - 4, 3);
  BtnClose_->move(right - BtnClose_->width(), 3);
  imgTopCenter_->setGeometry(0, 0, width(), kTitleHeight);
  common::ApplyFormCorners(this, imgMask_);
}

void TFormMini::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  if (event->isAccepted() && OnClosed) OnClosed();
}

}  // namespace nivra::ads
