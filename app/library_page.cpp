#include "app/library_page.h"

#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>
#include <cmath>

#include "catalogue/link_list.h"
#include "net/server_endpoints.h"
#include "platform/debug_output.h"
#include "platform/messages.h"
#include "ui/png_image.h"
#include "ui/png_track_bar.h"
#include "ui/roll_label.h"
#include "ui/skin.h"
#include "ui/web/web_view.h"

namespace nivra::app {
namespace {

const QColor kMaskBackground(0x15, 0x17, 0x1c);
const QColor kText(0xd4, 0xd9, 0xe0);
const QColor kLinkText(Qt::white);
const QColor kLinkHover(0xfe, 0xbf, 0x00);  // the labels' colour under the mouse (49150)
constexpr int kLogoWidth = 240;
constexpr int kLogoHeight = 80;
constexpr int kInfoWidth = 300;
constexpr int kErrorWidth = 460;
constexpr int kLoadBarHeight = 13;

const char kInfoText[] = "精彩视频库  正在加载中";
const char kErrorText[] =
    "很抱歉，未能连接到网络\n建议您：检查网络连接是否连接正常，如果连接正常，请返刷新重试";

void SetTextColour(QLabel* label, const QColor& colour) {
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, colour);
  label->setPalette(palette);
}

QLabel* TextLabel(QWidget* parent, const char* name, const QString& text, int pixelSize) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setAlignment(Qt::AlignCenter);
  SetTextColour(label, kText);
  QFont font = label->font();
  font.setPixelSize(pixelSize);
  label->setFont(font);
  return label;
}

// "返回" and "刷新": white text that turns orange under the mouse and acts on a click.
class CommandLabel final : public QLabel {
 public:
  CommandLabel(QWidget* parent, const char* name, const QString& text, std::function<void()> act)
      : QLabel(text, parent), act_(std::move(act)) {
    setObjectName(QString::fromLatin1(name));
    setCursor(Qt::PointingHandCursor);
    SetTextColour(this, kLinkText);
    QFont f = font();
    f.setPixelSize(14);
    f.setUnderline(true);
    setFont(f);
  }

 protected:
  void enterEvent(QEnterEvent* event) override {
    SetTextColour(this, kLinkHover);
    QLabel::enterEvent(event);
  }
  void leaveEvent(QEvent* event) override {
    SetTextColour(this, kLinkText);
    QLabel::leaveEvent(event);
  }
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) act_();
  }

 private:
  std::function<void()> act_;
};

QWidget* Logo(QWidget* parent, const char* name) {
  auto* logo = new ui::TPNGImage(parent);
  logo->setObjectName(QString::fromLatin1(name));
  logo->SetPNGImage(ui::SkinPicture(QStringLiteral("logo")));
  logo->setFixedSize(kLogoWidth, kLogoHeight);
  return logo;
}

// A panel centred on the mask: the logo on top of a column the caller fills.
QWidget* MaskPanel(QWidget* mask, const char* name, const char* logoName, int width) {
  auto* panel = new QWidget(mask);
  panel->setObjectName(QString::fromLatin1(name));
  panel->setFixedWidth(width);
  auto* column = new QVBoxLayout(panel);
  column->setSpacing(10);
  column->addWidget(Logo(panel, logoName), 0, Qt::AlignHCenter);
  return panel;
}

QHBoxLayout* CommandRow(QWidget* parent, const char* backName, const char* refreshName,
                        TLibraryPage* page) {
  auto* row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(
      new CommandLabel(parent, backName, QStringLiteral("返回"), [page] { page->Back(); }));
  row->addSpacing(24);
  row->addWidget(
      new CommandLabel(parent, refreshName, QStringLiteral("刷新"), [page] { page->Refresh(); }));
  row->addStretch();
  return row;
}

}  // namespace

TLibraryPage::TLibraryPage(platform::EventLoop& loop, QString startPage, QWidget* parent)
    : QWidget(parent), loop_(loop), startPage_(QUrl(startPage).toString()) {
  wb1_ = new ui::WebView(this);
  wb1_->setObjectName(QStringLiteral("wb1"));
  // Until the first page arrives the browser is black, as the mask over it.
  wb1_->webPage().setBackgroundColor(Qt::black);

  pnlMask_ = new QWidget(this);
  pnlMask_->setObjectName(QStringLiteral("pnlMask"));
  QPalette palette = pnlMask_->palette();
  palette.setColor(QPalette::Window, kMaskBackground);
  pnlMask_->setPalette(palette);
  pnlMask_->setAutoFillBackground(true);

  pnlInfo_ = MaskPanel(pnlMask_, "pnlInfo", "imgLogo", kInfoWidth);
  auto* info = static_cast<QVBoxLayout*>(pnlInfo_->layout());
  info->addWidget(TextLabel(pnlInfo_, "lblInfo", QString::fromUtf8(kInfoText), 14));
  pgLoad_ = new ui::TPNGPlayTrackBar(pnlInfo_);
  pgLoad_->setObjectName(QStringLiteral("pgLoad"));
  pgLoad_->SetBgPic(ui::SkinPicture(QStringLiteral("seek_bar")));
  pgLoad_->setFixedHeight(kLoadBarHeight);
  pgLoad_->setAttribute(Qt::WA_TransparentForMouseEvents);
  info->addWidget(pgLoad_);
  info->addLayout(CommandRow(pnlInfo_, "lblBack", "lblRefresh", this));
  for (const char* name : {"lblBack", "lblRefresh"})
    pnlInfo_->findChild<QLabel*>(QString::fromLatin1(name))->hide();

  pnlError_ = MaskPanel(pnlMask_, "pnlError", "imgError", kErrorWidth);
  auto* error = static_cast<QVBoxLayout*>(pnlError_->layout());
  auto* text = TextLabel(pnlError_, "lblError", QString::fromUtf8(kErrorText), 14);
  text->setWordWrap(true);
  error->addWidget(text);
  error->addLayout(CommandRow(pnlError_, "lblErrorBack", "lblErrorRefresh", this));
  pnlError_->hide();

  ui::WebPageEvents events;
  events.beforeNavigate = [this](const ui::NavigationRequest& r) {
    return OnBeforeNavigate(r.url, r.isMainFrame);
  };
  events.loadProgress = [this](int percent) { OnProgressChange(percent, 100); };
  events.documentComplete = [this](const QUrl&) { OnDocumentComplete(); };
  events.navigationError = [this](const ui::NavigationError&) { OnNavigateError(); };
  events.scriptDialog = [](ui::ScriptDialog, const QString& text) {
    platform::debugOutput("OnLibShowMessage:" + text.toStdString());
  };
  events.privateLink = [this](const QString& link) {
    if (OnPrivateLink) OnPrivateLink(link);
  };
  wb1_->webPage().setEvents(std::move(events));
  pnlMask_->raise();
}

TLibraryPage::~TLibraryPage() {
  StopHideTimer();
  // The page's callbacks point here; the view goes after this object's members.
  wb1_->webPage().setEvents({});
}

void TLibraryPage::Navigate(const QString& url) { wb1_->setUrl(QUrl(url)); }

bool TLibraryPage::ShowsBlank() const {
  const QUrl url = wb1_->url();
  return url.isEmpty() || url.toString().compare(u"about:blank", Qt::CaseInsensitive) == 0;
}

void TLibraryPage::Back() { wb1_->back(); }

void TLibraryPage::Refresh() {
  if (wb1_->webPage().isLoading()) wb1_->stop();
  Navigate(lastNavigateUrl_);
}

bool TLibraryPage::OnBeforeNavigate(const QUrl& url, bool isMainFrame) {
  lastNavigateUrl_ = url.toString();
  if (lastNavigateUrl_.compare(u"about:blank", Qt::CaseInsensitive) == 0) return true;
  // A frame's navigation leaves the mask alone: frames report no completion that would start
  // the count-down again.
  if (!isMainFrame) return true;
  StopHideTimer();
  pgLoad_->SetPosition(0);
  if (lastNavigateUrl_.compare(startPage_, Qt::CaseInsensitive) == 0) ShowMask(false);
  return true;
}

void TLibraryPage::OnProgressChange(int progress, int progressMax) {
  if (progress <= 0 || progressMax <= 0) return;
  // The bar fills over the first fifth of the page's progress; then the mask goes soon after.
  if (!pnlMask_->isHidden() && !HideMaskPending()) {
    const double limit = progressMax * 0.2;
    if (limit > progress) {
      ShowErrorPanel(false);
      pgLoad_->SetMax(static_cast<int>(std::lround(limit)));
      pgLoad_->SetPosition(progress);
      return;
    }
  }
  if (!pnlError_->isHidden()) return;
  pgLoad_->SetMax(progressMax);
  pgLoad_->SetPosition(progress);
  StartHideTimer();
}

void TLibraryPage::OnDocumentComplete() {
  // A page that loaded is no error any more (also one that is not the start page, as after
  // "返回"): the mask goes with the count-down.
  if (!pnlError_->isHidden()) ShowErrorPanel(false);
  StartHideTimer();
}

void TLibraryPage::OnNavigateError() {
  ShowMask(true);
  StopHideTimer();
}

void TLibraryPage::OnHideMaskTick() {
  StopHideTimer();
  if (pnlError_->isHidden()) pnlMask_->hide();
}

void TLibraryPage::StartHideTimer() {
  if (hideTimer_ == 0) hideTimer_ = loop_.startTimer(kHideMaskMs, [this] { OnHideMaskTick(); });
}

void TLibraryPage::StopHideTimer() {
  if (hideTimer_ != 0) loop_.killTimer(hideTimer_);
  hideTimer_ = 0;
}

void TLibraryPage::ShowMask(bool withError) {
  ShowErrorPanel(withError);
  pnlMask_->show();
  pnlMask_->raise();
}

void TLibraryPage::ShowErrorPanel(bool on) {
  // The two panels share the middle of the mask.
  pnlError_->setVisible(on);
  pnlInfo_->setVisible(!on);
  PlaceMaskPanels();
}

void TLibraryPage::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  wb1_->setGeometry(rect());
  pnlMask_->setGeometry(rect());
  PlaceMaskPanels();
}

void TLibraryPage::PlaceMaskPanels() {
  for (QWidget* panel : {pnlInfo_, pnlError_}) {
    panel->adjustSize();
    panel->move((pnlMask_->width() - panel->width()) / 2,
                (pnlMask_->height() - panel->height()) / 2);
  }
}

void ShowLeftList(ui::TRollLabel& label, const std::filesystem::path& dataFolder) {
  if (auto lines = catalogue::InstallLinkList(dataFolder, "left.xml")) label.SetLines(*lines);
}

void FetchLeftList(platform::MessageTarget& window, const net::ServerEndpoints& endpoints,
                   const std::filesystem::path& dataFolder, net::BackgroundTasks& tasks,
                   net::DownloadRetry retry) {
  catalogue::FetchLinkList(window, endpoints.leftXml(), dataFolder, "left.xml",
                           platform::WM_LEFT_XML_READY, tasks, retry);
}

}  // namespace nivra::app
