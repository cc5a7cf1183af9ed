// The page container: page membership, page changes with their events and veto, the tab strip
// switch, and its background painting.

#include <gtest/gtest.h>

#include "tests/ui/ui_test_support.h"
#include "ui/png_page_control.h"

namespace nivra::ui {
namespace {

struct PageControlTest : ::testing::Test {
  QWidget form;
  TPNGPageControl pc{&form};
  TPNGTabSheet* play = new TPNGTabSheet(&pc);  // owned by the control's widget tree
  TPNGTabSheet* lib = new TPNGTabSheet(&pc);
  std::vector<std::string> events;
  PageControlTest() {
    form.resize(400, 300);
    pc.setGeometry(0, 0, 400, 300);
    play->SetCaption(QStringLiteral("播放器"));
    lib->SetCaption(QStringLiteral("视频库"));
    pc.OnChangeing = [this](QObject*, TPNGTabSheet* p, bool&) {
      events.push_back(p == play ? "changeing play" : "changeing lib");
    };
    pc.OnChanged = [this](QObject*) { events.push_back("changed"); };
    play->OnShow = [this](QObject*) { events.push_back("show play"); };
    play->OnHide = [this](QObject*) { events.push_back("hide play"); };
    lib->OnShow = [this](QObject*) { events.push_back("show lib"); };
    lib->OnHide = [this](QObject*) { events.push_back("hide lib"); };
    form.show();
  }
};

TEST_F(PageControlTest, PagesJoinInOrderAndCanMove) {
  EXPECT_EQ(pc.PageCount(), 2);
  EXPECT_EQ(play->PageIndex(), 0);
  EXPECT_EQ(lib->PageIndex(), 1);
  EXPECT_TRUE(play->isHidden());
  EXPECT_EQ(pc.ActivePage(), nullptr);
  lib->SetPageIndex(0);
  EXPECT_EQ(pc.Page(0), lib);
  TPNGTabSheet loose;
  EXPECT_EQ(loose.PageIndex(), -1);
  delete play;  // a deleted page leaves the control
  play = nullptr;
  EXPECT_EQ(pc.PageCount(), 1);
}

TEST_F(PageControlTest, ChangesRaiseEventsInOrderAndCanBeRefused) {
  pc.SetActivePage(play);
  EXPECT_EQ(events, (std::vector<std::string>{"changeing play", "show play", "changed"}));
  events.clear();
  pc.SetActivePage(play);  // already shown: nothing
  pc.SetActivePage(nullptr);
  EXPECT_TRUE(events.empty());
  pc.SetActivePage(lib);
  EXPECT_EQ(events,
            (std::vector<std::string>{"changeing lib", "show lib", "hide play", "changed"}));
  EXPECT_TRUE(lib->isVisible());
  EXPECT_FALSE(play->isVisible());
  events.clear();
  pc.OnChangeing = [](QObject*, TPNGTabSheet*, bool& allow) { allow = false; };
  pc.SetActivePage(play);
  EXPECT_EQ(pc.ActivePage(), lib);
  EXPECT_TRUE(events.empty());
}

TEST_F(PageControlTest, WithoutTheStripPagesFillTheControl) {
  const int strip = pc.StripHeight();
  EXPECT_GT(strip, 0);
  EXPECT_EQ(play->geometry(), QRect(0, strip, 400, 300 - strip));
  pc.SetShowTabBtns(false);
  EXPECT_EQ(pc.StripHeight(), 0);
  EXPECT_EQ(play->geometry(), QRect(0, 0, 400, 300));
  EXPECT_TRUE(pc.TabRect(0).isEmpty());
}

TEST_F(PageControlTest, TabClicksSwitchPagesAndCloseButtonsReport) {
  TPNGTabSheet* closed = nullptr;
  pc.OnCloseBtnClick = [&](QObject*, TPNGTabSheet* p) { closed = p; };
  test::Click(&pc, pc.TabRect(1).topLeft() + QPoint(12, 12));
  EXPECT_EQ(pc.ActivePage(), lib);
  const QRect close = pc.CloseBtnRect(0);
  ASSERT_FALSE(close.isEmpty());
  test::Click(&pc, close.center());
  EXPECT_EQ(closed, play);
  EXPECT_EQ(pc.ActivePage(), lib);  // a click on the close button does not switch
  play->SetTabCloseBtnVisible(false);
  EXPECT_TRUE(pc.CloseBtnRect(0).isEmpty());
}

TEST(TPNGPageControl, BackgroundIsColourOrWhatLiesUnder) {
  QWidget form;
  QPalette pal = form.palette();
  pal.setColor(QPalette::Window, QColor(0, 0, 90));
  form.setPalette(pal);
  form.resize(200, 100);
  TPNGPageControl pc(&form);
  pc.setGeometry(0, 0, 200, 100);
  pc.SetShowTabBtns(false);
  pc.SetColor(QColor(90, 0, 0));
  form.show();
  EXPECT_EQ(test::OnWindow(pc).pixel(100, 50), qRgb(90, 0, 0));
  pc.SetTransparent(true);
  EXPECT_EQ(pc.grab().toImage().pixel(100, 50), qRgb(0, 0, 90));
  pc.SetTransparent(false);
  bool asked = false;
  pc.OnPaintBackground = [&](QObject*, QPainter& p, const QRect& r, bool& handled) {
    asked = true;
    p.fillRect(r, QColor(0, 90, 0));
    handled = true;
  };
  EXPECT_EQ(test::OnWindow(pc).pixel(100, 50), qRgb(0, 90, 0));
  EXPECT_TRUE(asked);
}

}  // namespace
}  // namespace nivra::ui
