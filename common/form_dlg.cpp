#include "common/form_dlg.h"

#include <QFontMetrics>
#include <QLabel>

#include "platform/debug_output.h"
#include "ui/png_button.h"

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

TFormDlg::TFormDlg(QWidget* owner)
    : TFormSkinBase(owner, QSize(340, 180)),
      lblError_(AddLabel(QString(), QRect(20, 44, kTextWidth, kTextHeight))) {
  setWindowTitle(QStringLiteral("错误提示"));
  setModal(true);
  lblError_->setObjectName("lblError");
  lblError_->setWordWrap(true);
  lblError_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  AddButton(QStringLiteral("确定"), 0, mrOk)->setObjectName("btnOK");
}

void TFormDlg::setErrorText(const QString& text) {
  lblError_->setText(elideWrapped(text, lblError_->font(), kTextWidth, kTextHeight));
  lblError_->setToolTip(text);
}

void ShowError(QWidget* owner, const QString& text) {
  platform::debugOutput("ShowError:" + text.toStdString());
  TFormDlg dlg(owner);
  dlg.setErrorText(text);
  dlg.exec();
}

}  // namespace nivra::common
