#include "common/form_open_url.h"

#include <QLineEdit>

#include "ui/png_button.h"

namespace nivra::common {

TFormOpenURL::TFormOpenURL(QWidget* owner)
    : TFormSkinBase(owner, QSize(400, 190)), edtURL_(new QLineEdit(this)) {
  setWindowTitle(QStringLiteral("打开URL"));
  setModal(true);
  AddLabel(QStringLiteral("请输入您要播放的媒体文件的URL"), QRect(20, 44, 360, 20));
  edtURL_->setObjectName("edtURL");
  edtURL_->setGeometry(20, 70, 360, 26);
  AddLabel(QStringLiteral("目前只支持Nivra://协议的URL"), QRect(20, 104, 360, 20), true);
  connect(edtURL_, &QLineEdit::returnPressed, this, &QDialog::accept);
  AddButton(QStringLiteral("确定"), 1, mrOk)->setObjectName("btnOK");
  AddButton(QStringLiteral("取消"), 0, mrCancel)->setObjectName("btnCancel");
  edtURL_->setFocus();
}

QString RunOpenURL(QWidget* owner) {
  TFormOpenURL form(owner);
  if (form.exec() != QDialog::Accepted) return {};
  return form.edtURL()->text().trimmed();
}

}  // namespace nivra::common
