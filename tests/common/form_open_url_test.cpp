// The open-address dialog: the trimmed text on OK, nothing otherwise.

#include "common/form_open_url.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include "tests/common/dialog_test_support.h"
#include "ui/png_button.h"

namespace nivra::common {
namespace {

enum class End { OK, Enter, Cancel, CloseButton };

struct OpenUrlCase {
  const char* name;
  const char* typed;
  End end;
  const char* result;
};

void PrintTo(const OpenUrlCase& c, std::ostream* os) { *os << c.name; }

class OpenURL : public ::testing::TestWithParam<OpenUrlCase> {};

TEST_P(OpenURL, GivesTheTrimmedTextOnlyWhenConfirmed) {
  const OpenUrlCase& c = GetParam();
  QWidget owner;
  owner.show();
  QString result = QStringLiteral("unset");
  {
    test::ModalAnswer<TFormOpenURL> answer([&](TFormOpenURL& form) {
      EXPECT_EQ(form.lblCaption()->text(), QStringLiteral("打开URL"));
      form.edtURL()->setText(QString::fromUtf8(c.typed));
      if (c.end == End::Enter) {
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(form.edtURL(), &enter);
        return;
      }
      const char* button = c.end == End::OK       ? "btnOK"
                           : c.end == End::Cancel ? "btnCancel"
                                                  : "btnClose";
      test::ClickWidget(form.findChild<ui::TPNGButton*>(button));
    });
    result = RunOpenURL(&owner);
  }
  EXPECT_EQ(result.toStdString(), c.result);
}

const OpenUrlCase kOpenUrlCases[] = {
    {"Plain", "Nivra://abc", End::OK, "Nivra://abc"},
    {"Trimmed", " \t Nivra://abc def  \n", End::OK, "Nivra://abc def"},
    {"EnterConfirms", "  Nivra://x ", End::Enter, "Nivra://x"},
    {"OnlyBlanks", "   ", End::OK, ""},
    {"Cancel", "Nivra://abc", End::Cancel, ""},
    {"CloseButton", "Nivra://abc", End::CloseButton, ""},
};

INSTANTIATE_TEST_SUITE_P(TFormOpenURL, OpenURL, ::testing::ValuesIn(kOpenUrlCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TFormOpenURL, LooksLikeTheSkin) {
  TFormOpenURL form(nullptr);
  form.edtURL()->setText(QStringLiteral("Nivra://"));
  form.show();
  const QImage shot = test::Shot(&form, QStringLiteral("form_open_url"));
  EXPECT_LT(QColor(shot.pixel(form.width() / 2, 20)).lightness(), 80);
  EXPECT_LT(QColor(shot.pixel(form.edtURL()->geometry().center())).lightness(), 80);
}

}  // namespace
}  // namespace nivra::common
