#include "app/form_shut_down.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>

#include "app/desktop/power_manager.h"
#include "common/form_dlg.h"
#include "platform/debug_output.h"
#include "platform/error.h"
#include "ui/png_button.h"
#include "ui/png_check_box.h"

namespace nivra::app {
namespace {

constexpr int kFieldTop = 104, kFieldHeight = 24;

// A fixed-format field: digits only where the mask has them, blanks shown as spaces.
QLineEdit* MaskedEdit(QWidget* parent, const char* name, const QString& mask, int x, int width,
                      const std::string& text) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QLatin1String(name));
  edit->setInputMask(mask);
  edit->setText(QString::fromStdString(text));
  edit->setAlignment(Qt::AlignCenter);
  edit->setGeometry(x, kFieldTop, width, kFieldHeight);
  return edit;
}

// The one count-down window there may be.
QPointer<TFormShutDownHint>& OpenHint() {
  static QPointer<TFormShutDownHint> hint;
  return hint;
}

}  // namespace

TFormShutDown::TFormShutDown(QWidget* owner, platform::EventLoop& loop)
    : TFormSkinBase(owner, QSize(410, 200)),
      loop_(loop),
      cbActive_(new ui::TPNGCheckBox(QStringLiteral("激活定时关机"), this)) {
  setWindowTitle(QStringLiteral("定时关机"));
  setModal(true);
  AddLabel(QStringLiteral("勾选“激活定时关机”选项后输入关机时间，确定即可！"),
           QRect(20, 44, 370, 20))
      ->setObjectName("lbl1");
  cbActive_->setObjectName("cbActive");
  cbActive_->setGeometry(20, 72, 110, 22);
  SkinCheckControl(cbActive_);

  const ShutDownFields now = ShutDownFieldsFor(loop_.now());
  auto label = [this](const QString& text, int x, int width) {
    AddLabel(text, QRect(x, kFieldTop, width, kFieldHeight))
        ->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  };
  label(QStringLiteral("设置时间："), 20, 70);
  edtYear_ = MaskedEdit(this, "edtYear", QStringLiteral("0000; "), 90, 46, now.year);
  label(QStringLiteral("年"), 140, 16);
  edtMonth_ = MaskedEdit(this, "edtMonth", QStringLiteral("00; "), 158, 30, now.month);
  label(QStringLiteral("月"), 192, 16);
  edtDay_ = MaskedEdit(this, "edtDay", QStringLiteral("00; "), 210, 30, now.day);
  label(QStringLiteral("日"), 244, 16);
  edtTime_ = MaskedEdit(this, "edtTime", QStringLiteral("00:00; "), 270, 52, now.time);

  // OK checks before it closes; a refused input keeps the dialog open.
  btnOK_ = AddButton(QStringLiteral("确定"), 1, 0);
  btnOK_->setObjectName("btnOK");
  btnOK_->OnClick = [this](QObject*) { OkClick(); };
  btnCancel_ = AddButton(QStringLiteral("取消"), 0, common::mrCancel);
  btnCancel_->setObjectName("btnCancel");
}

ShutDownFields TFormShutDown::Fields() const {
  return {edtYear_->text().toStdString(), edtMonth_->text().toStdString(),
          edtDay_->text().toStdString(), edtTime_->text().toStdString()};
}

void TFormShutDown::OkClick() {
  if (!cbActive_->isChecked()) return done(common::mrOk);  // an earlier schedule stays
  try {
    target_ = ShutDownTarget(Fields(), loop_.now());
  } catch (const Error& e) {
    common::ShowError(this, QString::fromStdString(e.what()));
    return;
  }
  done(common::mrOk);
}

TFormShutDownHint::TFormShutDownHint(QWidget* owner, platform::EventLoop& loop)
    : TFormSkinBase(owner, QSize(468, 194)),
      lblInfo_(AddLabel(QString(), QRect(20, 60, 428, 40))),
      countDown_(
          loop,
          [this](const std::string& text) { lblInfo_->setText(QString::fromStdString(text)); },
          [this](bool powerOff) { CountDownFinished(powerOff); }) {
  setWindowTitle(QStringLiteral("关机提示"));
  setModal(true);
  lblInfo_->setObjectName("lblInfo");
  lblInfo_->setAlignment(Qt::AlignCenter);
  QFont big = lblInfo_->font();
  big.setPixelSize(16);
  lblInfo_->setFont(big);
  btnOK_ = AddButton(QStringLiteral("立即关闭"), 1, common::mrOk);
  btnOK_->setObjectName("btnOK");
  btnCancel_ = AddButton(QStringLiteral("取消"), 0, common::mrCancel);
  btnCancel_->setObjectName("btnCancel");
  // Every way the window closes ends the count-down: OK powers off, anything else cancels.
  connect(this, &QDialog::finished, this, [this](int result) {
    if (result == common::mrOk) {
      countDown_.Now();
    } else {
      countDown_.Cancel();
    }
  });
}

void TFormShutDownHint::CountDownFinished(bool powerOff) {
  if (isVisible()) done(powerOff ? common::mrOk : common::mrCancel);
  if (OnFinished) OnFinished(powerOff);
}

bool RunShutDownDialog(QWidget* owner, platform::EventLoop& loop, TShutDownThread& waiter) {
  TFormShutDown form(owner, loop);
  if (form.exec() != QDialog::Accepted || !form.Target()) return false;
  platform::debugOutput("ShutDownScheduled:" + FormatShutDownTime(*form.Target()));
  waiter.Schedule(*form.Target());
  return true;
}

TFormShutDownHint* ShowShutDownHint(QWidget* owner, platform::EventLoop& loop, PowerManager& power,
                                    std::function<void()> endApplication) {
  QPointer<TFormShutDownHint>& open = OpenHint();
  if (open) return open;
  auto* hint = new TFormShutDownHint(owner, loop);
  hint->OnFinished = [hint, &power, end = std::move(endApplication)](bool powerOff) {
    OpenHint() = nullptr;
    hint->deleteLater();
    platform::debugOutput(powerOff ? "ShutDownPowerOff" : "ShutDownCancelled");
    // Ending the application may free the window and with it this function: use a copy.
    if (powerOff) RunShutDown(power, std::function<void()>(end));
  };
  open = hint;
  hint->StartCountDown();
  hint->show();
  return hint;
}

}  // namespace nivra::app
