// The close query: what it shows from the settings and what it stores.

#include "common/form_query.h"

#include <gtest/gtest.h>

#include "common/ini_config.h"
#include "tests/common/dialog_test_support.h"
#include "ui/png_button.h"
#include "ui/png_check_box.h"
#include "ui/png_radio_button.h"

namespace nivra::common {
namespace {

enum class Pick { Keep, Tray, Close };
enum class End { OK, Cancel, CloseButton };

struct QueryCase {
  const char* name;
  std::int32_t rbClose;  // settings before
  bool chkNextNotQuery;
  bool firstRun;
  bool shownClose, shownCheck;  // what the dialog shows on opening
  Pick pick;
  bool toggleCheck;
  End end;
  bool accepted;
  std::int32_t rbCloseAfter;
  bool chkAfter;
};

void PrintTo(const QueryCase& c, std::ostream* os) { *os << c.name; }

class CloseQuery : public ::testing::TestWithParam<QueryCase> {};

TEST_P(CloseQuery, ShowsTheSettingsAndStoresTheAnswerOnlyOnOK) {
  const QueryCase& c = GetParam();
  TIniConfig config;
  config.rbClose = c.rbClose;
  config.chkNextNotQuery = c.chkNextNotQuery;
  QWidget owner;
  owner.show();
  bool accepted = false;
  {
    test::ModalAnswer<TFormQuery> answer([&](TFormQuery& q) {
      EXPECT_EQ(q.windowTitle(), QStringLiteral("关闭提示"));
      EXPECT_EQ(q.parentWidget(), &owner);
      EXPECT_EQ(q.rbClose()->isChecked(), c.shownClose);
      EXPECT_EQ(q.rbTray()->isChecked(), !c.shownClose);
      EXPECT_EQ(q.chkQuery()->isChecked(), c.shownCheck);
      if (c.pick == Pick::Tray) q.rbTray()->click();
      if (c.pick == Pick::Close) q.rbClose()->click();
      if (c.toggleCheck) q.chkQuery()->click();
      const char* button = c.end == End::OK       ? "btnOK"
                           : c.end == End::Cancel ? "btnCancel"
                                                  : "btnClose";
      test::ClickWidget(q.findChild<ui::TPNGButton*>(button));
    });
    accepted = RunCloseQuery(&owner, config, c.firstRun);
  }
  EXPECT_EQ(accepted, c.accepted);
  EXPECT_EQ(config.rbClose, c.rbCloseAfter);
  EXPECT_EQ(config.chkNextNotQuery, c.chkAfter);
}

const QueryCase kQueryCases[] = {
    // name, rbClose, chkNext, firstRun, shownClose, shownCheck, pick, toggle, end, accepted,
    // rbClose after, chkNext after
    {"TrayOK", 0, false, false, false, false, Pick::Keep, false, End::OK, true, 0, false},
    {"QuitOK", 0, false, false, false, false, Pick::Close, false, End::OK, true, 1, false},
    {"QuitCancel", 0, false, false, false, false, Pick::Close, true, End::Cancel, false, 0, false},
    {"QuitCloseButton", 0, false, false, false, false, Pick::Close, true, End::CloseButton, false,
     0, false},
    {"StoredQuitToTray", 7, false, false, true, false, Pick::Tray, false, End::OK, true, 0, false},
    {"DontAskAgain", 1, false, false, true, false, Pick::Keep, true, End::OK, true, 1, true},
    {"StoredDontAsk", 0, true, false, false, true, Pick::Keep, false, End::OK, true, 0, true},
    {"FirstRunPreChecked", 0, false, true, false, true, Pick::Keep, false, End::OK, true, 0, true},
    {"FirstRunUnchecked", 0, false, true, false, true, Pick::Close, true, End::OK, true, 1, false},
    {"FirstRunCancel", 0, false, true, false, true, Pick::Keep, false, End::Cancel, false, 0,
     false},
};

INSTANTIATE_TEST_SUITE_P(TFormQuery, CloseQuery, ::testing::ValuesIn(kQueryCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TFormQuery, LooksLikeTheSkin) {
  TFormQuery query(nullptr);
  query.show();
  const QImage shot = test::Shot(&query, QStringLiteral("form_query"));
  EXPECT_LT(QColor(shot.pixel(query.width() / 2, query.height() / 2)).lightness(), 80);
  EXPECT_EQ(query.chkQuery()->text(), QStringLiteral("下次不再提示"));
  EXPECT_EQ(query.rbTray()->text(), QStringLiteral("最小化到托盘"));
  EXPECT_EQ(query.rbClose()->text(), QStringLiteral("退出应用程序"));
}

}  // namespace
}  // namespace nivra::common
