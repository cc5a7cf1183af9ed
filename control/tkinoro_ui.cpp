// TKinoro's components: the actions and the context menu, the picture area (player under the
// mask panel) and the bottom bar, and their layout.

#include <QAction>
#include <QEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>

#include "control/tkinoro.h"
#include "player/player_stack.h"
#include "player/player_widget.h"
#include "ui/png_image.h"
#include "ui/png_track_bar.h"
#include "ui/skin.h"

namespace nivra::control {
namespace {

constexpr int kBarHeight = 54;
const QColor kLabelColour(0x9a, 0xa4, 0x94);  // 9741722 as a BGR colour: 0x94A49A

template <class W>
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

QLabel* BarLabel(QWidget* parent, const char* name, const QString& text, QRect geometry) {
  auto* label = Named(new QLabel(text, parent), name);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, kLabelColour);
  label->setPalette(palette);
  label->setAlignment(Qt::AlignCenter);
  label->setGeometry(geometry);
  return label;
}

template <class Button = ui::TPNGButton>
Button* BarButton(QWidget* parent, const char* name, const char* picture, QAction* action,
                  QRect geometry, int stateMax = 1, int numGlyphs = 4) {
  auto* button = Named(
      ui::MakeImageButton<Button>(parent, QString::fromLatin1(picture), stateMax, numGlyphs), name);
  button->SetAutoSize(false);
  button->setGeometry(geometry);
  if (action) {
    button->SetAction(action);
    button->setToolTip(action->toolTip());
  }
  return button;
}

ui::TPNGPlayTrackBar* TrackBar(QWidget* parent, const char* name, const char* strip,
                               const char* thumb, QRect geometry) {
  auto* bar = Named(new ui::TPNGPlayTrackBar(parent), name);
  bar->SetBgPic(ui::SkinPicture(QString::fromLatin1(strip)));
  bar->SetBtnImage(ui::SkinPicture(QString::fromLatin1(thumb)));
  bar->setGeometry(geometry);
  return bar;
}

// The mask over the picture: it stays above the player's native window, so it raises itself
// after every change of its position.
class MaskPanel final : public QWidget {
 public:
  explicit MaskPanel(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_NativeWindow);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::black);
    setPalette(palette);
    logo_ = ui::SkinPicture(QStringLiteral("logo")).Image();
  }

 protected:
  void moveEvent(QMoveEvent*) override { RaiseIfVisible(); }
  void resizeEvent(QResizeEvent*) override { RaiseIfVisible(); }
  void paintEvent(QPaintEvent*) override {
    if (logo_.isNull()) return;
    QPainter painter(this);
    const QSize size = logo_.size().scaled(width() / 2, height() / 2, Qt::KeepAspectRatio);
    painter.drawImage(
        QRect(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size), logo_);
  }

 private:
  void RaiseIfVisible() {
    if (isVisible()) raise();
  }
  QImage logo_;
};

}  // namespace

void TKinoro::BuildActions() {
  struct Row {
    const char* name;
    const char* caption;
    const char* category;
    QKeySequence shortcut;
    bool hint;
  };
  const Row rows[] = {
      {"Act_Play", "播放/暂停", "播放控制", QKeySequence(Qt::Key_Space), true},
      {"Act_Stop", "停止", "播放控制", QKeySequence(Qt::SHIFT | Qt::Key_S), true},
      {"Act_Mute", "静音", "声音控制", QKeySequence(Qt::SHIFT | Qt::Key_M), true},
      {"Act_Full", "全屏播放", "播放控制", QKeySequence(Qt::SHIFT | Qt::Key_F), true},
      {"Act_VolumeInc", "增加音量", "声音控制", QKeySequence(Qt::SHIFT | Qt::Key_Up), false},
      {"Act_VolumeDec", "减少音量", "声音控制", QKeySequence(Qt::SHIFT | Qt::Key_Down), false},
      {"Act_VolumeStereo", "立体声", "声音控制", QKeySequence(), false},
      {"Act_VolumeLeft", "左声道", "声音控制", QKeySequence(), false},
      {"Act_VolumeRight", "右声道", "声音控制", QKeySequence(), false},
  };
  for (const Row& row : rows) {
    auto* a = Named(new QAction(QString::fromUtf8(row.caption), this), row.name);
    a->setProperty("category", QString::fromUtf8(row.category));
    a->setShortcut(row.shortcut);
    a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    if (row.hint) a->setToolTip(a->text());
    addAction(a);
    actions_[row.name] = a;
  }
  auto on = [this](const char* name, std::function<void()> fn) {
    connect(action(name), &QAction::triggered, this, [this, fn] { guarded(fn); });
  };
  on("Act_Play", [this] { wiring_.ActPlay(); });
  on("Act_Stop", [this] { wiring_.ActStop(); });
  on("Act_Mute", [this] { wiring_.ActMute(); });
  on("Act_Full", [this] { wiring_.ActFull(); });
  on("Act_VolumeInc", [this] { wiring_.ActVolumeStep(+kVolumeStep); });
  on("Act_VolumeDec", [this] { wiring_.ActVolumeStep(-kVolumeStep); });
  on("Act_VolumeStereo", [this] { wiring_.ActChannel(0); });
  on("Act_VolumeLeft", [this] { wiring_.ActChannel(1); });
  on("Act_VolumeRight", [this] { wiring_.ActChannel(2); });
  action("Act_Mute")->setCheckable(true);
  for (const char* name : {"Act_VolumeStereo", "Act_VolumeLeft", "Act_VolumeRight"})
    action(name)->setCheckable(true);
  action("Act_VolumeStereo")->setChecked(true);

  pmRight_ = Named(new QMenu(this), "pmRight");
  pmRight_->addAction(action("Act_Play"));
  pmRight_->addAction(action("Act_Stop"));
  pmRight_->addSeparator();
  pmRight_->addAction(action("Act_Full"));
  QMenu* volume = pmRight_->addMenu(QStringLiteral("音量"));
  for (const char* name : {"Act_VolumeInc", "Act_VolumeDec", "Act_Mute"})
    volume->addAction(action(name));
  QMenu* channel = pmRight_->addMenu(QStringLiteral("声道"));
  for (const char* name : {"Act_VolumeStereo", "Act_VolumeLeft", "Act_VolumeRight"})
    channel->addAction(action(name));
}

void TKinoro::BuildPicture(player::PlayerStack& players) {
  pnlPlayOwn_ = Named(new QWidget(this), "pnlPlayOwn");
  pnlPlayAd_ = Panel(pnlPlayOwn_, "pnlPlayAd", Qt::black);
  pnlPlay_ = Panel(pnlPlayAd_, "pnlPlay", Qt::black);
  player_ = players.MakeWidget(pnlPlay_);
  player_->setObjectName(QStringLiteral("plyObj"));
  player_->installEventFilter(this);
  player_->setPopupMenu(pmRight_);
  player_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(player_, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { pmRight_->popup(player_->mapToGlobal(at)); });
  pnlMaskBg_ = Named(new MaskPanel(pnlPlayAd_), "pnlMaskBg");
  pnlMaskBg_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(pnlMaskBg_, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { pmRight_->popup(pnlMaskBg_->mapToGlobal(at)); });
  for (QWidget* w : {pnlPlayOwn_, pnlPlayAd_, pnlPlay_, pnlMaskBg_}) w->installEventFilter(this);
}

void TKinoro::BuildBar() {
  pnlBottom_ = Named(new QWidget(this), "pnlBottom");
  pnlBottom_->setFixedHeight(kBarHeight);
  // In full screen the bar lies over the player's native video window: it needs its own.
  pnlBottom_->setAttribute(Qt::WA_NativeWindow);
  auto* center = Named(new ui::TPNGImage(pnlBottom_), "imgBottomCenter");
  center->SetDrawStyle(ui::dsStretch);
  center->SetPNGImage(ui::SkinPicture(QStringLiteral("frame_bottom_center")));
  center->setToolTip(QStringLiteral("播放进度"));
  imgBottomCenter_ = center;
  btnPlay_ = BarButton(pnlBottom_, "btnPlay", "btn_play", action("Act_Play"), {6, 4, 50, 45}, 2);
  btnStop_ = BarButton(pnlBottom_, "btnStop", "btn_stop", action("Act_Stop"), {58, 13, 29, 28});
  btnMute_ = BarButton<ui::TPNGStateButton>(pnlBottom_, "btnMute", "btn_mute_ctl",
                                            action("Act_Mute"), {93, 13, 29, 28}, 2, 3);
  tbVolume_ = TrackBar(pnlBottom_, "tbVolume", "volume_bar", "volume_thumb", {128, 18, 81, 19});
  tbVolume_->SetMax(100);
  tbVolume_->SetDownPosition(100);
  tbVolume_->SetPosition(100);
  tbVolume_->SetCanSeek(true);
  tbVolume_->OnSeekChangeing = [this](QObject*, int position, bool&) {
    guarded([&] { wiring_.VolumeChanging(position); });
  };
  lblSpeed_ =
      BarLabel(pnlBottom_, "lblSpeed", QString::fromUtf8(kSpeedStopped.data()), {215, 21, 52, 12});
  lblSpeed_->setToolTip(QStringLiteral("下载速度"));
  tbPlayPos_ = TrackBar(pnlBottom_, "tbPlayPos", "seek_bar", "seek_thumb", {273, 18, 201, 19});
  tbPlayPos_->setCursor(Qt::PointingHandCursor);
  tbPlayPos_->SetMax(100);
  tbPlayPos_->OnSeekChangeing = [this](QObject*, int position, bool&) {
    guarded([&] { wiring_.SeekChanging(position); });
  };
  tbPlayPos_->OnBeginSeek = [this](QObject*) { wiring_.BeginSeek(); };
  tbPlayPos_->OnEndSeek = [this](QObject*) { wiring_.EndSeek(); };
  lblPlayPos_ =
      BarLabel(pnlBottom_, "lblPlayPos", QString::fromUtf8(kTimeIdle.data()), {493, 21, 99, 12});
  btnFullScreen_ =
      BarButton(pnlBottom_, "btnFullScreen", "btn_full", action("Act_Full"), {598, 23, 16, 14}, 2);
  pnlBottom_->installEventFilter(this);
}

void TKinoro::LayoutBar() {
  const int w = pnlBottom_->width();
  imgBottomCenter_->setGeometry(pnlBottom_->rect());
  imgBottomCenter_->lower();
  btnFullScreen_->move(w - 30, btnFullScreen_->y());
  lblPlayPos_->move(w - 153, lblPlayPos_->y());
  tbPlayPos_->resize(std::max(0, w - 440), tbPlayPos_->height());
}

void TKinoro::LayoutPicture() {
  if (!pnlBottom_) return;
  if (pnlBottom_->parentWidget() == this)
    pnlBottom_->setGeometry(0, height() - kBarHeight, width(), kBarHeight);
  pnlPlayOwn_->setGeometry(0, 0, width(), std::max(0, height() - kBarHeight));
}

bool TKinoro::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::Resize) {
    if (watched == pnlBottom_) {
      LayoutBar();
    } else if (watched == pnlPlayOwn_) {
      pnlPlayAd_->setGeometry(pnlPlayOwn_->rect());
    } else if (watched == pnlPlayAd_) {
      pnlPlay_->setGeometry(pnlPlayAd_->rect());
      if (pnlMaskBg_->parentWidget() == pnlPlayAd_) pnlMaskBg_->setGeometry(pnlPlayAd_->rect());
      if (adBrowser_ && adBrowser_->parentWidget() == pnlPlayAd_) adBrowser_->CenterInParent();
    } else if (watched == pnlPlay_ && player_->parentWidget() == pnlPlay_) {
      player_->setGeometry(pnlPlay_->rect());
    }
  } else if (e->type() == QEvent::FocusOut && watched == player_ && movingPlayer_) {
    return true;
  } else if (e->type() == QEvent::MouseButtonDblClick && watched == pnlMaskBg_) {
    // The player toggles full screen on a double click.
    guarded([this] { plyObj().DoubleClick(); });
    return true;
  }
  return QWidget::eventFilter(watched, e);
}

}  // namespace nivra::control
