#pragma once
// The scheduled shutdown's windows. TFormShutDown (caption "定时关机") takes the date and time and
// hands a valid target to the waiter; TFormShutDownHint (caption "关机提示") counts 30 seconds
// down once the target has passed, then powers the computer off and ends the application unless
// the user cancels.

#include <functional>
#include <optional>

#include "app/desktop/shut_down.h"
#include "common/form_skin_base.h"

class QLineEdit;

namespace nivra::ui {
class TPNGCaptionButton;
class TPNGCheckBox;
}  // namespace nivra::ui

namespace nivra::app {

class PowerManager;

class TFormShutDown final : public common::TFormSkinBase {
 public:
  // The fields open with the loop's current local date and time; OK checks against the loop's
  // time at the press.
  TFormShutDown(QWidget* owner, platform::EventLoop& loop);

  ui::TPNGCheckBox* cbActive() const { return cbActive_; }
  QLineEdit* edtYear() const { return edtYear_; }
  QLineEdit* edtMonth() const { return edtMonth_; }
  QLineEdit* edtDay() const { return edtDay_; }
  QLineEdit* edtTime() const { return edtTime_; }
  ui::TPNGCaptionButton* btnOK() const { return btnOK_; }
  ui::TPNGCaptionButton* btnCancel() const { return btnCancel_; }

  ShutDownFields Fields() const;
  // The accepted target; empty unless OK closed the dialog with "激活定时关机" checked.
  const std::optional<WallTime>& Target() const { return target_; }

 private:
  void OkClick();

  platform::EventLoop& loop_;
  ui::TPNGCheckBox* cbActive_;
  QLineEdit* edtYear_;
  QLineEdit* edtMonth_;
  QLineEdit* edtDay_;
  QLineEdit* edtTime_;
  ui::TPNGCaptionButton* btnOK_;
  ui::TPNGCaptionButton* btnCancel_;
  std::optional<WallTime> target_;
};

class TFormShutDownHint final : public common::TFormSkinBase {
 public:
  TFormShutDownHint(QWidget* owner, platform::EventLoop& loop);

  QLabel* lblInfo() const { return lblInfo_; }
  ui::TPNGCaptionButton* btnOK() const { return btnOK_; }
  ui::TPNGCaptionButton* btnCancel() const { return btnCancel_; }

  // Shows 30 seconds and counts down on the loop.
  void StartCountDown() { countDown_.Start(); }

  // Called once when the count-down ends: true for power-off (it ran out or "立即关闭"), false
  // for "取消", the close button or Escape. The window has closed by then.
  std::function<void(bool powerOff)> OnFinished;

 private:
  void CountDownFinished(bool powerOff);

  QLabel* lblInfo_;
  ui::TPNGCaptionButton* btnOK_;
  ui::TPNGCaptionButton* btnCancel_;
  ShutDownCountDown countDown_;
};

// Act_ShutDown: shows the dialog modally over `owner` and, when OK accepts a target, schedules
// `waiter` for it (replacing an earlier schedule). Refused input is reported with
// common::ShowError and the dialog stays open. True when a schedule was made.
bool RunShutDownDialog(QWidget* owner, platform::EventLoop& loop, TShutDownThread& waiter);

// The waiter's step: shows the count-down window over `owner` (application-modal, without a
// loop of its own; an open one is kept rather than doubled) and starts it. When it ends with
// power-off, `power` is asked to switch the machine off and `endApplication` runs; on cancel
// nothing happens. The window frees itself when it ends.
TFormShutDownHint* ShowShutDownHint(QWidget* owner, platform::EventLoop& loop, PowerManager& power,
                                    std::function<void()> endApplication);

}  // namespace nivra::app
