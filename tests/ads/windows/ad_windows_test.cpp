// The ad windows with real pages from python's http.server on 127.0.0.1, on the offscreen
// platform; the display time runs in virtual time.

#include <gtest/gtest.h>

#include <QApplication>
#include <QScreen>
#include <QTest>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "ads/windows/form_mini.h"
#include "ads/windows/htm_form_show.h"
#include "platform/manual_event_loop.h"
#include "tests/support/debug_log.h"
#include "tests/ui/web/page_server.h"
#include "ui/web/web_view.h"

namespace nivra::ads {
namespace {

// Qt WebEngine reads these when its first page is made (as root the sandbox cannot start).
const bool kWebEngineEnvironment = [] {
  ::setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
  ::setenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu", 0);
  return true;
}();

// Limit for waits on the browser; reaching it fails the test rather than timing anything.
constexpr int kPatienceMs = 30000;

struct RecordingLauncher final : PopUpLauncher {
  std::vector<std::vector<std::string>> starts;
  bool Start(const std::vector<std::string>& args) override {
    starts.push_back(args);
    return true;
  }
};

// Counts the window's Show events, so a window that showed only for a moment is seen.
struct ShowCounter final : QObject {
  int shows = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Show) ++shows;
    return false;
  }
};

bool containsLine(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class AdWindowsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    server_ = std::make_unique<test::PageServer>();
    server_->addPage("ad.html", R"(<!doctype html><body style="margin:0;background:#fc0">
<h1>Ad</h1>
<a id="play" href="Nivra://ABC%41def">play</a>
<a id="more" href="Nivra://More+1">more</a>
<script>function GetExtInfo(id) { return id === 'more' ? 'http://info.example/' + id : ''; }</script>
</body>)");
    server_->addPage("dialogs.html", R"(<!doctype html><script>
  alert('hello ad');
  confirm('sure?');
  document.title = 'asked';
</script>)");
    server_->addPage("closing.html", "<!doctype html><p>closing</p>");
    // A page that leaves for another host before it has finished loading.
    server_->addPage(
        "away.html",
        "<!doctype html><script>location.replace('" +
            server_->url("ad.html").toString().replace("127.0.0.1", "localhost").toStdString() +
            "');</script>");
  }
  static void TearDownTestSuite() { server_.reset(); }

  void SetUp() override { ASSERT_TRUE(server_->running()); }

  static QString url(const char* name) {
    return server_->url(QString::fromLatin1(name)).toString();
  }

  void runScript(ui::WebView& view, const QString& code) {
    bool done = false;
    view.webPage().runJavaScript(code, [&](const QVariant&) { done = true; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return done; }, kPatienceMs)) << code.toStdString();
  }

  static std::unique_ptr<test::PageServer> server_;
  platform::ManualEventLoop loop_;
  RecordingLauncher launcher_;
  int stamps_ = 0;
  test::DebugLog log_;
};

std::unique_ptr<test::PageServer> AdWindowsTest::server_;

struct AdForm {
  AdForm(platform::EventLoop& loop, PopUpLauncher& launcher, int& stamps, int showTimeMs)
      : form(loop, launcher, 300, 200, showTimeMs, [&stamps] { ++stamps; }) {
    form.installEventFilter(&counter);
    form.OnClosed = [this] { ++closed; };
  }
  THtmFormShow form;
  ShowCounter counter;
  int closed = 0;
};

TEST_F(AdWindowsTest, TheAdShowsAtTheBottomRightAboveOthersAndClosesAfterItsTime) {
  AdForm ad(loop_, launcher_, stamps_, 5000);
  ad.form.Navigate(url("ad.html"));
  EXPECT_FALSE(ad.form.isVisible());
  ASSERT_TRUE(QTest::qWaitFor([&] { return ad.form.isVisible(); }, kPatienceMs));
  const QRect work = ad.form.screen()->availableGeometry();
  EXPECT_EQ(ad.form.geometry(), QRect(work.right() + 1 - 300, work.bottom() + 1 - 200, 300, 200));
  const Qt::WindowFlags flags = ad.form.windowFlags();
  EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnTopHint));
  EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Tool);  // no taskbar entry
  EXPECT_TRUE(ad.form.testAttribute(Qt::WA_ShowWithoutActivating));
  EXPECT_EQ(stamps_, 1);

  loop_.advance(4999);
  EXPECT_TRUE(ad.form.isVisible());
  EXPECT_EQ(ad.closed, 0);
  loop_.advance(1);
  EXPECT_FALSE(ad.form.isVisible());
  EXPECT_EQ(ad.closed, 1);
}

TEST_F(AdWindowsTest, ScriptDialogsAreLoggedAndNeverShown) {
  AdForm ad(loop_, launcher_, stamps_, 5000);
  ad.form.Navigate(url("dialogs.html"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return ad.form.isVisible(); }, kPatienceMs));
  const auto lines = log_.lines();
  EXPECT_TRUE(containsLine(lines, "OnADShowMessage:hello ad"));
  EXPECT_TRUE(containsLine(lines, "OnADShowMessage:sure?"));
  for (QWidget* w : QApplication::topLevelWidgets())
    EXPECT_FALSE(w->isVisible() && w != &ad.form) << w->metaObject()->className();
  EXPECT_EQ(ad.form.browser().title(), QStringLiteral("asked"));
}

TEST_F(AdWindowsTest, WindowCloseInThePageClosesTheWindow) {
  AdForm ad(loop_, launcher_, stamps_, 60000);
  ad.form.Navigate(url("closing.html"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return ad.form.isVisible(); }, kPatienceMs));
  runScript(ad.form.browser(), QStringLiteral("window.close()"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return ad.closed == 1; }, kPatienceMs));
  EXPECT_FALSE(ad.form.isVisible());
}

TEST_F(AdWindowsTest, APageThatFailsToLoadClosesTheWindowUnseen) {
  for (const char* page : {"missing.html"}) {
    AdForm ad(loop_, launcher_, stamps_, 5000);
    ad.form.Navigate(url(page));
    ASSERT_TRUE(QTest::qWaitFor([&] { return ad.closed == 1; }, kPatienceMs)) << page;
    EXPECT_EQ(ad.counter.shows, 0) << page;
  }
  EXPECT_EQ(stamps_, 0);
}

TEST_F(AdWindowsTest, PrivateLinksStartTheMainProgramWithTheLinkOrThePagesAddress) {
  AdForm ad(loop_, launcher_, stamps_, 60000);
  ad.form.Navigate(url("ad.html"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return ad.form.isVisible(); }, kPatienceMs));
  const struct {
    const char* anchor;
    std::vector<std::string> args;
  } cases[] = {
      {"play", {"Nivra://ABC%41def"}},  // GetExtInfo gives no address: the link as written
      {"more", {"/WebShell", "http://info.example/more"}},
  };
  for (const auto& c : cases) {
    launcher_.starts.clear();
    runScript(ad.form.browser(),
              QStringLiteral("document.getElementById('%1').click()").arg(c.anchor));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !launcher_.starts.empty(); }, kPatienceMs))
        << c.anchor;
    EXPECT_EQ(launcher_.starts, std::vector<std::vector<std::string>>{c.args}) << c.anchor;
  }
  EXPECT_EQ(ad.form.browser().url(), QUrl(url("ad.html")));  // the page stays
  EXPECT_TRUE(ad.form.isVisible());
}

struct MiniForm {
  MiniForm(PopUpLauncher& launcher, int& stamps) : form(launcher, [&stamps] { ++stamps; }) {
    form.installEventFilter(&counter);
    form.OnClosed = [this] { ++closed; };
  }
  TFormMini form;
  ShowCounter counter;
  int closed = 0;
};

TEST_F(AdWindowsTest, TheMiniWindowWaitsOffScreenAndShowsCentredForItsHost) {
  MiniForm mini(launcher_, stamps_);
  mini.form.ShowMiniWindow(url("ad.html"), 640, 420);
  EXPECT_EQ(mini.form.geometry(), QRect(-640, -420, 640, 420));
  EXPECT_FALSE(mini.form.isVisible());
  ASSERT_TRUE(QTest::qWaitFor([&] { return mini.form.isVisible(); }, kPatienceMs));
  const QRect work = mini.form.screen()->availableGeometry();
  EXPECT_EQ(mini.form.geometry(), QRect(work.x() + (work.width() - 640) / 2,
                                        work.y() + (work.height() - 420) / 2, 640, 420));
  EXPECT_TRUE(containsLine(log_.lines(), "OnMiniDocumentComplete:Form show"));
  EXPECT_EQ(mini.form.title(), QStringLiteral("Nivra影视推荐"));
  EXPECT_EQ(stamps_, 1);
}

TEST_F(AdWindowsTest, AMiniPageFromAnotherHostNeverShows) {
  MiniForm mini(launcher_, stamps_);
  mini.form.ShowMiniWindow(url("away.html"), 640, 420);
  ASSERT_TRUE(QTest::qWaitFor([&] { return mini.closed == 1; }, kPatienceMs));
  EXPECT_EQ(mini.counter.shows, 0);
  EXPECT_EQ(stamps_, 0);
  EXPECT_FALSE(containsLine(log_.lines(), "OnMiniDocumentComplete:Form show"));
  // It was the other host's page that completed, not a failure.
  EXPECT_EQ(mini.form.wb1().url().host(), QStringLiteral("localhost"));
}

TEST_F(AdWindowsTest, MiniScriptDialogsAreLoggedAndTheSizeDefaultsToTheForms) {
  MiniForm mini(launcher_, stamps_);
  mini.form.ShowMiniWindow(url("dialogs.html"), 0, -1);
  ASSERT_TRUE(QTest::qWaitFor([&] { return mini.form.isVisible(); }, kPatienceMs));
  EXPECT_EQ(mini.form.size(), QSize(TFormMini::kClientWidth, TFormMini::kClientHeight));
  EXPECT_TRUE(containsLine(log_.lines(), "OnMiniShowMessage:hello ad"));
  EXPECT_TRUE(containsLine(log_.lines(), "OnMiniShowMessage:sure?"));
}

}  // namespace
}  // namespace nivra::ads
