#include "app/main_form_ui.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "ui/skin.h"

namespace nivra::app {
namespace {

using ui::MakeImageButton;

const QColor kBackground(0x15, 0x17, 0x1c);
const QColor kPanel(0x1c, 0x1f, 0x24);
const QColor kText(0xd4, 0xd9, 0xe0);
const QColor kDim(0x8a, 0x92, 0x9c);
constexpr int kTitleHeight = 34;
constexpr int kBottomHeight = 60;
constexpr int kProgressHeight = 19;
constexpr int kEdge = 4;

template <class W = QWidget>
W* Named(W* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

QWidget* Panel(QWidget* parent, const char* name, const QColor& colour) {
  auto* panel = Named(new QWidget(parent), name);
  QPalette palette = panel->palette();
  palette.setColor(QPalette::Window, colour);
  panel->setPalette(palette);
  panel->setAutoFillBackground(true);
  return panel;
}

QLabel* Label(QWidget* parent, const char* name, const QString& text, const QColor& colour,
              int pixelSize) {
  auto* label = Named(new QLabel(text, parent), name);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, colour);
  label->setPalette(palette);
  QFont font = label->font();
  font.setPixelSize(pixelSize);
  label->setFont(font);
  return label;
}

ui::TPNGImage* Stretched(QWidget* parent, const char* name, const char* picture) {
  auto* image = Named(new ui::TPNGImage(parent), name);
  image->SetDrawStyle(ui::dsStretch);
  image->SetPNGImage(ui::SkinPicture(QString::fromLatin1(picture)));
  return image;
}

template <class Button = ui::TPNGButton>
Button* ActionButton(QWidget* parent, const char* name, const char* picture, QAction* action,
                     int stateMax = 1, int numGlyphs = 4) {
  auto* button = Named(
      MakeImageButton<Button>(parent, QString::fromLatin1(picture), stateMax, numGlyphs), name);
  if (action) button->SetAction(action);
  return button;
}

ui::TPNGPlayTrackBar* TrackBar(QWidget* parent, const char* name, const char* strip,
                               const char* thumb) {
  auto* bar = Named(new ui::TPNGPlayTrackBar(parent), name);
  bar->SetBgPic(ui::SkinPicture(QString::fromLatin1(strip)));
  bar->SetBtnImage(ui::SkinPicture(QString::fromLatin1(thumb)));
  return bar;
}

void BuildTitleBar(QWidget* form, const CommandSet& commands, MainFormUi& u) {
  u.PnlTop =
      Named(ui::MakeFrameBar(form, QStringLiteral("frame_top_left"),
                             QStringLiteral("frame_top_center"), QStringLiteral("frame_top_right")),
            "PnlTop");
  u.PnlTop->setFixedHeight(kTitleHeight);
  auto* logo = Named(new ui::TPNGImage(u.PnlTop), "imgLogo");
  logo->SetDrawStyle(ui::dsStretch);
  logo->SetPNGImage(ui::SkinPicture(QStringLiteral("logo")));
  logo->setGeometry(10, 5, 72, 24);
  logo->setAttribute(Qt::WA_TransparentForMouseEvents);
  u.lblCaption = Label(u.PnlTop, "lblCaption", QStringLiteral("Nivra"), kText, 13);
  u.lblCaption->setAttribute(Qt::WA_TransparentForMouseEvents);

  u.pnlTabBtns = Named(new ui::TPNGTransPanel(u.PnlTop), "pnlTabBtns");
  u.btnPageLib = ActionButton<ui::TPNGCaptionButton>(u.pnlTabBtns, "btnPageLib", "btn_page",
                                                     commands[Command::PageLib], 2);
  u.btnPagePlay = ActionButton<ui::TPNGCaptionButton>(u.pnlTabBtns, "btnPagePlay", "btn_page",
                                                      commands[Command::PagePlay], 2);
  for (ui::TPNGCaptionButton* b : {u.btnPageLib, u.btnPagePlay}) b->SetShowCaption(true);
  u.btnPagePlay->move(u.btnPageLib->width() + 4, 0);
  u.pnlTabBtns->resize(u.btnPageLib->width() * 2 + 4, u.btnPageLib->height());

  u.pnlTopBtns = Named(new ui::TPNGTransPanel(u.PnlTop), "pnlTopBtns");
  u.btnMenu = ActionButton(u.pnlTopBtns, "btnMenu", "btn_menu", nullptr);
  u.btnMin = ActionButton(u.pnlTopBtns, "btnMin", "btn_min", commands[Command::Min]);
  u.btnMax = ActionButton(u.pnlTopBtns, "btnMax", "btn_max", commands[Command::Max], 2);
  u.btnClose = ActionButton(u.pnlTopBtns, "btnClose", "btn_close", commands[Command::CloseOrTray]);
  int x = 0;
  for (ui::TPNGButton* b : {u.btnMenu, u.btnMin, u.btnMax, u.btnClose}) {
    b->move(x, 0);
    x += b->width();
  }
  u.pnlTopBtns->resize(x, u.btnClose->height());
  u.btnClose->setToolTip(QStringLiteral("关闭"));
}

void BuildControlBar(QWidget* tbPlay, const CommandSet& commands, platform::EventLoop& loop,
                     MainFormUi& u) {
  u.pnlBottom = Named(new QWidget(tbPlay), "pnlBottom");
  u.pnlBottom->setFixedHeight(kBottomHeight);
  u.imgBottomLeft = Stretched(u.pnlBottom, "imgBottomLeft", "frame_bottom_left");
  u.imgBottomCenter = Stretched(u.pnlBottom, "imgBottomCenter", "frame_bottom_center");
  u.imgBottomRight = Stretched(u.pnlBottom, "imgBottomRight", "frame_bottom_right");

  u.pnlBtnBottom = Named(new ui::TPNGTransPanel(u.pnlBottom), "pnlBtnBottom");
  u.btnStop = ActionButton(u.pnlBtnBottom, "btnStop", "btn_stop", commands[Command::Stop]);
  u.btnPrev = ActionButton(u.pnlBtnBottom, "btnPrev", "btn_prev", commands[Command::Prev]);
  u.btnPlay = ActionButton(u.pnlBtnBottom, "btnPlay", "btn_play", commands[Command::Play], 2);
  u.btnNext = ActionButton(u.pnlBtnBottom, "btnNext", "btn_next", commands[Command::Next]);
  u.btnMute = ActionButton<ui::TPNGStateButton>(u.pnlBtnBottom, "btnMute", "btn_mute",
                                                commands[Command::Mute], 2, 3);
  u.btnMute->SetStateIndex(1);
  u.tbVolume = TrackBar(u.pnlBtnBottom, "tbVolume", "volume_bar", "volume_thumb");
  u.tbVolume->resize(81, 19);
  u.tbVolume->SetMax(100);
  u.tbVolume->SetCanSeek(true);
  u.tbVolume->SetDownPosition(100);
  u.tbVolume->SetPosition(100);
  int x = 0;
  for (QWidget* w : std::initializer_list<QWidget*>{u.btnStop, u.btnPrev, u.btnPlay, u.btnNext,
                                                    u.btnMute, u.tbVolume}) {
    w->move(x, (48 - w->height()) / 2);
    x += w->width() + 6;
  }
  u.pnlBtnBottom->resize(x - 6, 48);
  u.btnPlay->setToolTip(QStringLiteral("播放/暂停"));

  u.RollLabel1 = Named(new ui::TRollLabel(loop, u.pnlBottom), "RollLabel1");
  u.RollLabel1->SetFontColor(QColor(0x6f, 0xb3, 0xff));
  u.lblPlayPos = Label(u.pnlBottom, "lblPlayPos", QStringLiteral("00:00/00:00"), kText, 12);
  u.lblSpeed = Label(u.pnlBottom, "lblSpeed", QStringLiteral("停止"), kDim, 12);
  u.lblSpeed->setToolTip(QStringLiteral("下载速度"));
  for (QLabel* l : {u.lblPlayPos, u.lblSpeed}) l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  u.btnFull = ActionButton(u.pnlBottom, "btnFull", "btn_full", commands[Command::Full], 2);
  u.btnOpen = ActionButton(u.pnlBottom, "btnOpen", "btn_list", commands[Command::ShowRightFrm]);
  u.btnOpen->setToolTip(QStringLiteral("显示播放列表"));
}

}  // namespace

MainFormUi BuildMainFormUi(QWidget* form, const CommandSet& commands, platform::EventLoop& loop) {
  MainFormUi u;
  QPalette palette = form->palette();
  palette.setColor(QPalette::Window, kBackground);
  palette.setColor(QPalette::WindowText, kText);
  form->setPalette(palette);
  form->setAutoFillBackground(true);

  BuildTitleBar(form, commands, u);

  u.pageCtl1 = Named(new QStackedWidget(form), "pageCtl1");
  u.tbLib = Panel(u.pageCtl1, "tbLib", kBackground);
  u.tbPlay = Panel(u.pageCtl1, "tbPlay", kBackground);
  u.pageCtl1->addWidget(u.tbLib);
  u.pageCtl1->addWidget(u.tbPlay);

  u.pnlPlayOwn = Named(new QWidget(u.tbPlay), "pnlPlayOwn");
  u.pnlPlayAd = Panel(u.pnlPlayOwn, "pnlPlayAd", Qt::black);
  u.pnlPlay = Panel(u.pnlPlayAd, "pnlPlay", Qt::black);
  u.pnlProgress = Panel(u.pnlPlayAd, "pnlProgress", kPanel);
  u.pnlProgress->setFixedHeight(kProgressHeight);
  u.tbPlayPos = TrackBar(u.pnlProgress, "tbPlayPos", "seek_bar", "seek_thumb");
  auto* progress = new QHBoxLayout(u.pnlProgress);
  progress->setContentsMargins(8, 0, 8, 0);
  progress->addWidget(u.tbPlayPos);
  auto* playAd = new QVBoxLayout(u.pnlPlayAd);
  playAd->setContentsMargins(0, 0, 0, 0);
  playAd->setSpacing(0);
  playAd->addWidget(u.pnlPlay, 1);
  playAd->addWidget(u.pnlProgress);
  auto* own = new QHBoxLayout(u.pnlPlayOwn);
  own->setContentsMargins(0, 0, 0, 0);
  own->setSpacing(0);
  own->addWidget(u.pnlPlayAd, 1);
  u.pnlRightDock = Named(new QWidget(u.pnlPlayOwn), "pnlRightDock");
  u.pnlRightDock->setFixedWidth(200);
  u.pnlRightForm = Panel(u.pnlRightDock, "pnlRightForm", kPanel);
  auto* dock = new QHBoxLayout(u.pnlRightDock);
  dock->setContentsMargins(0, 0, 0, 0);
  dock->addWidget(u.pnlRightForm);
  own->addWidget(u.pnlRightDock);

  BuildControlBar(u.tbPlay, commands, loop, u);
  auto* play = new QVBoxLayout(u.tbPlay);
  play->setContentsMargins(0, 0, 0, 0);
  play->setSpacing(0);
  play->addWidget(u.pnlPlayOwn, 1);
  play->addWidget(u.pnlBottom);

  auto* leftEdge = Stretched(form, "imgFrameLeft", "frame_left");
  auto* rightEdge = Stretched(form, "imgFrameRight", "frame_right");
  for (QWidget* edge : {static_cast<QWidget*>(leftEdge), static_cast<QWidget*>(rightEdge)})
    edge->setFixedWidth(kEdge);
  auto* body = new QHBoxLayout;
  body->setContentsMargins(0, 0, 0, 0);
  body->setSpacing(0);
  body->addWidget(leftEdge);
  body->addWidget(u.pageCtl1, 1);
  body->addWidget(rightEdge);
  auto* outer = new QVBoxLayout(form);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->setSpacing(0);
  outer->addWidget(u.PnlTop);
  outer->addLayout(body, 1);
  return u;
}

void LayoutFrame(const MainFormUi& u) {
  // Title bar: window buttons at the right, the tab strip 80 pixels left of the centre, the
  // caption up to the tab strip.
  const int w = u.PnlTop->width();
  u.pnlTopBtns->move(w - u.pnlTopBtns->width() - 6, (kTitleHeight - u.pnlTopBtns->height()) / 2);
  u.pnlTabBtns->move((w - u.pnlTabBtns->width()) / 2 - 80,
                     kTitleHeight - u.pnlTabBtns->height() - 2);
  u.lblCaption->setGeometry(90, 0, std::max(0, u.pnlTabBtns->x() - 100), kTitleHeight);

  // Control bar: corner pieces, the centred button group, the scrolling label ending 50 pixels
  // before it, time and speed left of the full-screen and list buttons.
  const int bw = u.pnlBottom->width();
  u.imgBottomLeft->setGeometry(0, 0, 8, kBottomHeight);
  u.imgBottomRight->setGeometry(bw - 8, 0, 8, kBottomHeight);
  u.imgBottomCenter->setGeometry(8, 0, std::max(0, bw - 16), kBottomHeight);
  u.pnlBtnBottom->move((bw - u.pnlBtnBottom->width()) / 2, (kBottomHeight - 48) / 2);
  const int rollRight = u.pnlBtnBottom->x() - 50;
  u.RollLabel1->setGeometry(16, 19, std::max(0, rollRight - 16), 22);
  u.btnOpen->move(bw - u.btnOpen->width() - 14, (kBottomHeight - u.btnOpen->height()) / 2);
  u.btnFull->move(u.btnOpen->x() - u.btnFull->width() - 14,
                  (kBottomHeight - u.btnFull->height()) / 2);
  const int labelsRight = u.btnFull->x() - 14;
  const int labelsLeft = u.pnlBtnBottom->x() + u.pnlBtnBottom->width() + 14;
  u.lblPlayPos->setGeometry(labelsLeft, 12, std::max(0, labelsRight - labelsLeft), 18);
  u.lblSpeed->setGeometry(labelsLeft, 31, std::max(0, labelsRight - labelsLeft), 16);
}

}  // namespace nivra::app
