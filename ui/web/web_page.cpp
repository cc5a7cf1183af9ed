#include "ui/web/web_page.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>

#include "ui/web/private_link_script.h"

namespace nivra::ui {
namespace {

void installPrivateLinkCapture(QWebEngineScriptCollection& scripts) {
  QWebEngineScript capture;
  capture.setName(QStringLiteral("nivra-private-link-capture"));
  capture.setSourceCode(privateLinkCaptureScript());
  capture.setInjectionPoint(QWebEngineScript::DocumentCreation);
  capture.setWorldId(QWebEngineScript::MainWorld);
  capture.setRunsOnSubFrames(true);
  scripts.insert(capture);
}

}  // namespace

QString javaScriptString(const QString& text) {
  // A JSON string is a JavaScript string literal; the array around it is cut off.
  const QByteArray json = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
  return QString::fromUtf8(json.mid(1, json.size() - 2));
}

WebPage::WebPage(QObject* parent) : QWebEnginePage(parent) {
  settings()->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
  settings()->setAttribute(QWebEngineSettings::ShowScrollBars, false);
  installPrivateLinkCapture(scripts());
  connect(this, &QWebEnginePage::loadingChanged, this, &WebPage::onLoadingChanged);
  connect(this, &QWebEnginePage::loadProgress, this, [this](int percent) {
    if (events_.loadProgress) events_.loadProgress(percent);
  });
  connect(this, &QWebEnginePage::windowCloseRequested, this, [this] {
    if (events_.windowCloseRequested) events_.windowCloseRequested();
  });
}

bool WebPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
  // What the capture script could not take (a frame's own address, a redirect, a navigation its
  // script did not see) still never reaches the network or the desktop's scheme handler.
  if (url.scheme().compare(u"nivra", Qt::CaseInsensitive) == 0) {
    if (events_.privateLink) events_.privateLink(url.toString(QUrl::FullyEncoded));
    return false;
  }
  if (!events_.beforeNavigate) return true;
  return events_.beforeNavigate(NavigationRequest{url, isMainFrame, type});
}

void WebPage::onLoadingChanged(const QWebEngineLoadingInfo& info) {
  switch (info.status()) {
    case QWebEngineLoadingInfo::LoadStartedStatus:
      if (events_.loadStarted) events_.loadStarted(info.url());
      break;
    case QWebEngineLoadingInfo::LoadSucceededStatus:
      if (events_.documentComplete) events_.documentComplete(info.url());
      break;
    case QWebEngineLoadingInfo::LoadFailedStatus:
      if (events_.navigationError)
        events_.navigationError(
            NavigationError{info.url(), info.errorCode(), info.errorString(), info.errorDomain()});
      break;
    case QWebEngineLoadingInfo::LoadStoppedStatus:  // cancelled, stopped or replaced: no failure
      break;
  }
}

void WebPage::reportDialog(ScriptDialog kind, const QString& text) {
  if (events_.scriptDialog) events_.scriptDialog(kind, text);
}

void WebPage::javaScriptAlert(const QUrl&, const QString& text) {
  reportDialog(ScriptDialog::Alert, text);
}

bool WebPage::javaScriptConfirm(const QUrl&, const QString& text) {
  reportDialog(ScriptDialog::Confirm, text);
  return false;
}

bool WebPage::javaScriptPrompt(const QUrl&, const QString& text, const QString&, QString*) {
  reportDialog(ScriptDialog::Prompt, text);
  return false;
}

void WebPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString& message, int,
                                       const QString&) {
  // The page's own console output is dropped: the browser runs silently.
  if (!message.startsWith(kPrivateLinkMarker)) return;
  const QString link = message.mid(kPrivateLinkMarker.size());
  if (isPrivateLink(link) && events_.privateLink) events_.privateLink(link);
}

void WebPage::findAnchorIdByHref(const QString& href, std::function<void(const QString&)> done) {
  static const QString script = QStringLiteral(R"JS((function (wanted) {
  wanted = wanted.toLowerCase();
  for (const anchor of document.getElementsByTagName('a')) {
    const written = anchor.getAttribute('href');
    const resolved = typeof anchor.href === 'string' ? anchor.href : '';
    if ((written === null || written.toLowerCase() !== wanted) && resolved.toLowerCase() !== wanted)
      continue;
    const id = (anchor.getAttribute('id') || '').trim();
    if (id) return id;
  }
  return '';
})(%1))JS");
  runJavaScript(script.arg(javaScriptString(href)),
                [done = std::move(done)](const QVariant& result) { done(result.toString()); });
}

void WebPage::callPageScript(const QString& name, const QString& argument,
                             std::function<void(const QVariant&)> done) {
  static const QString script = QStringLiteral(R"JS((function (name, argument) {
  const fn = window[name];
  return typeof fn === 'function' ? fn.call(window, argument) : undefined;
})(%1, %2))JS");
  runJavaScript(script.arg(javaScriptString(name), javaScriptString(argument)),
                [done = std::move(done)](const QVariant& result) { done(result); });
}

}  // namespace nivra::ui
