#include "ui/web/web_page.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <vector>

#include "tests/ui/web/page_server.h"
#include "ui/web/web_view.h"

// Readable values in failure messages.
inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QUrl& url, std::ostream* os) { *os << url.toString().toStdString(); }

namespace nivra::ui {

void PrintTo(ScriptDialog kind, std::ostream* os) {
  *os << (kind == ScriptDialog::Alert     ? "alert"
          : kind == ScriptDialog::Confirm ? "confirm"
                                          : "prompt");
}

namespace {

// Qt WebEngine reads these when its first page is made; set here as well so that the binary
// also runs outside CTest (as root the sandbox cannot start).
const bool kWebEngineEnvironment = [] {
  ::setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
  ::setenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu", 0);
  return true;
}();

// Limit for waits on the browser; reaching it fails the test rather than timing anything.
constexpr int kPatienceMs = 30000;

constexpr char kPrivateLink[] = "Nivra://ABC%41def";

// What the page reported, in order.
struct Recorder {
  std::vector<NavigationRequest> requests;
  std::vector<int> progress;
  std::vector<QUrl> started, completed;
  std::vector<NavigationError> errors;
  std::vector<std::pair<ScriptDialog, QString>> dialogs;
  std::vector<QString> links;
  std::function<bool(const NavigationRequest&)> decide = [](const NavigationRequest&) {
    return true;
  };

  WebPageEvents events() {
    WebPageEvents e;
    e.beforeNavigate = [this](const NavigationRequest& r) {
      requests.push_back(r);
      return decide(r);
    };
    e.loadStarted = [this](const QUrl& u) { started.push_back(u); };
    e.loadProgress = [this](int p) { progress.push_back(p); };
    e.documentComplete = [this](const QUrl& u) { completed.push_back(u); };
    e.navigationError = [this](const NavigationError& err) { errors.push_back(err); };
    e.scriptDialog = [this](ScriptDialog k, const QString& t) { dialogs.emplace_back(k, t); };
    e.privateLink = [this](const QString& l) { links.push_back(l); };
    return e;
  }
};

class WebPageTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    server_ = std::make_unique<test::PageServer>();
    server_->addPage("index.html", R"(<!doctype html><html><body style="margin:0">
<p><a id="priv" href="Nivra://ABC%41def" style="font-size:40px">play</a></p>
<p><a id="next" href="next.html" style="font-size:40px">next</a></p>
<iframe id="frame" src="frame.html" style="width:400px;height:200px;border:0"></iframe>
<script>
  function GetExtInfo(id) { return 'http://info/' + id; }
  function Echo(text) { return text; }
</script>
</body></html>)");
    server_->addPage("frame.html", R"(<!doctype html><html><body style="margin:0">
<a id="fpriv" href="Nivra://ABC%41def" style="font-size:40px">frame play</a>
</body></html>)");
    server_->addPage("shadow.html", R"(<!doctype html><div id="host"></div><script>
  const root = document.getElementById('host').attachShadow({mode: 'closed'});
  root.innerHTML = '<a id="inner" href="Nivra://Sh%41dow">hidden link</a>';
  function clickHiddenLink() { root.getElementById('inner').click(); }
</script>)");
    server_->addPage("next.html", "<!doctype html><title>next</title><p>next page</p>");
    server_->addPage("dialogs.html", R"(<!doctype html><script>
  alert('hello');
  const yes = confirm('sure?');
  const name = prompt('name?', 'default');
  document.title = 'done ' + yes + ' ' + name;
</script>)");
  }
  static void TearDownTestSuite() { server_.reset(); }

  void SetUp() override {
    ASSERT_TRUE(server_->running());
    view_ = std::make_unique<WebView>();
    view_->resize(800, 600);
    view_->show();
    page().setEvents(recorder_.events());
  }

  WebPage& page() { return view_->webPage(); }
  static QUrl url(const QString& name) { return server_->url(name); }

  // Loads `address` and waits until it completed or failed.
  void load(const QUrl& address) {
    const auto done = [this] { return recorder_.completed.size() + recorder_.errors.size(); };
    const auto before = done();
    page().load(address);
    ASSERT_TRUE(QTest::qWaitFor([&] { return done() > before; }, kPatienceMs))
        << address.toString().toStdString();
  }

  // Runs `code` in the top-level document and waits for its value.
  QVariant evaluate(const QString& code) {
    QVariant value;
    bool answered = false;
    page().runJavaScript(code, [&](const QVariant& v) {
      value = v;
      answered = true;
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return answered; }, kPatienceMs)) << code.toStdString();
    return value;
  }

  // A real mouse click at a page point, through the widget that takes the view's input.
  void clickAt(QPointF point, Qt::MouseButton button = Qt::LeftButton) {
    QWidget* input = view_->focusProxy();
    ASSERT_NE(input, nullptr);
    QTest::mouseClick(input, button, {}, point.toPoint());
  }

  // The middle of an element of the top-level document or, with `frameId`, of that frame's.
  QPointF centreOf(const QString& id, const QString& frameId = {}) {
    const QString code = test::elementCentreScript(id, frameId);
    const QVariantList xy = evaluate(code).toList();
    EXPECT_EQ(xy.size(), 2);
    return xy.size() == 2 ? QPointF(xy[0].toDouble(), xy[1].toDouble()) : QPointF();
  }

  // A round trip through the renderer: whatever the page did before has reached us.
  void settle() { evaluate(QStringLiteral("0")); }

  static std::unique_ptr<test::PageServer> server_;
  Recorder recorder_;
  std::unique_ptr<WebView> view_;
};

std::unique_ptr<test::PageServer> WebPageTest::server_;

TEST_F(WebPageTest, ALoadProgressesToTheEndAndCompletesOnceForTheTopDocument) {
  load(url("index.html"));
  settle();
  EXPECT_TRUE(recorder_.errors.empty());
  EXPECT_EQ(recorder_.started, std::vector<QUrl>{url("index.html")});
  EXPECT_EQ(recorder_.completed, std::vector<QUrl>{url("index.html")});  // not the frame
  ASSERT_FALSE(recorder_.progress.empty());
  EXPECT_EQ(recorder_.progress.back(), 100);
  EXPECT_TRUE(std::is_sorted(recorder_.progress.begin(), recorder_.progress.end()));
  // Both documents were asked for, and the frame's request says so.
  ASSERT_EQ(recorder_.requests.size(), 2u);
  EXPECT_TRUE(recorder_.requests[0].isMainFrame);
  EXPECT_EQ(recorder_.requests[1].url, url("frame.html"));
  EXPECT_FALSE(recorder_.requests[1].isMainFrame);
}

TEST_F(WebPageTest, ACancelledNavigationLeavesThePageWithoutAnError) {
  load(url("index.html"));
  recorder_.decide = [](const NavigationRequest& r) { return !r.url.path().endsWith("next.html"); };
  const auto completedBefore = recorder_.completed.size();
  struct Case {
    const char* how;
    const char* script;
    bool mainFrame;
  } cases[] = {
      {"link in the top document", "document.getElementById('next').click()", true},
      {"script in the top document", "location.href = 'next.html'", true},
      {"frame", "document.getElementById('frame').contentWindow.location.href = 'next.html'",
       false},
  };
  for (const auto& c : cases) {
    recorder_.requests.clear();
    evaluate(QString::fromUtf8(c.script));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !recorder_.requests.empty(); }, kPatienceMs)) << c.how;
    settle();
    EXPECT_EQ(recorder_.requests.back().url, url("next.html")) << c.how;
    EXPECT_EQ(recorder_.requests.back().isMainFrame, c.mainFrame) << c.how;
    EXPECT_EQ(evaluate("location.href").toString(), url("index.html").toString()) << c.how;
    EXPECT_EQ(evaluate("document.getElementById('frame').contentWindow.location.href").toString(),
              url("frame.html").toString())
        << c.how;
  }
  EXPECT_TRUE(recorder_.errors.empty());
  EXPECT_EQ(recorder_.completed.size(), completedBefore);

  // The same navigation, allowed, goes through: the refusal above was the callback's.
  recorder_.decide = [](const NavigationRequest&) { return true; };
  evaluate("location.href = 'next.html'");
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return recorder_.completed.size() > completedBefore; }, kPatienceMs));
  EXPECT_EQ(recorder_.completed.back(), url("next.html"));
}

TEST_F(WebPageTest, FailedTopLevelLoadsReportTheErrorAndNeverComplete) {
  QTcpServer closed;  // a port that was free a moment ago and now refuses connections
  ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
  const QUrl refused(QStringLiteral("http://127.0.0.1:%1/").arg(closed.serverPort()));
  closed.close();
  struct Case {
    QUrl address;
    QWebEngineLoadingInfo::ErrorDomain domain;
    int code;
  } cases[] = {
      {url("missing.html"), QWebEngineLoadingInfo::HttpStatusCodeDomain, 404},
      {refused, QWebEngineLoadingInfo::ConnectionErrorDomain, -102},  // ERR_CONNECTION_REFUSED
  };
  for (const auto& c : cases) {
    recorder_.errors.clear();
    load(c.address);
    settle();
    ASSERT_EQ(recorder_.errors.size(), 1u) << c.address.toString().toStdString();
    EXPECT_EQ(recorder_.errors[0].url, c.address);
    EXPECT_EQ(recorder_.errors[0].domain, c.domain) << c.address.toString().toStdString();
    EXPECT_EQ(recorder_.errors[0].code, c.code) << c.address.toString().toStdString();
    EXPECT_TRUE(recorder_.completed.empty()) << c.address.toString().toStdString();
  }
}

TEST_F(WebPageTest, ALoadStoppedOrReplacedBeforeItEndsIsNoError) {
  QTcpServer silent;  // accepts connections and never answers: the load stays pending
  ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
  const QUrl pending(QStringLiteral("http://127.0.0.1:%1/slow").arg(silent.serverPort()));
  struct Case {
    const char* how;
    std::function<void(WebPage&)> end;
  } cases[] = {
      {"stop", [](WebPage& p) { p.triggerAction(QWebEnginePage::Stop); }},
      {"new load", [](WebPage& p) { p.load(server_->url("next.html")); }},
  };
  for (const auto& c : cases) {
    recorder_.started.clear();
    page().load(pending);
    ASSERT_TRUE(QTest::qWaitFor([&] { return silent.hasPendingConnections(); }, kPatienceMs));
    c.end(page());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !page().isLoading(); }, kPatienceMs)) << c.how;
    settle();
    EXPECT_TRUE(recorder_.errors.empty()) << c.how;
    while (silent.hasPendingConnections()) delete silent.nextPendingConnection();
  }
}

TEST_F(WebPageTest, ScriptDialogsAreReportedAndAnsweredWithCancelWithoutShowingAnything) {
  load(url("dialogs.html"));
  // The script ran to its end: no dialog waited for a user.
  ASSERT_TRUE(QTest::qWaitFor([&] { return page().title().startsWith("done"); }, kPatienceMs));
  EXPECT_EQ(page().title(), "done false null");
  const std::vector<std::pair<ScriptDialog, QString>> expected{{ScriptDialog::Alert, "hello"},
                                                               {ScriptDialog::Confirm, "sure?"},
                                                               {ScriptDialog::Prompt, "name?"}};
  EXPECT_EQ(recorder_.dialogs, expected);
  for (QWidget* w : QApplication::topLevelWidgets())
    EXPECT_FALSE(w->isVisible() && w != view_.get()) << w->metaObject()->className();
}

TEST_F(WebPageTest, AClickedPrivateLinkIsHandedOverAsWrittenAndThePageStays) {
  load(url("index.html"));
  ASSERT_TRUE(QTest::qWaitFor(
      [&] {
        return evaluate("document.getElementById('frame').contentDocument.readyState").toString() ==
               "complete";
      },
      kPatienceMs));
  struct Case {
    const char* where;
    QString id, frameId;
  } cases[] = {{"top document", "priv", ""}, {"frame", "fpriv", "frame"}};
  for (const auto& c : cases) {
    recorder_.links.clear();
    recorder_.requests.clear();
    clickAt(centreOf(c.id, c.frameId));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !recorder_.links.empty(); }, kPatienceMs)) << c.where;
    settle();
    EXPECT_EQ(recorder_.links, std::vector<QString>{kPrivateLink}) << c.where;
    EXPECT_TRUE(recorder_.requests.empty()) << c.where;  // no navigation was even started
    EXPECT_EQ(evaluate("location.href").toString(), url("index.html").toString()) << c.where;
    EXPECT_EQ(evaluate("document.getElementById('frame').contentWindow.location.href").toString(),
              url("frame.html").toString())
        << c.where;
  }
  EXPECT_TRUE(recorder_.errors.empty());
  EXPECT_EQ(recorder_.completed.size(), 1u);
}

TEST_F(WebPageTest, ScriptOpenedPrivateLinksAreCancelledAndHandedOver) {
  load(url("index.html"));
  struct Case {
    const char* script;
    const char* link;
  } cases[] = {
      // window.open keeps the text as written, spaces around it dropped as a browser does.
      {"window.open(' Nivra://Open%41Me ')", "Nivra://Open%41Me"},
      // A location assignment keeps escapes and letter case; the scheme comes lower-cased.
      {"location.href = 'NIVRA://Loc%41X'", "nivra://Loc%41X"},
      {"document.getElementById('frame').contentWindow.location = 'Nivra://Fr%41me'",
       "nivra://Fr%41me"},
  };
  for (const auto& c : cases) {
    recorder_.links.clear();
    evaluate(QString::fromUtf8(c.script));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !recorder_.links.empty(); }, kPatienceMs)) << c.script;
    settle();
    EXPECT_EQ(recorder_.links, std::vector<QString>{c.link}) << c.script;
    EXPECT_EQ(evaluate("location.href").toString(), url("index.html").toString()) << c.script;
  }
  EXPECT_TRUE(recorder_.errors.empty());
}

// A link inside a closed shadow tree is hidden from the capture listener; the navigation is
// still caught, with the scheme lower-cased, and the page stays.
TEST_F(WebPageTest, ALinkHiddenInAClosedShadowTreeIsCaughtAsTheUrlParserKeepsIt) {
  load(url("shadow.html"));
  evaluate("clickHiddenLink()");
  ASSERT_TRUE(QTest::qWaitFor([&] { return !recorder_.links.empty(); }, kPatienceMs));
  settle();
  EXPECT_EQ(recorder_.links, std::vector<QString>{"nivra://Sh%41dow"});
  EXPECT_EQ(evaluate("location.href").toString(), url("shadow.html").toString());
  EXPECT_TRUE(recorder_.errors.empty());
}

TEST_F(WebPageTest, PageScriptHelpersFindAnchorsAndCallFunctions) {
  load(url("index.html"));
  const auto anchorId = [&](const QString& href) {
    QString id = "(no answer)";
    page().findAnchorIdByHref(href, [&](const QString& found) { id = found; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return id != "(no answer)"; }, kPatienceMs));
    return id;
  };
  EXPECT_EQ(anchorId("nivra://abc%41DEF"), "priv");          // as written, any case
  EXPECT_EQ(anchorId(url("next.html").toString()), "next");  // as the browser resolves it
  EXPECT_EQ(anchorId("Nivra://other"), "");

  const auto call = [&](const QString& name, const QString& argument) {
    std::optional<QVariant> result;
    page().callPageScript(name, argument, [&](const QVariant& v) { result = v; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return result.has_value(); }, kPatienceMs));
    return result.value_or(QVariant());
  };
  EXPECT_EQ(call("GetExtInfo", "priv").toString(), "http://info/priv");
  const QString awkward =
      QStringLiteral("quote\" apostrophe' back\\slash\nline </script> \u2028 中文");
  EXPECT_EQ(call("Echo", awkward).toString(), awkward);
  EXPECT_FALSE(call("NoSuchFunction", "x").isValid());
}

TEST_F(WebPageTest, ARightClickOpensNoContextMenu) {
  load(url("index.html"));
  settle();
  clickAt(centreOf("next"), Qt::RightButton);
  settle();
  settle();
  for (QWidget* w : QApplication::topLevelWidgets())
    EXPECT_FALSE(qobject_cast<QMenu*>(w) && w->isVisible());
}

}  // namespace
}  // namespace nivra::ui
