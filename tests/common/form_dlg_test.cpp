// The error dialog and ShowError.

#include "common/form_dlg.h"

#include <gtest/gtest.h>

#include <QLabel>

#include "tests/common/dialog_test_support.h"
#include "tests/support/debug_log.h"
#include "ui/png_button.h"

namespace nivra::common {
namespace {

TEST(ShowError, ShowsTheTextModallyOverItsOwnerUntilOK) {
  nivra::test::DebugLog log;
  QWidget owner;
  owner.setGeometry(0, 0, 1005, 648);
  owner.show();
  const QString text = QStringLiteral("非法地址!");
  {
    test::ModalAnswer<TFormDlg> answer([&](TFormDlg& dlg) {
      EXPECT_EQ(dlg.parentWidget(), &owner);
      EXPECT_EQ(dlg.windowTitle(), QStringLiteral("错误提示"));
      EXPECT_EQ(dlg.lblCaption()->text(), QStringLiteral("错误提示"));
      EXPECT_EQ(dlg.lblError()->text(), text);
      test::Shot(&dlg, QStringLiteral("form_dlg"));
      test::ClickWidget(dlg.findChild<ui::TPNGButton*>("btnOK"));
      EXPECT_FALSE(dlg.isVisible());
    });
    ShowError(&owner, text);
  }
  EXPECT_TRUE(log.contains("ShowError:非法地址!"));
}

TEST(TFormDlg, LongTextEndsInAnEllipsisAndKeepsTheWholeTextAsHint) {
  TFormDlg dlg(nullptr);
  const QString text = QString(QStringLiteral("播放器出错。")).repeated(60);
  dlg.setErrorText(text);
  EXPECT_TRUE(dlg.lblError()->text().endsWith(QStringLiteral("…")));
  EXPECT_LT(dlg.lblError()->text().size(), text.size());
  EXPECT_EQ(dlg.lblError()->toolTip(), text);
  EXPECT_EQ(dlg.lblError()->text(),
            elideWrapped(text, dlg.lblError()->font(), dlg.lblError()->width(),
                         dlg.lblError()->height()));
}

}  // namespace
}  // namespace nivra::common
