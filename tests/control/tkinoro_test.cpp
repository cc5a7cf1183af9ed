// TKinoro, the control's form, on the offscreen platform with a real player widget (nothing is
// played): its components and their layout, the actions and the menu, the members that drive
// the player, full screen, the error box and the notices the host hears.

#include "control/tkinoro.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <vector>

#include "common/full_form.h"
#include "platform/error.h"
#include "platform/qt_event_loop.h"
#include "platform/registry.h"
#include "player/links/url_link_encoder.h"
#include "player/player_stack.h"
#include "player/player_widget.h"
#include "tests/control/kinoro_test_util.h"
#include "tests/support/env_guard.h"
#include "tests/support/temp_dir.h"
#include "ui/png_button.h"
#include "ui/png_track_bar.h"

namespace nivra::control {
namespace {

class Notices final : public FormNotifications {
 public:
  void raiseEvent(DISPID event) override { events.push_back(event); }
  char16_t raiseKeyPress(char16_t key) override {
    keys.push_back(key);
    return reply;
  }
  std::vector<DISPID> events;
  std::vector<char16_t> keys;
  char16_t reply = u'x';
};

class TKinoroTest : public ::testing::Test {
 protected:
  TKinoroTest() {
    env_.set("XDG_DATA_HOME", (dir_.path() / "data").string());
    env_.set("XDG_CONFIG_HOME", (dir_.path() / "config").string());
    env_.set("XDG_RUNTIME_DIR", dir_.path().string());
    form_ = std::make_unique<TKinoro>(
        notices_, loop_, players_,
        KinoroPages{"http://d/ocx/zanting.html", "http://d/ocx/huanchong.html"},
        "/nowhere/libkinoro.so");
  }
  ~TKinoroTest() override { form_.reset(); }

  void pump() {
    for (int i = 0; i < 5; ++i) QApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  const Member& member(const char* name) {
    std::u16string n(name, name + std::char_traits<char>::length(name));
    return *memberByName(n);
  }
  void putLong(const char* name, LONG n) {
    VARIANT v = test::longArgument(n);
    form_->put(member(name), v);
  }
  void putText(const char* name, std::u16string_view text) {
    VARIANT v = test::textArgument(text);
    form_->put(member(name), v);
    VariantClear(&v);
  }
  LONG getLong(const char* name) {
    VARIANT v;
    VariantInit(&v);
    form_->get(member(name), &v);
    LONG n = v.vt == VT_BOOL ? v.boolVal : v.lVal;
    VariantClear(&v);
    return n;
  }

  nivra::test::TempDir dir_;
  nivra::test::EnvGuard env_;
  platform::QtEventLoop loop_;
  player::PlayerStack players_{loop_, platform::Registry::system()};
  Notices notices_;
  std::unique_ptr<TKinoro> form_;
};

TEST_F(TKinoroTest, TheBarFollowsItsWidth) {
  form_->resize(633, 433);
  form_->show();
  pump();
  QWidget* bar = form_->pnlBottom();
  EXPECT_EQ(bar->geometry(), QRect(0, 379, 633, 54));
  auto* full = bar->findChild<QWidget*>("btnFullScreen");
  ASSERT_NE(full, nullptr);
  // The table's places at the design width, and the three that follow the width.
  const struct {
    int width, fullLeft, timeLeft, seekWidth;
  } rows[] = {{633, 603, 480, 193}, {800, 770, 647, 360}, {400, 370, 247, 0}};
  for (const auto& r : rows) {
    form_->resize(r.width, 433);
    pump();
    EXPECT_EQ(full->x(), r.fullLeft) << r.width;
    EXPECT_EQ(form_->lblPlayPos()->x(), r.timeLeft) << r.width;
    EXPECT_EQ(form_->tbPlayPos()->width(), r.seekWidth) << r.width;
  }
  EXPECT_EQ(form_->btnPlay()->geometry(), QRect(6, 4, 50, 45));
  EXPECT_EQ(form_->btnMute()->geometry(), QRect(93, 13, 29, 28));
  EXPECT_EQ(form_->tbVolume()->geometry(), QRect(128, 18, 81, 19));
  EXPECT_EQ(form_->lblSpeed()->text(), "停止");
  EXPECT_EQ(form_->lblPlayPos()->text(), "00:00/00:00");
  // The picture and its mask fill what the bar leaves.
  form_->resize(633, 433);
  pump();
  EXPECT_EQ(form_->pnlMaskBg()->size(), QSize(633, 379));
  EXPECT_FALSE(form_->pnlMaskBg()->isHidden());
  EXPECT_EQ(form_->playerWidget()->size(), QSize(633, 379));
}

TEST_F(TKinoroTest, ActionsShortcutsAndTheContextMenu) {
  const struct {
    const char* name;
    const char* caption;
    QKeySequence key;
  } rows[] = {{"Act_Play", "播放/暂停", QKeySequence(Qt::Key_Space)},
              {"Act_Stop", "停止", QKeySequence(Qt::SHIFT | Qt::Key_S)},
              {"Act_Mute", "静音", QKeySequence(Qt::SHIFT | Qt::Key_M)},
              {"Act_Full", "全屏播放", QKeySequence(Qt::SHIFT | Qt::Key_F)},
              {"Act_VolumeInc", "增加音量", QKeySequence(Qt::SHIFT | Qt::Key_Up)},
              {"Act_VolumeDec", "减少音量", QKeySequence(Qt::SHIFT | Qt::Key_Down)},
              {"Act_VolumeStereo", "立体声", QKeySequence()},
              {"Act_VolumeLeft", "左声道", QKeySequence()},
              {"Act_VolumeRight", "右声道", QKeySequence()}};
  for (const auto& r : rows) {
    QAction* a = form_->action(r.name);
    ASSERT_NE(a, nullptr) << r.name;
    EXPECT_EQ(a->text(), QString::fromUtf8(r.caption)) << r.name;
    EXPECT_EQ(a->shortcut(), r.key) << r.name;
  }
  EXPECT_TRUE(form_->action("Act_VolumeStereo")->isChecked());

  auto* menu = form_->findChild<QMenu*>("pmRight");
  ASSERT_NE(menu, nullptr);
  QStringList items;
  for (QAction* a : menu->actions()) {
    items << (a->isSeparator() ? QStringLiteral("-") : a->text());
    if (a->menu())
      for (QAction* sub : a->menu()->actions()) items << "  " + sub->text();
  }
  EXPECT_EQ(items.join('|'),
            "播放/暂停|停止|-|全屏播放|音量|  增加音量|  减少音量|  静音|声道|  立体声|  左声道|"
            "  右声道");

  // Channels are one choice; mute shows on its button.
  form_->action("Act_VolumeLeft")->trigger();
  EXPECT_EQ(form_->plyObj().AudioChannel(), 1);
  EXPECT_FALSE(form_->action("Act_VolumeStereo")->isChecked());
  EXPECT_TRUE(form_->action("Act_VolumeLeft")->isChecked());
  form_->action("Act_Mute")->trigger();
  EXPECT_TRUE(form_->plyObj().Mute());
  EXPECT_EQ(form_->btnMute()->StateIndex(), 1);
  form_->action("Act_VolumeDec")->trigger();
  EXPECT_EQ(form_->plyObj().Volume(), 95);
  EXPECT_EQ(form_->tbVolume()->Position(), 95);
}

TEST_F(TKinoroTest, MembersDriveThePlayer) {
  putLong("Volume", 150);
  EXPECT_EQ(form_->plyObj().Volume(), 100);
  putLong("Volume", 30);
  EXPECT_EQ(getLong("Volume"), 30);
  EXPECT_EQ(form_->tbVolume()->Position(), 100);  // the slider is not moved
  putLong("Mute", -1);
  EXPECT_TRUE(form_->plyObj().Mute());
  EXPECT_EQ(getLong("Mute"), VARIANT_TRUE);
  EXPECT_EQ(form_->btnMute()->StateIndex(), 0);  // nor is the mute button
  putLong("AdW", 640);
  EXPECT_EQ(getLong("AdW"), 640);
  EXPECT_EQ(getLong("State"), 0);
  putText("Caption", u"Page player");
  EXPECT_EQ(form_->windowTitle(), "Page player");

  try {
    putText("URL", u"http://example.com/");
    ADD_FAILURE() << "a plain address was accepted";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "非法地址!");
  }
  const std::string file = player::EncodeLink("file|Old|1|x");
  putText("URL", std::u16string(file.begin(), file.end()));
  EXPECT_EQ(form_->lblPlayPos()->text(), "失效的地址!");
  EXPECT_EQ(form_->plyObj().PlayState(), player::psStop);
}

TEST_F(TKinoroTest, FullScreenCarriesThePictureAndTheBar) {
  form_->resize(633, 433);
  form_->show();
  // The player has the focus, which the move into the full-screen window must not take away
  // (the player leaves full screen when it loses the focus).
  form_->playerWidget()->setFocus();
  pump();
  // Checked at once: offscreen, the application is never active, which leaves full screen.
  form_->plyObj().SetFullScreen(true);
  auto* full = dynamic_cast<common::TFullForm*>(form_->fullForm());
  ASSERT_NE(full, nullptr);
  EXPECT_EQ(form_->playerWidget()->parentWidget(), full);
  EXPECT_EQ(form_->pnlBottom()->parentWidget(), full);
  EXPECT_EQ(form_->pnlMaskBg()->parentWidget(), full);
  EXPECT_EQ(form_->pnlBottom()->geometry().bottom(), full->height() - 1);
  EXPECT_EQ(form_->pnlBottom()->width(), full->width());
  EXPECT_EQ(form_->action("Act_Full")->text(), "退出全屏");

  form_->plyObj().SetFullScreen(false);
  pump();
  EXPECT_EQ(form_->fullForm(), nullptr);
  // The window is gone once the loop ran (no window may outlive the form it calls back).
  for (QWidget* w : QApplication::topLevelWidgets())
    EXPECT_EQ(dynamic_cast<common::TFullForm*>(w), nullptr);
  EXPECT_EQ(form_->pnlBottom()->parentWidget(), form_.get());
  EXPECT_EQ(form_->pnlBottom()->geometry(), QRect(0, 379, 633, 54));
  EXPECT_NE(form_->playerWidget()->window(), full);
  EXPECT_EQ(form_->action("Act_Full")->text(), "全屏播放");

  // A double click on the mask goes to the player, which enters full screen.
  QMouseEvent click(QEvent::MouseButtonDblClick, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(form_->pnlMaskBg(), &click);
  EXPECT_TRUE(form_->plyObj().FullScreen());
  EXPECT_NE(form_->fullForm(), nullptr);
  // Destroying the form in full screen takes the window with it.
  form_.reset();
  pump();
}

// Each control's pre-roll page is its own: a second form on the page changes nothing of the
// first one's.
TEST_F(TKinoroTest, TwoFormsKeepTheirOwnAdPages) {
  Notices otherNotices;
  TKinoro other(otherNotices, loop_, players_, KinoroPages{"http://d/a.html", "http://d/b.html"},
                "/nowhere/libkinoro.so");
  form_->ShowAdPage("about:blank", 480, 360, 15000, false);
  ASSERT_NE(form_->adBrowser(), nullptr);
  EXPECT_TRUE(form_->AdPageShowing());
  EXPECT_EQ(form_->adBrowser()->TipText(), "广告剩余 15 秒");
  EXPECT_EQ(other.adBrowser(), nullptr);
  other.ShowAdPage("about:blank", 480, 360, 15000, true);
  EXPECT_EQ(other.adBrowser()->TipText(), "");
  EXPECT_EQ(form_->adBrowser()->TipText(), "广告剩余 15 秒");
  form_->HideAdPage();
  EXPECT_FALSE(form_->AdPageShowing());
  EXPECT_TRUE(other.AdPageShowing());
  EXPECT_TRUE(form_->pnlMaskBg()->isHidden());
}

TEST_F(TKinoroTest, PlayerErrorsStopAndShowTheErrorBox) {
  form_->wiring().OnPlayError(7, "no such file");
  pump();
  QMessageBox* box = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == "KinoroError" && w->isVisible()) box = qobject_cast<QMessageBox*>(w);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->windowTitle(), "错误");
  EXPECT_EQ(box->text(), "错误7:no such file");
  EXPECT_FALSE(box->isModal());
  EXPECT_EQ(form_->lblSpeed()->text(), "停止");
  box->close();
}

TEST_F(TKinoroTest, TheHostHearsPaintsClicksAndKeys) {
  form_->resize(633, 433);
  form_->show();
  pump();
  EXPECT_NE(std::count(notices_.events.begin(), notices_.events.end(), DISPID_OnPaint), 0);
  EXPECT_NE(form_->nativeWindow(), 0u);

  QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
  QApplication::sendEvent(form_.get(), &key);
  EXPECT_EQ(notices_.keys, std::vector<char16_t>{u'a'});

  notices_.events.clear();
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(1, 1), QPointF(1, 1), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(form_.get(), &press);
  EXPECT_EQ(notices_.events, std::vector<DISPID>{DISPID_OnClick});

  form_->place(10, 20, 300, 200);
  EXPECT_EQ(form_->geometry(), QRect(10, 20, 300, 200));
}

}  // namespace
}  // namespace nivra::control
