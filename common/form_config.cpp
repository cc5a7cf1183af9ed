#include "common/form_config.h"

#include <QComboBox>
#include <QListWidget>
#include <QSpinBox>
#include <utility>

#include "common/hot_key_edit.h"
#include "ui/png_button.h"
#include "ui/png_check_box.h"
#include "ui/png_page_control.h"
#include "ui/png_radio_button.h"

namespace nivra::common {
namespace {

constexpr int kMargin = 12;
constexpr int kPagesTop = TFormSkinBase::kTitleHeight + 8;
constexpr int kPagesBottom = 302;  // above the OK and Cancel row

}  // namespace

TFormConfig::TFormConfig(QWidget* owner, TIniConfig& config, std::filesystem::path file,
                         ConfigHost host)
    : TFormSkinBase(owner, kSize),
      config_(config),
      file_(std::move(file)),
      host_(std::move(host)),
      w_(BuildConfigPages(this, kMargin, kPagesTop, kPagesBottom)) {
  setObjectName("FormConfig");
  setWindowTitle(QStringLiteral("设置选项"));
  setModal(true);
  for (auto* control : findChildren<QAbstractButton*>()) SkinCheckControl(control);
  for (int i = 0; i < 4; ++i) w_.pageButtons[i]->OnClick = [this, i](QObject*) { ShowPage(i); };
  AddButton(QStringLiteral("确定"), 1, mrOk)->setObjectName("btnOK");
  AddButton(QStringLiteral("取消"), 0, mrCancel)->setObjectName("btnCancel");
  SetControls(OpenConfigControls(config_, host_));
  ShowPage(0);
}

ConfigControls TFormConfig::Controls() const {
  ConfigControls c;
  c.chkAutoRun = w_.chkAutoRun->isChecked();
  c.chkNextNotQuery = w_.chkNextNotQuery->isChecked();
  c.rbMiniTray = w_.rbMiniTray->isChecked();
  c.rbMiniTask = w_.rbMiniTask->isChecked();
  c.rbCloseExit = w_.rbCloseExit->isChecked();
  c.rbCloseTray = w_.rbCloseTray->isChecked();
  c.cbbTop = w_.cbbTop->currentIndex();
  c.cbbScale = w_.cbbScale->currentIndex();
  c.cbbSound = w_.cbbSound->currentIndex();
  c.chkShutDown = w_.chkShutDown->isChecked();
  c.udHistory = w_.udHistory->value();
  c.chkBossKey = w_.chkBossKey->isChecked();
  c.hkBossKey = w_.hkBossKey->HotKey();
  c.chkBossKeyHideTray = w_.chkBossKeyHideTray->isChecked();
  c.chkBossKeyMute = w_.chkBossKeyMute->isChecked();
  c.hkOpenFile = w_.hkOpenFile->HotKey();
  c.hkOpenUrl = w_.hkOpenUrl->HotKey();
  c.hkVolumeInc = w_.hkVolumeInc->HotKey();
  c.hkVolumeDec = w_.hkVolumeDec->HotKey();
  c.hkMute = w_.hkMute->HotKey();
  c.hkFullScreen = w_.hkFullScreen->HotKey();
  c.rbPlayListNormal = w_.rbPlayListNormal->isChecked();
  c.rbPlayListMini = w_.rbPlayListMini->isChecked();
  c.rbPlayListR2L = w_.rbPlayListR2L->isChecked();
  c.rbPlayListRight = w_.rbPlayListRight->isChecked();
  c.rbPlayListLeft = w_.rbPlayListLeft->isChecked();
  c.lstFace = w_.lstFace->currentRow();
  return c;
}

void TFormConfig::SetControls(const ConfigControls& c) {
  w_.chkAutoRun->setChecked(c.chkAutoRun);
  w_.chkNextNotQuery->setChecked(c.chkNextNotQuery);
  // Radio buttons of a group exclude each other: checking the one that is on is enough.
  for (auto [radio, on] : {std::pair<QAbstractButton*, bool>{w_.rbMiniTray, c.rbMiniTray},
                           {w_.rbMiniTask, c.rbMiniTask},
                           {w_.rbCloseExit, c.rbCloseExit},
                           {w_.rbCloseTray, c.rbCloseTray},
                           {w_.rbPlayListNormal, c.rbPlayListNormal},
                           {w_.rbPlayListMini, c.rbPlayListMini},
                           {w_.rbPlayListR2L, c.rbPlayListR2L},
                           {w_.rbPlayListRight, c.rbPlayListRight},
                           {w_.rbPlayListLeft, c.rbPlayListLeft}})
    if (on) radio->setChecked(true);
  // An index the list does not have selects nothing (-1), as the platform's boxes do.
  w_.cbbTop->setCurrentIndex(c.cbbTop);
  w_.cbbScale->setCurrentIndex(c.cbbScale);
  w_.cbbSound->setCurrentIndex(c.cbbSound);
  w_.chkShutDown->setChecked(c.chkShutDown);
  w_.udHistory->setValue(c.udHistory);
  w_.chkBossKey->setChecked(c.chkBossKey);
  w_.hkBossKey->SetHotKey(c.hkBossKey);
  w_.chkBossKeyHideTray->setChecked(c.chkBossKeyHideTray);
  w_.chkBossKeyMute->setChecked(c.chkBossKeyMute);
  w_.hkOpenFile->SetHotKey(c.hkOpenFile);
  w_.hkOpenUrl->SetHotKey(c.hkOpenUrl);
  w_.hkVolumeInc->SetHotKey(c.hkVolumeInc);
  w_.hkVolumeDec->SetHotKey(c.hkVolumeDec);
  w_.hkMute->SetHotKey(c.hkMute);
  w_.hkFullScreen->SetHotKey(c.hkFullScreen);
  w_.lstFace->setCurrentRow(c.lstFace);
}

void TFormConfig::ShowPage(int index) {
  if (index < 0 || index >= static_cast<int>(w_.pages.size())) return;
  w_.pgc1->SetActivePage(w_.pages[index]);
  for (int i = 0; i < static_cast<int>(w_.pageButtons.size()); ++i)
    w_.pageButtons[i]->SetStateIndex(i == index ? 0 : 1);
}

void TFormConfig::done(int result) {
  if (result == mrOk) ConfirmConfig(Controls(), config_, file_, host_);
  TFormSkinBase::done(result);
}

bool ShowConfigForm(QWidget* owner, TIniConfig& config, const std::filesystem::path& file,
                    ConfigHost host) {
  TFormConfig form(owner, config, file, std::move(host));
  return form.exec() == mrOk;
}

}  // namespace nivra::common
