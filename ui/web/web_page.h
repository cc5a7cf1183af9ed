#pragma once
// The web page every browser of the system uses (the library page, the overlay panel, the ad
// windows). It reports what the windows react to through callbacks and shows nothing of its
// own: no error pages, no script dialogs, no scroll bars. Private links ("Nivra://…") clicked
// in the page, in any of its frames, are cancelled and handed over with their text as written.
// All callbacks run on the GUI thread; an unset callback is skipped.

#include <QUrl>
#include <QVariant>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <functional>

namespace nivra::ui {

// A navigation the page is about to start (a frame's as well as the top-level document's).
struct NavigationRequest {
  QUrl url;
  bool isMainFrame = true;
  QWebEnginePage::NavigationType type = QWebEnginePage::NavigationTypeOther;
};

// A top-level navigation that failed: no connection, a DNS failure, an HTTP status of 400 or
// more. `code` is the HTTP status for the HTTP domain, else the browser's (negative) net error.
struct NavigationError {
  QUrl url;
  int code = 0;
  QString text;
  QWebEngineLoadingInfo::ErrorDomain domain = QWebEngineLoadingInfo::NoErrorDomain;
};

enum class ScriptDialog { Alert, Confirm, Prompt };

struct WebPageEvents {
  // Asked before every navigation except private links; false cancels it.
  std::function<bool(const NavigationRequest&)> beforeNavigate;
  // The top-level document started loading.
  std::function<void(const QUrl&)> loadStarted;
  // Progress of the top-level load, 0..100 (100 when it ends).
  std::function<void(int percent)> loadProgress;
  // The top-level document loaded completely (frames do not report).
  std::function<void(const QUrl&)> documentComplete;
  std::function<void(const NavigationError&)> navigationError;
  // A page script showed a message box. It is not shown; the page sees "cancel" (confirm
  // answers false, prompt answers null).
  std::function<void(ScriptDialog kind, const QString& text)> scriptDialog;
  // A private link the page tried to open: the text as the page wrote it for clicked links and
  // window.open. Other ways to navigate to one hand over the browser's form of the address.
  std::function<void(const QString& link)> privateLink;
  // A page script asked to close the window (window.close()).
  std::function<void()> windowCloseRequested;
};

class WebPage final : public QWebEnginePage {
 public:
  explicit WebPage(QObject* parent = nullptr);

  void setEvents(WebPageEvents events) { events_ = std::move(events); }

  // Helpers over the top-level document's script (results arrive on the GUI thread; a page that
  // goes away first never answers):
  // the trimmed id of the first anchor whose href, as written or as the browser resolves it,
  // equals `href` without regard to case; empty when none has one.
  void findAnchorIdByHref(const QString& href, std::function<void(const QString& id)> done);
  // Calls the page's global function `name` with the one text argument; an invalid QVariant when
  // there is no such function.
  void callPageScript(const QString& name, const QString& argument,
                      std::function<void(const QVariant& result)> done);

 protected:
  bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
  void javaScriptAlert(const QUrl& origin, const QString& text) override;
  bool javaScriptConfirm(const QUrl& origin, const QString& text) override;
  bool javaScriptPrompt(const QUrl& origin, const QString& text, const QString& defaultValue,
                        QString* result) override;
  void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                int line, const QString& source) override;

 private:
  void onLoadingChanged(const QWebEngineLoadingInfo& info);
  void reportDialog(ScriptDialog kind, const QString& text);

  WebPageEvents events_;
};

// A JavaScript string literal holding `text` exactly.
QString javaScriptString(const QString& text);

}  // namespace nivra::ui
