#include "common/form_query.h"

#include "common/ini_config.h"
#include "ui/png_button.h"
#include "ui/png_check_box.h"
#include "ui/png_radio_button.h"

namespace nivra::common {

TFormQuery::TFormQuery(QWidget* owner)
    : TFormSkinBase(owner, QSize(320, 190)),
      rbTray_(new ui::TPNGRadioButton(QStringLiteral("最小化到托盘"), this)),
      rbClose_(new ui::TPNGRadioButton(QStringLiteral("退出应用程序"), this)),
      chkQuery_(new ui::TPNGCheckBox(QStringLiteral("下次不再提示"), this)) {
  setWindowTitle(QStringLiteral("关闭提示"));
  setModal(true);
  AddLabel(QStringLiteral("你点击了关闭按钮，您是想："), QRect(20, 44, 280, 20));
  rbTray_->setObjectName("rbTray");
  rbTray_->setGeometry(40, 72, 200, 22);
  rbClose_->setObjectName("rbClose");
  rbClose_->setGeometry(40, 98, 200, 22);
  chkQuery_->setObjectName("chkQuery");
  chkQuery_->setGeometry(20, height() - 14 - 24, 120, 22);
  for (QWidget* control : {static_cast<QWidget*>(rbTray_), static_cast<QWidget*>(rbClose_),
                           static_cast<QWidget*>(chkQuery_)})
    SkinCheckControl(control);
  rbTray_->setChecked(true);
  AddButton(QStringLiteral("确定"), 1, mrOk)->setObjectName("btnOK");
  AddButton(QStringLiteral("取消"), 0, mrCancel)->setObjectName("btnCancel");
}

void TFormQuery::LoadFrom(const TIniConfig& config, bool firstRun) {
  (config.rbClose != 0 ? rbClose_ : rbTray_)->setChecked(true);
  chkQuery_->setChecked(config.chkNextNotQuery || firstRun);
}

void TFormQuery::SaveTo(TIniConfig& config) const {
  config.rbClose = rbClose_->isChecked() ? 1 : 0;
  config.chkNextNotQuery = chkQuery_->isChecked();
}

bool RunCloseQuery(QWidget* owner, TIniConfig& config, bool firstRun) {
  TFormQuery query(owner);
  query.LoadFrom(config, firstRun);
  if (query.exec() != QDialog::Accepted) return false;
  query.SaveTo(config);
  return true;
}

}  // namespace nivra::common
