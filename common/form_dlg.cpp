#include "common/form_dlg.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "platform/debug_output.h"

namespace nivra::common {
namespace {
constexpr int kTextWidth = 300;
constexpr int kTextHeight = 90;
}  // namespace

QString elideWrapped(const QString& text, const QFont& font, int width, int height) {
  const QFontMetrics fm(font);
  auto fits = [&](const QString& s) {
    return fm.boundingRect(QRect(0, 0, width, 100000), Qt::TextWordWrap | Qt::TextWrapAnywhere, s)
               .height() <= height;
  };
  if (fits(text)) return text;
  const QString ellipsis = QStringLiteral("…");
  qsizetype lo = 0, hi = text.size();
  while (lo < hi) {  // the longest prefix that still fits with the ellipsis
    const qsizetype mid = (lo + hi + 1) / 2;
    if (fits(text.left(mid) + ellipsis))
      lo = mid;
    else
      hi = mid - 1;
  }
  return text.left(lo) + ellipsis;
}

TFormDlg::TFormDlg(QWidget* owner) : QDialog(owner), lblError_(new QLabel(this)) {
  setWindowTitle(QStringLiteral("错误提示"));
  setWindowFlag(Qt::WindowStaysOnTopHint);
  setModal(true);
  lblError_->setObjectName("lblError");
  lblError_->setWordWrap(true);
  lblError_->setFixedSize(kTextWidth, kTextHeight);
  lblError_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  auto* ok = new QPushButton(QStringLiteral("确定"), this);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblError_);
  layout->addLayout(buttons);
}

void TFormDlg::setErrorText(const QString& text) {
  lblError_->setText(elideWrapped(text, lblError_->font(), kTextWidth, kTextHeight));
  lblError_->setToolTip(text);
}

void ShowError(QWidget* owner, const QString& text) {
  platform::debugOutput("ShowError:" + text.toStdString());
  TFormDlg dlg(owner);
  dlg.setErrorText(text);
  dlg.adjustSize();
  const QRect around =
      owner ? owner->frameGeometry() : QGuiApplication::primaryScreen()->availableGeometry();
  dlg.move(around.center() - dlg.rect().center());
  dlg.exec();
}

}  // namespace nivra::common
