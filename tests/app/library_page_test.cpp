// The library page against pages served by python's http.server on 127.0.0.1: the loading
// mask and its count-down (virtual time), the error panel and its "刷新", private links from the
// page and its frames, script message boxes; and the scrolling text's "left.xml".

#include "app/library_page.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QEnterEvent>
#include <QLabel>
#include <QTcpServer>
#include <QTest>
#include <cstdlib>
#include <memory>
#include <ostream>
#include <vector>

#include "net/background_tasks.h"
#include "net/server_endpoints.h"
#include "platform/manual_event_loop.h"
#include "platform/message.h"
#include "platform/messages.h"
#include "tests/support/debug_log.h"
#include "tests/support/temp_dir.h"
#include "tests/ui/web/page_server.h"
#include "ui/png_track_bar.h"
#include "ui/roll_label.h"
#include "ui/web/web_view.h"

inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}

namespace nivra::app {
namespace {

// Limit for waits on the browser; reaching it fails the test rather than timing anything.
constexpr int kPatienceMs = 30000;

constexpr char kStartPage[] = R"(<!doctype html><html><body style="margin:0;background:#222">
<p><a id="priv" href="Nivra://ABC%41def" style="font-size:40px">play</a></p>
<iframe id="frame" src="frame.html" style="width:400px;height:200px;border:0"></iframe>
</body></html>)";
constexpr char kFramePage[] = R"(<!doctype html><html><body style="margin:0">
<a id="fpriv" href="Nivra://Fr%41me/1?x=Y" style="font-size:40px">frame play</a>
</body></html>)";

void AddSite(test::PageServer& server) {
  server.addPage("index.htm", kStartPage);
  server.addPage("frame.html", kFramePage);
  server.addPage(
      "alert.html",
      "<!doctype html><meta charset=\"utf-8\"><script>alert('你好 hello');</script><p>x</p>");
}

// A port that refused connections a moment ago and can be listened on again.
int DeadPort() {
  QTcpServer probe;
  if (!probe.listen(QHostAddress::LocalHost)) return 0;
  const int port = probe.serverPort();
  probe.close();
  return port;
}

QString StartPageOn(int port) { return QStringLiteral("http://127.0.0.1:%1/index.htm").arg(port); }

// Saves a picture of `widget` when NIVRA_SCREENSHOT_DIR names a folder (for looking at).
void Screenshot(QWidget& widget, const char* name) {
  if (const char* dir = std::getenv("NIVRA_SCREENSHOT_DIR"))
    widget.grab().save(QString::fromUtf8(dir) + "/" + name + ".png");
}

class LibraryPageTest : public ::testing::Test {
 protected:
  // A page whose start page is `startPage`, shown, with its loads and links recorded.
  void Make(const QString& startPage) {
    page_ = std::make_unique<TLibraryPage>(loop_, startPage);
    page_->resize(800, 600);
    page_->show();
    page_->OnPrivateLink = [this](const QString& link) { links_.push_back(link); };
    QObject::connect(&page_->wb1()->webPage(), &QWebEnginePage::loadFinished,
                     [this](bool ok) { (ok ? loaded_ : failed_)++; });
  }

  // Serves the site and makes the page with the site's start page.
  void OpenSite() {
    site_ = std::make_unique<test::PageServer>();
    ASSERT_TRUE(site_->running());
    AddSite(*site_);
    Make(SiteUrl("index.htm"));
  }
  QString SiteUrl(const char* name) const {
    return site_->url(QString::fromLatin1(name)).toString();
  }
  // Loads a page of the site and waits until it loaded.
  void Load(const char* name) {
    const int before = loaded_;
    page_->Navigate(SiteUrl(name));
    WaitLoaded(before + 1);
  }
  // Waits until the number of finished loads of the top document reaches `count`.
  void WaitLoaded(int count) {
    ASSERT_TRUE(QTest::qWaitFor([&] { return loaded_ >= count; }, kPatienceMs));
  }
  bool MaskShown() const { return !page_->pnlMask()->isHidden(); }
  bool ErrorShown() const { return !page_->pnlError()->isHidden(); }
  QLabel* Label(const char* name) const {
    return page_->findChild<QLabel*>(QString::fromLatin1(name));
  }

  QVariant Evaluate(const QString& code) {
    QVariant value;
    bool answered = false;
    page_->wb1()->webPage().runJavaScript(code, [&](const QVariant& v) {
      value = v;
      answered = true;
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return answered; }, kPatienceMs)) << code.toStdString();
    return value;
  }
  // A real mouse click on the middle of an element of the top document or of a frame's.
  void ClickElement(const QString& id, const QString& frameId) {
    const QString code = test::elementCentreScript(id, frameId);
    const QVariantList xy = Evaluate(code).toList();
    ASSERT_EQ(xy.size(), 2);
    QWidget* input = page_->wb1()->focusProxy();
    ASSERT_NE(input, nullptr);
    QTest::mouseClick(input, Qt::LeftButton, {}, QPoint(xy[0].toInt(), xy[1].toInt()));
  }

  platform::ManualEventLoop loop_;
  std::unique_ptr<test::PageServer> site_;
  std::unique_ptr<TLibraryPage> page_;
  std::vector<QString> links_;
  int loaded_ = 0;
  int failed_ = 0;
};

TEST_F(LibraryPageTest, TheMaskCoversTheStartPageWhileItLoadsAndGoesThreeSecondsAfterward) {
  OpenSite();
  EXPECT_TRUE(MaskShown());  // at start, before anything loads
  EXPECT_FALSE(ErrorShown());
  EXPECT_TRUE(page_->ShowsBlank());
  Screenshot(*page_, "library-mask");

  Load("index.htm");
  EXPECT_FALSE(page_->ShowsBlank());
  EXPECT_EQ(page_->LastNavigateUrl(), SiteUrl("frame.html"));  // frames count
  EXPECT_TRUE(MaskShown());
  EXPECT_TRUE(page_->HideMaskPending());
  EXPECT_EQ(page_->pgLoad()->Position(), page_->pgLoad()->Max());  // the bar ran full
  Screenshot(*page_, "library-mask-loaded");
  loop_.advance(TLibraryPage::kHideMaskMs - 1);
  EXPECT_TRUE(MaskShown());
  loop_.advance(1);
  EXPECT_FALSE(MaskShown());
  EXPECT_FALSE(page_->HideMaskPending());

  // Another page of the site loads without the mask; the start page brings it back.
  Load("alert.html");
  EXPECT_FALSE(MaskShown());
  page_->Navigate(SiteUrl("index.htm"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return MaskShown(); }, kPatienceMs));
  WaitLoaded(3);
  loop_.advance(TLibraryPage::kHideMaskMs);
  EXPECT_FALSE(MaskShown());
  EXPECT_EQ(failed_, 0);
}

TEST_F(LibraryPageTest, AStartPageThatNeverAnswersKeepsTheMaskWithoutAnError) {
  QTcpServer silent;  // accepts connections and never answers
  ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
  const QString start = StartPageOn(silent.serverPort());
  Make(start);
  page_->Navigate(start);
  ASSERT_TRUE(QTest::qWaitFor([&] { return silent.hasPendingConnections(); }, kPatienceMs));
  loop_.advance(60000);
  EXPECT_TRUE(MaskShown());
  EXPECT_FALSE(ErrorShown());
  EXPECT_FALSE(page_->pnlInfo()->isHidden());
  EXPECT_EQ(page_->LastNavigateUrl(), start);
}

// The page arrives but a picture of it never does: the document never completes, and the mask
// goes 3 s after the progress passed the first fifth.
TEST_F(LibraryPageTest, AStartPageWithAPictureThatNeverArrivesLosesTheMaskAfterItsFirstFifth) {
  QTcpServer silent;
  ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
  test::PageServer server;
  ASSERT_TRUE(server.running());
  server.addPage("index.htm", QStringLiteral("<!doctype html><p>catalogue</p>"
                                             "<img src=\"http://127.0.0.1:%1/poster.png\">")
                                  .arg(silent.serverPort())
                                  .toStdString());
  Make(server.url("index.htm").toString());
  page_->Navigate(server.url("index.htm").toString());
  ASSERT_TRUE(QTest::qWaitFor([&] { return page_->HideMaskPending(); }, kPatienceMs));
  EXPECT_TRUE(page_->wb1()->webPage().isLoading());
  EXPECT_GE(page_->pgLoad()->Position() * 5, page_->pgLoad()->Max());
  EXPECT_TRUE(MaskShown());
  loop_.advance(TLibraryPage::kHideMaskMs);
  EXPECT_FALSE(MaskShown());
  EXPECT_EQ(loaded_ + failed_, 0);
}

TEST_F(LibraryPageTest,
       AnUnreachableStartPageShowsTheErrorPanelAndRefreshLoadsItOnceTheServerIsUp) {
  const int port = DeadPort();
  ASSERT_NE(port, 0);
  const QString start = StartPageOn(port);
  Make(start);
  page_->Navigate(start);
  ASSERT_TRUE(QTest::qWaitFor([&] { return failed_ > 0; }, kPatienceMs));
  ASSERT_TRUE(QTest::qWaitFor([&] { return ErrorShown(); }, kPatienceMs));
  EXPECT_TRUE(MaskShown());
  EXPECT_TRUE(page_->pnlInfo()->isHidden());
  EXPECT_FALSE(page_->HideMaskPending());
  loop_.advance(60000);  // the error stays until the user acts
  EXPECT_TRUE(MaskShown());
  EXPECT_TRUE(ErrorShown());
  EXPECT_EQ(
      Label("lblError")->text(),
      QStringLiteral("很抱歉，未能连接到网络\n建议您：检查网络连接是否连接正常，如果连接正常，"
                     "请返刷新重试"));

  // The labels of the error panel turn orange under the mouse and white again after.
  QLabel* refresh = Label("lblErrorRefresh");
  ASSERT_NE(refresh, nullptr);
  EXPECT_EQ(refresh->text(), "刷新");
  EXPECT_EQ(Label("lblErrorBack")->text(), "返回");
  QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
  QApplication::sendEvent(refresh, &enter);
  EXPECT_EQ(refresh->palette().color(QPalette::WindowText), QColor(0xfe, 0xbf, 0x00));
  Screenshot(*page_, "library-error");
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(refresh, &leave);
  EXPECT_EQ(refresh->palette().color(QPalette::WindowText), QColor(Qt::white));

  test::PageServer server(port);
  ASSERT_TRUE(server.running());
  AddSite(server);
  QTest::mouseClick(refresh, Qt::LeftButton);
  WaitLoaded(1);
  EXPECT_EQ(page_->wb1()->url().toString(), start);
  EXPECT_FALSE(ErrorShown());
  EXPECT_FALSE(page_->pnlInfo()->isHidden());
  loop_.advance(TLibraryPage::kHideMaskMs);
  EXPECT_FALSE(MaskShown());
}

// A frame that navigates while the mask counts down (a rotating banner) leaves the count-down
// alone: frames never report their completion, so a stopped count-down would never restart.
TEST_F(LibraryPageTest, AFrameNavigatingAfterTheLoadDoesNotKeepTheMask) {
  OpenSite();
  Load("index.htm");
  ASSERT_TRUE(page_->HideMaskPending());
  Evaluate("document.getElementById('frame').contentWindow.location.href = 'frame.html?2'");
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return page_->LastNavigateUrl().endsWith("?2"); }, kPatienceMs));
  EXPECT_TRUE(page_->HideMaskPending());
  loop_.advance(TLibraryPage::kHideMaskMs);
  EXPECT_FALSE(MaskShown());
}

// A successful load ends the error state even when it is not the start page.
TEST_F(LibraryPageTest, BackFromAnErrorToAnotherPageOfTheSiteShowsThatPage) {
  OpenSite();
  Load("frame.html");
  Load("alert.html");
  loop_.advance(TLibraryPage::kHideMaskMs);
  EXPECT_FALSE(MaskShown());
  const QString dead = StartPageOn(DeadPort());
  page_->Navigate(dead);
  ASSERT_TRUE(QTest::qWaitFor([&] { return ErrorShown(); }, kPatienceMs));
  EXPECT_TRUE(MaskShown());

  QTest::mouseClick(Label("lblErrorBack"), Qt::LeftButton);
  WaitLoaded(3);  // a page of the site before the failed one
  EXPECT_EQ(page_->wb1()->url().host(), "127.0.0.1");
  EXPECT_EQ(page_->wb1()->url().port(), site_->url("").port());
  loop_.advance(TLibraryPage::kHideMaskMs);
  EXPECT_FALSE(ErrorShown());
  EXPECT_FALSE(MaskShown());
}

TEST_F(LibraryPageTest, PrivateLinksInThePageAndItsFramesReachTheWindowAsWrittenAndThePageStays) {
  OpenSite();
  Load("index.htm");
  const QString start = SiteUrl("index.htm");
  ASSERT_TRUE(QTest::qWaitFor(
      [&] {
        return Evaluate("document.getElementById('frame').contentDocument.readyState").toString() ==
               "complete";
      },
      kPatienceMs));
  struct Case {
    const char* where;
    QString id, frameId, link;
  } cases[] = {{"top document", "priv", "", "Nivra://ABC%41def"},
               {"frame", "fpriv", "frame", "Nivra://Fr%41me/1?x=Y"}};
  for (const auto& c : cases) {
    links_.clear();
    ClickElement(c.id, c.frameId);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !links_.empty(); }, kPatienceMs)) << c.where;
    Evaluate("0");
    EXPECT_EQ(links_, std::vector<QString>{c.link}) << c.where;
    EXPECT_EQ(Evaluate("location.href").toString(), start) << c.where;
    EXPECT_EQ(page_->wb1()->url().toString(), start) << c.where;
  }
  // The links did not disturb the mask's count-down started by the load.
  EXPECT_TRUE(page_->HideMaskPending());
  loop_.advance(TLibraryPage::kHideMaskMs);
  EXPECT_FALSE(MaskShown());
  EXPECT_EQ(loaded_, 1);
  EXPECT_EQ(failed_, 0);
}

TEST_F(LibraryPageTest, AScriptMessageBoxIsLoggedAndNotShown) {
  test::DebugLog log;
  OpenSite();
  Load("alert.html");
  EXPECT_TRUE(
      QTest::qWaitFor([&] { return log.contains("OnLibShowMessage:你好 hello"); }, kPatienceMs));
  for (QWidget* w : QApplication::topLevelWidgets())
    EXPECT_FALSE(w->isVisible() && w != page_.get()) << w->metaObject()->className();
}

// Counts the ready notices a window would get.
class ReadyCounter final : public platform::MessageTarget {
 public:
  using MessageTarget::MessageTarget;
  std::intptr_t handleMessage(const platform::Message& msg) override {
    if (msg.id == platform::WM_LEFT_XML_READY) ++ready;
    return 0;
  }
  int ready = 0;
};

TEST(LeftList, TheDownloadedListReplacesTheShownOneOnTheLabel) {
  test::PageServer server;
  ASSERT_TRUE(server.running());
  server.addPage("left.xml",
                 "<NewDataSet><ds><title>新片</title><url>http://n/1</url></ds>"
                 "<ds><title>t2</title><url>http://n/2</url></ds></NewDataSet>");
  test::TempDir data;
  data.write("left.xml", "<NewDataSet><ds><title>old</title><url>http://o</url></ds></NewDataSet>");
  platform::ManualEventLoop loop;
  ui::TRollLabel label(loop);
  ReadyCounter window(loop);
  net::BackgroundTasks tasks;
  net::ServerHosts hosts;
  hosts.display = "127.0.0.1:" + std::to_string(server.url("").port());

  FetchLeftList(window, net::ServerEndpoints(hosts), data.path(), tasks,
                {3, std::chrono::milliseconds(0)});
  loop.runPending();
  ASSERT_EQ(window.ready, 1);  // at once: the list on disk is shown
  ShowLeftList(label, data.path());
  EXPECT_EQ(label.Lines(), std::vector<std::string>{"old=http://o"});

  ASSERT_TRUE(QTest::qWaitFor(
      [&] {
        loop.runPending();
        return window.ready == 2;
      },
      kPatienceMs));
  ShowLeftList(label, data.path());
  EXPECT_EQ(label.Lines(), (std::vector<std::string>{"新片=http://n/1", "t2=http://n/2"}));
  EXPECT_FALSE(std::filesystem::exists(data / "ADleft.xml"));

  // A replacement that fails keeps what the label shows.
  data.write("ADleft.xml", "<NewDataSet><ds><title>x</title><url>y</url></ds></NewDataSet>");
  std::filesystem::remove(data / "left.xml");
  data.write("left.xml/blocker", "");
  ShowLeftList(label, data.path());
  EXPECT_EQ(label.Lines(), (std::vector<std::string>{"新片=http://n/1", "t2=http://n/2"}));
}

}  // namespace
}  // namespace nivra::app
