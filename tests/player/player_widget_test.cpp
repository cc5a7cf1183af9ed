// The player widget on the offscreen platform, with the fake graph.

#include "player/player_widget.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QTest>
#include <QUrl>
#include <algorithm>

#include "platform/manual_event_loop.h"
#include "tests/player/support/fake_flash.h"
#include "tests/player/support/fake_media_graph.h"

namespace nivra::player::test {
namespace {

class PlayerWidgetTest : public ::testing::Test {
 protected:
  PlayerWidgetTest() : widget(loop, lab.factory(), nullptr) {
    lab.duration = 20000000;
    widget.resize(320, 240);
  }
  platform::ManualEventLoop loop;
  FakeGraphLab lab;
  PlayerWidget widget;
};

TEST_F(PlayerWidgetTest, PaintsBlackWithTheLogoCentred) {
  QImage logo(40, 20, QImage::Format_ARGB32);
  logo.fill(Qt::red);
  widget.setLogo(logo);
  const QImage shot = widget.grab().toImage();
  EXPECT_EQ(shot.pixelColor(160, 120), QColor(Qt::red));
  EXPECT_EQ(shot.pixelColor(140, 110), QColor(Qt::red));  // top-left corner of the logo
  EXPECT_EQ(shot.pixelColor(139, 120), QColor(Qt::black));
  EXPECT_EQ(shot.pixelColor(5, 5), QColor(Qt::black));
}

TEST_F(PlayerWidgetTest, VideoCoversThePictureAreaInsteadOfThePaint) {
  widget.player().Open("clip.mp4");
  lab.clearCalls();
  widget.grab();
  EXPECT_TRUE(lab.called("exposeVideo"));
}

TEST_F(PlayerWidgetTest, KeysAndDoubleClickReachTheControl) {
  int fullChanges = 0;
  widget.player().OnFullChangeing = [&] { ++fullChanges; };
  widget.player().Open("clip.mp4");
  lab.clearCalls();
  QTest::keyClick(&widget, Qt::Key_Space);
  EXPECT_EQ(widget.player().PlayState(), psPause);
  QTest::keyClick(&widget, Qt::Key_Space);
  EXPECT_EQ(widget.player().PlayState(), psPlay);
  EXPECT_THAT(lab.calls, ::testing::ElementsAre("pause", "run"));
  QTest::mouseDClick(&widget, Qt::LeftButton);
  EXPECT_TRUE(widget.player().FullScreen());
  QTest::keyClick(&widget, Qt::Key_Escape);
  EXPECT_FALSE(widget.player().FullScreen());
  EXPECT_EQ(fullChanges, 2);
}

TEST_F(PlayerWidgetTest, DroppedLocalFileIsOpenedWhileDragFile) {
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile("/films/dropped.webm"), QUrl::fromLocalFile("/films/b.webm")});
  widget.show();
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&widget, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&widget, &drop);
  EXPECT_EQ(widget.player().FileName(), "/films/dropped.webm");
  EXPECT_TRUE(lab.called("render /films/dropped.webm"));

  widget.player().SetDragFile(false);
  EXPECT_FALSE(widget.acceptDrops());
  QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  refused.setAccepted(false);
  QApplication::sendEvent(&widget, &refused);
  EXPECT_FALSE(refused.isAccepted());
}

TEST_F(PlayerWidgetTest, HostParentChangeMovesTheVideoAndFillsTheParent) {
  QWidget host;
  host.resize(640, 480);
  host.show();
  widget.player().Open("clip.mp4");
  lab.clearCalls();
  widget.setHostParent(&host);
  EXPECT_EQ(widget.parentWidget(), &host);
  EXPECT_EQ(widget.geometry(), host.rect());
  EXPECT_EQ(lab.calls.front(), "attachVideoWindow " + std::to_string(host.winId()));
  EXPECT_TRUE(lab.called("placeVideoWindow " + std::to_string(widget.winId()) + " 0,0,640x480"));
  host.resize(800, 600);
  QApplication::processEvents();
  EXPECT_EQ(widget.size(), QSize(800, 600));
  widget.setParent(nullptr);  // the widget outlives the host here
}

// The Flash movie draws into the widget's own window: the widget hands it the window and the
// mouse input that lands on the picture.
TEST(PlayerWidgetFlashTest, TheMovieGetsTheWindowAndItsMouseInput) {
  platform::ManualEventLoop loop;
  FakeGraphLab lab;
  FakeFlashEnvironment flash;
  QMenu menu;
  menu.addAction("About");
  PlayerWidget widget(loop, lab.factory(), &flash);
  widget.resize(400, 300);
  widget.setPopupMenu(&menu);
  widget.show();
  int fullChanges = 0;
  widget.player().OnFullChangeing = [&] { ++fullChanges; };
  widget.player().Open("http://v.example.com/page");
  ASSERT_FALSE(flash.calls.empty());
  EXPECT_EQ(flash.calls.front(), "CreateBridge " + std::to_string(widget.winId()));
  flash.resolver->sources = "http://a/1.flv";
  flash.resolver->complete();
  loop.runPending();
  flash.bridge->mediaWidth = 400;
  flash.bridge->mediaHeight = 100;
  flash.bridge->state(0);  // the movie fills the width: rows 100 to 199
  ASSERT_EQ(flash.bridge->bounds, (Rect{0, 100, 400, 100}));

  QTest::mousePress(&widget, Qt::RightButton, Qt::NoModifier, QPoint(50, 20));
  EXPECT_FALSE(menu.isVisible());  // beside the movie, outside full screen: no menu
  QTest::mouseRelease(&widget, Qt::RightButton, Qt::NoModifier, QPoint(50, 20));
  QTest::mousePress(&widget, Qt::RightButton, Qt::NoModifier, QPoint(50, 150));
  EXPECT_TRUE(menu.isVisible());
  EXPECT_EQ(flash.calls.back(), "RightButtonDown " +
                                    std::to_string(widget.mapToGlobal(QPoint(50, 150)).x()) + "," +
                                    std::to_string(widget.mapToGlobal(QPoint(50, 150)).y()));
  QTest::mouseRelease(&widget, Qt::RightButton, Qt::NoModifier, QPoint(50, 150));
  menu.hide();

  // A double click on the movie toggles full screen once, through the bridge.
  flash.calls.clear();
  QTest::mouseDClick(&widget, Qt::LeftButton, Qt::NoModifier, QPoint(50, 150));
  EXPECT_TRUE(widget.player().FullScreen());
  EXPECT_EQ(fullChanges, 1);
  EXPECT_EQ(std::ranges::count(flash.calls, std::string("DoubleClick")), 1);
  QTest::mouseDClick(&widget, Qt::LeftButton, Qt::NoModifier, QPoint(50, 20));
  EXPECT_FALSE(widget.player().FullScreen());
  EXPECT_EQ(fullChanges, 2);
  EXPECT_EQ(std::ranges::count(flash.calls, std::string("DoubleClick")), 1);
}

}  // namespace
}  // namespace nivra::player::test
