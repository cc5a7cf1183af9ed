#pragma once
// TFormQuery: the question the close button asks (caption "关闭提示"): minimise to the tray or
// quit, and whether to ask again. RunCloseQuery holds its rules over the settings.

#include "common/form_skin_base.h"

namespace nivra::ui {
class TPNGCheckBox;
class TPNGRadioButton;
}  // namespace nivra::ui

namespace nivra::common {

class TIniConfig;

class TFormQuery final : public TFormSkinBase {
 public:
  explicit TFormQuery(QWidget* owner);

  ui::TPNGRadioButton* rbTray() const { return rbTray_; }
  ui::TPNGRadioButton* rbClose() const { return rbClose_; }
  ui::TPNGCheckBox* chkQuery() const { return chkQuery_; }

  // The choices the settings give; "下次不再提示" starts checked on the first run (no
  // "Setup.ini" yet) whatever the setting says.
  void LoadFrom(const TIniConfig& config, bool firstRun);
  // Stores the choices: rbClose 1 for quitting, 0 for the tray; chkNextNotQuery.
  void SaveTo(TIniConfig& config) const;

 private:
  ui::TPNGRadioButton* rbTray_;
  ui::TPNGRadioButton* rbClose_;
  ui::TPNGCheckBox* chkQuery_;
};

// Shows the close query modally over `owner`. True when it ends with "确定", and only then
// are the choices written into `config`.
bool RunCloseQuery(QWidget* owner, TIniConfig& config, bool firstRun);

}  // namespace nivra::common
