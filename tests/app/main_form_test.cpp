#include "app/main_form.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <atomic>
#include <cstring>
#include <thread>

#include "app/main_window_loop.h"
#include "common/ini_config.h"
#include "common/key_codes.h"
#include "net/background_tasks.h"
#include "net/server_endpoints.h"
#include "platform/messages.h"
#include "platform/qt_event_loop.h"
#include "platform/registry.h"
#include "player/player_stack.h"
#include "tests/support/env_guard.h"
#include "tests/support/temp_dir.h"

namespace nivra::app {
namespace {
using platform::Message;

class MainFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    env_.set("XDG_RUNTIME_DIR", dir_.path().string());
    env_.set("XDG_DATA_HOME", (dir_ / "data").string());
    env_.set("XDG_CONFIG_HOME", (dir_ / "config").string());
    env_.set("NIVRA_DEBUG_LOG", (dir_ / "debug.log").string());
  }
  std::unique_ptr<TNivraMainForm> make(std::vector<std::string> args) {
    CommandLine cmd;
    cmd.selfPath = "/usr/bin/nivra";
    cmd.args = std::move(args);
    return std::make_unique<TNivraMainForm>(loop_, cmd, config_, endpoints_, players_, workers_);
  }
  // Runs queued work; a modal dialog that opens meanwhile is closed after a moment, and its
  // owner is kept in modalOwners_.
  void pump() {
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [this] {
      if (QWidget* modal = QApplication::activeModalWidget()) {
        modalOwners_.push_back(modal->parentWidget());
        modal->close();
      }
    });
    closer.start(20);
    for (int i = 0; i < 10; ++i) QApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  std::string log() { return test::readFile(dir_ / "debug.log"); }

  test::TempDir dir_;
  test::EnvGuard env_;
  platform::QtEventLoop loop_;
  TIniConfig config_;
  net::ServerEndpoints endpoints_;
  player::PlayerStack players_{loop_, platform::Registry::system()};
  net::BackgroundTasks workers_;
  std::vector<QWidget*> modalOwners_;
};

// The main window among the application's windows; null when there is none.
TNivraMainForm* findMainWindow() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* form = dynamic_cast<TNivraMainForm*>(w)) return form;
  return nullptr;
}

TEST_F(MainFormTest, WindowHasItsTitleSizeAndClassName) {
  auto form = make({});
  EXPECT_EQ(form->windowTitle(), "Nivra");
  EXPECT_EQ(form->size(), QSize(1005, 648));
  EXPECT_EQ(form->objectName(), "TNivraMainForm");
  EXPECT_TRUE(std::filesystem::exists(dir_ / "nivra" / "TNivraMainForm.sock"));
  EXPECT_EQ(form->LibraryUrl(), "http://127.0.0.1:8780/index.htm");
  EXPECT_TRUE(form->navigateTimerEnabled());
  // The skin's corner mask shapes the window: its corners are cut, its middle is not.
  EXPECT_FALSE(form->mask().contains(QPoint(0, 0)));
  EXPECT_FALSE(form->mask().contains(QPoint(1004, 647)));
  EXPECT_TRUE(form->mask().contains(QPoint(500, 300)));
}

TEST_F(MainFormTest, CreationRegistersTheProtocolAndTheControlLibraryOfTheProgramFolder) {
  auto form = make({});
  const std::string classes = test::readFile(dir_ / "config" / "Nivra" / "registry" / "HKCR.reg");
  EXPECT_NE(classes.find("[HKEY_CLASSES_ROOT\\Nivra\\Shell\\Open\\Command]"), std::string::npos);
  // The control library beside the program registered itself with its own path.
  EXPECT_NE(classes.find("{7E27DAB6-C296-4561-A275-FFB7F34F35D7}\\InprocServer32]"),
            std::string::npos)
      << classes;
  EXPECT_NE(classes.find("libkinoro.so"), std::string::npos);
  const std::string user = test::readFile(dir_ / "config" / "Nivra" / "registry" / "HKCU.reg");
  EXPECT_NE(user.find("iexplore\\AllowedDomains\\*]\n\"1\"=\"1\""), std::string::npos) << user;
}

TEST_F(MainFormTest, TheLibraryPageComesFromTheEndpointsItIsGiven) {
  endpoints_ = net::ServerEndpoints(net::ServerHosts{.catalogue = "catalogue.test:9000"});
  auto form = make({});
  EXPECT_EQ(form->LibraryUrl(), "http://catalogue.test:9000/index.htm");
}

TEST_F(MainFormTest, FirstStartWithALinkOpensItAndDefersTheLibraryPage) {
  auto form = make({"Nivra://abc"});
  EXPECT_EQ(form->PendingUrl(), "Nivra://abc");
  EXPECT_FALSE(form->navigateTimerEnabled());
  pump();
  EXPECT_NE(log().find("OpenPending:Nivra://abc"), std::string::npos) << log();
  EXPECT_EQ(log().find("Navigate:"), std::string::npos);
}

TEST_F(MainFormTest, FirstStartArgumentsThatAreNotLinks) {
  auto shell = make({"/webshell", "http://127.0.0.1:1/page.htm"});
  EXPECT_EQ(shell->LibraryUrl(), "http://127.0.0.1:1/page.htm");
  shell.reset();
  auto file = make({"/home/user/film.mkv"});
  EXPECT_EQ(file->PendingUrl(), "/home/user/film.mkv");
  EXPECT_TRUE(file->navigateTimerEnabled());
  pump();
  EXPECT_EQ(log().find("OpenPending"), std::string::npos);  // a file path is not acted on
}

TEST_F(MainFormTest, CopyDataOpensLinksAndShowsDecodeErrorsAfterReplying) {
  auto form = make({});
  const char link[] = "Nivra://x+y%41";
  platform::CopyDataRecord record{0, sizeof link, link};
  EXPECT_EQ(
      form->handleMessage({platform::WM_COPYDATA, 0, reinterpret_cast<std::intptr_t>(&record)}), 1);
  EXPECT_EQ(form->PendingUrl(), "Nivra://x yA");
  const char bad[] = "Nivra://bad%zz";
  platform::CopyDataRecord badRecord{0, sizeof bad, bad};
  EXPECT_EQ(
      form->handleMessage({platform::WM_COPYDATA, 0, reinterpret_cast<std::intptr_t>(&badRecord)}),
      1);
  EXPECT_EQ(form->PendingUrl(), "Nivra://x yA");  // nothing opened
  pump();
  EXPECT_NE(log().find("ShowError:"), std::string::npos) << log();
  EXPECT_EQ(modalOwners_, std::vector<QWidget*>{form.get()});  // the dialog sits on its window
  EXPECT_EQ(log().find("OpenPending:Nivra://bad"), std::string::npos);
}

TEST_F(MainFormTest, LinksHandedOverFasterThanOpenedAreOpenedInOrder) {
  auto form = make({});
  for (const char* link : {"Nivra://one", "Nivra://two", "Nivra://three"}) {
    platform::CopyDataRecord record{0, static_cast<std::uint32_t>(std::strlen(link) + 1), link};
    form->handleMessage({platform::WM_COPYDATA, 0, reinterpret_cast<std::intptr_t>(&record)});
  }
  EXPECT_EQ(form->PendingUrl(), "Nivra://three");
  pump();
  const std::string text = log();
  const auto one = text.find("OpenPending:Nivra://one"), two = text.find("OpenPending:Nivra://two"),
             three = text.find("OpenPending:Nivra://three");
  ASSERT_NE(three, std::string::npos) << text;
  EXPECT_LT(one, two);
  EXPECT_LT(two, three);
}

TEST_F(MainFormTest, InstanceActivateShowsAHiddenWindowAndRepliesOne) {
  auto form = make({});
  ASSERT_FALSE(form->isVisible());
  EXPECT_EQ(form->handleMessage({platform::WM_INSTANCE_ACTIVATE, 0, 0}), 1);
  EXPECT_TRUE(form->isVisible());
  EXPECT_TRUE(form->navigateTimerEnabled());
}

TEST_F(MainFormTest, AClosedWindowTakesNoMoreMessagesAndStaysHidden) {
  auto form = make({"/A"});
  form->handleMessage({platform::WM_CLOSE, 0, 0});
  EXPECT_NE(log().find("FormClose"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "nivra" / "TNivraMainForm.sock"));
  // A hand-over racing the close neither brings the window back nor opens anything.
  EXPECT_EQ(form->handleMessage({platform::WM_INSTANCE_ACTIVATE, 1, 0}), 0);
  const char link[] = "Nivra://late";
  platform::CopyDataRecord record{0, sizeof link, link};
  EXPECT_EQ(
      form->handleMessage({platform::WM_COPYDATA, 0, reinterpret_cast<std::intptr_t>(&record)}), 0);
  pump();
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(log().find("OpenPending"), std::string::npos);
}

TEST_F(MainFormTest, WorkersStopWhileTheWindowStillExistsWhenTheLoopEnds) {
  std::atomic<bool> stopped{false};
  bool windowAliveWhenStopped = false;
  net::BackgroundTasks workers;
  QPointer<TNivraMainForm> window;
  QTimer::singleShot(0, [&] {
    window = findMainWindow();
    workers.start([&](std::stop_token stop) {
      while (!stop.stop_requested()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      // A download ending now reports to the window; the window must still be there.
      windowAliveWhenStopped = window != nullptr;
      if (window) window->postMessage({platform::WM_OPEN_PENDING, 1, 0});
      stopped = true;
    });
    window->close();
  });
  CommandLine cmd;
  cmd.selfPath = "/usr/bin/nivra";
  cmd.args = {"/A"};  // hidden: the loop must end all the same
  EXPECT_EQ(RunMainWindowLoop(loop_, cmd, true, workers, config_, endpoints_), 0);
  EXPECT_TRUE(stopped);
  EXPECT_EQ(workers.running(), 0u);
  EXPECT_TRUE(windowAliveWhenStopped);
  EXPECT_EQ(findMainWindow(), nullptr);
  EXPECT_TRUE(window.isNull());
  pump();  // what the worker posted is dropped with the window
  EXPECT_EQ(log().find("OpenPending"), std::string::npos);
}

TEST_F(MainFormTest, ZeroShortcutInTheSettingsGetsTheActionsShortcutBack) {
  config_.hkMute = 0;
  config_.hkOpenFile = common::kCtrlBit | common::kShiftBit | 'P';
  auto form = make({});
  EXPECT_EQ(config_.hkMute, 16461);  // Ctrl+M
  EXPECT_EQ(config_.hkOpenFile, common::kCtrlBit | common::kShiftBit | 'P');
}

}  // namespace
}  // namespace nivra::app
