#include "common/form_skin_base.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QScreen>
#include <QShowEvent>

#include "common/ufunction_window.h"
#include "ui/png_button.h"
#include "ui/png_image.h"
#include "ui/skin.h"

namespace nivra::common {
namespace {

const QColor kBorder(0x0c, 0x0e, 0x10);
const QColor kText(0xd4, 0xd9, 0xe0);
const QColor kDim(0x8a, 0x92, 0x9c);
constexpr int kButtonWidth = 72, kButtonHeight = 26, kButtonGap = 8, kButtonMargin = 14;

ui::TPNGImage* Picture(QWidget* parent, const ui::TPicture& picture) {
  auto* image = new ui::TPNGImage(parent);
  image->SetDrawStyle(ui::dsStretch);
  image->SetPNGImage(picture);
  return image;
}

// The play symbol at the left of the logo picture, as the window icon.
ui::TPicture IconPicture() {
  const ui::TPicture logo = ui::SkinPicture(QStringLiteral("logo"));
  if (logo.Empty()) return logo;
  const int side = logo.Height();
  return ui::TPicture::FromPNG(logo.Image().copy(0, 0, side, side));
}

QImage CornerMask() { return ui::SkinPicture(QStringLiteral("mask")).Image(); }

}  // namespace

TFormSkinBase::TFormSkinBase(QWidget* owner, QSize size)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      pnlTop_(ui::MakeFrameBar(this, QStringLiteral("dlg_top_left"),
                               QStringLiteral("dlg_top_center"), QStringLiteral("dlg_top_right"))),
      lblCaption_(new QLabel(pnlTop_)),
      btnMin_(ui::MakeImageButton(pnlTop_, QStringLiteral("btn_min"))),
      btnClose_(ui::MakeImageButton(pnlTop_, QStringLiteral("btn_close"))),
      imgBG2_(Picture(this, ui::SkinPicture(QStringLiteral("dlg_bg")))) {
  setFixedSize(size);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, kBorder);
  pal.setColor(QPalette::WindowText, kText);
  pal.setColor(QPalette::Base, QColor(0x14, 0x16, 0x1a));
  pal.setColor(QPalette::Text, kText);
  pal.setColor(QPalette::Button, QColor(0x2f, 0x34, 0x3b));
  pal.setColor(QPalette::ButtonText, kText);
  pal.setColor(QPalette::Light, QColor(0x4a, 0x51, 0x5b));
  pal.setColor(QPalette::Dark, kBorder);
  pal.setColor(QPalette::Highlight, QColor(0x4c, 0x9f, 0xdc));
  pal.setColor(QPalette::PlaceholderText, kDim);
  pal.setColor(QPalette::Link, QColor(0x4c, 0x9f, 0xdc));
  setPalette(pal);
  QFont face(QStringLiteral("Noto Sans CJK SC"));
  face.setPixelSize(12);
  setFont(face);
  imgBG2_->setObjectName("imgBG2");
  imgBG2_->lower();
  BuildTitleBar();
  LayoutFrame();
  ApplyFormCorners(this, CornerMask());
}

void TFormSkinBase::BuildTitleBar() {
  pnlTop_->setObjectName("PnlTop");
  auto* icon = Picture(pnlTop_, IconPicture());
  icon->setObjectName("imgIcon");
  icon->setGeometry(8, 6, 18, 18);
  lblCaption_->setObjectName("lblCaption");
  lblCaption_->setGeometry(32, 0, width() - 32, kTitleHeight);
  lblCaption_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  QFont bold = font();
  bold.setBold(true);
  lblCaption_->setFont(bold);
  btnMin_->setObjectName("btnMin");
  btnMin_->hide();
  btnMin_->OnClick = [this](QObject*) { showMinimized(); };
  btnClose_->setObjectName("btnClose");
  btnClose_->setToolTip(QStringLiteral("关闭"));
  btnClose_->OnClick = [this](QObject*) { close(); };
  // Presses anywhere on the bar but its buttons move the window.
  pnlTop_->installEventFilter(this);
  for (QWidget* part : pnlTop_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (part != btnMin_ && part != btnClose_) part->installEventFilter(this);
}

bool TFormSkinBase::eventFilter(QObject* watched, QEvent* event) {
  const bool onTitleBar = watched == pnlTop_ || (watched->parent() == pnlTop_ &&
                                                 watched != btnMin_ && watched != btnClose_);
  if (onTitleBar && event->type() == QEvent::MouseButtonPress &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && !isMaximized()) {
    DragWindow(this);
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void TFormSkinBase::LayoutFrame() {
  const int w = width();
  pnlTop_->setGeometry(0, 0, w, kTitleHeight);
  btnClose_->move(w - kCloseRightMargin - btnClose_->width(),
                  (kTitleHeight - btnClose_->height()) / 2);
  btnMin_->move(btnClose_->x() - btnMin_->width(), btnClose_->y());
  lblCaption_->resize(btnMin_->x() - lblCaption_->x(), kTitleHeight);
  imgBG2_->setGeometry(1, 1, w - 2, height() - 2);
}

void TFormSkinBase::CenterOnOwner() {
  QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
  QRect around;
  if (owner) {
    around = owner->frameGeometry();
  } else if (QScreen* screen = QGuiApplication::primaryScreen()) {
    around = screen->availableGeometry();
  }
  if (around.isValid()) move(around.center() - rect().center());
}

QLabel* TFormSkinBase::AddLabel(const QString& text, const QRect& geometry, bool dim) {
  auto* label = new QLabel(text, this);
  label->setGeometry(geometry);
  if (dim) {
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, kDim);
    label->setPalette(pal);
  }
  return label;
}

ui::TPNGCaptionButton* TFormSkinBase::AddButton(const QString& caption, int slot, int modalResult) {
  ui::TPNGCaptionButton* button = ui::MakeCaptionButton(this, caption);
  button->SetModalResult(modalResult);
  button->setGeometry(width() - kButtonMargin - kButtonWidth - slot * (kButtonWidth + kButtonGap),
                      height() - kButtonMargin - kButtonHeight, kButtonWidth, kButtonHeight);
  return button;
}

void TFormSkinBase::SkinCheckControl(QWidget* control) {
  QPalette pal = control->palette();
  pal.setColor(QPalette::Window, kDim);
  pal.setColor(QPalette::Base, QColor(0x2a, 0x2f, 0x36));
  pal.setColor(QPalette::Text, Qt::white);
  pal.setColor(QPalette::WindowText, kText);
  pal.setColor(QPalette::ButtonText, kText);
  pal.setColor(QPalette::Light, kBorder);
  pal.setColor(QPalette::Dark, QColor(0x74, 0x7c, 0x86));
  control->setPalette(pal);
}

void TFormSkinBase::changeEvent(QEvent* event) {
  if (event->type() == QEvent::WindowTitleChange) lblCaption_->setText(windowTitle());
  QDialog::changeEvent(event);
}

void TFormSkinBase::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  LayoutFrame();
  ApplyFormCorners(this, CornerMask());
}

void TFormSkinBase::showEvent(QShowEvent* event) {
  LayoutFrame();
  if (!event->spontaneous()) CenterOnOwner();  // not when coming back from minimised
  QDialog::showEvent(event);
}

}  // namespace nivra::common
