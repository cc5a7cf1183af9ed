#include "extras/kinoro_host/host_window.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QWebChannel>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

#include "platform/debug_output.h"
#include "ui/web/web_view.h"

namespace nivra::kinoro_host {
namespace {

QString resourceText(const QString& name) {
  QFile f(name);
  return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

QString jsString(const QString& s) {
  return QString::fromUtf8(QJsonDocument(QJsonArray{s}).toJson(QJsonDocument::Compact))
      .mid(1)
      .chopped(1);
}

}  // namespace

QVariantMap HostBridge::answer(const QString& id,
                               const std::function<ScriptResult(EmbeddedControl&)>& f) {
  auto it = controls_.find(id);
  ScriptResult r;
  if (it == controls_.end())
    r.error = "no control " + id;
  else
    r = f(*it->second);
  return {{"ok", r.ok}, {"value", r.value}, {"error", r.error}};
}

QVariantMap HostBridge::get(const QString& id, const QString& name) {
  return answer(id, [&](EmbeddedControl& c) { return c.get(name); });
}
QVariantMap HostBridge::set(const QString& id, const QString& name, const QVariant& value) {
  return answer(id, [&](EmbeddedControl& c) { return c.put(name, value); });
}
QVariantMap HostBridge::call(const QString& id, const QString& name) {
  return answer(id, [&](EmbeddedControl& c) { return c.call(name); });
}
void HostBridge::place(const QString& id, int x, int y, int width, int height) {
  auto it = controls_.find(id);
  if (it != controls_.end()) it->second->place(QRect(x, y, width, height));
}

HostWindow::HostWindow(const QUrl& page)
    : view_(new ui::WebView(this)),
      bridge_(new HostBridge(controls_, this)),
      channel_(new QWebChannel(this)) {
  setWindowTitle(QStringLiteral("kinoro-host"));
  setCentralWidget(view_);
  channel_->registerObject(QStringLiteral("kinoroHost"), bridge_);
  view_->page()->setWebChannel(channel_);
  QWebEngineScript shim;
  shim.setName(QStringLiteral("kinoro-host"));
  shim.setInjectionPoint(QWebEngineScript::DocumentReady);
  shim.setWorldId(QWebEngineScript::MainWorld);
  shim.setSourceCode(resourceText(QStringLiteral(":/qtwebchannel/qwebchannel.js")) +
                     resourceText(QStringLiteral(":/kinoro_host/host_shim.js")));
  view_->page()->scripts().insert(shim);
  connect(view_, &QWebEngineView::loadFinished, this, [this](bool ok) { pageLoaded(ok); });
  connect(view_, &QWebEngineView::loadStarted, this, [this] { closeControls(); });
  view_->setUrl(page);
}

HostWindow::~HostWindow() { closeControls(); }

void HostWindow::closeControls() { controls_.clear(); }

void HostWindow::pageLoaded(bool ok) {
  if (!ok) return;
  view_->page()->runJavaScript(QStringLiteral("window.__kinoroObjects ? __kinoroObjects() : '[]'"),
                               QWebEngineScript::MainWorld,
                               [this](const QVariant& found) { createControls(found); });
}

void HostWindow::createControls(const QVariant& found) {
  const QJsonArray objects = QJsonDocument::fromJson(found.toString().toUtf8()).array();
  const auto window = static_cast<std::uintptr_t>(view_->winId());
  for (const auto& item : objects) {
    const QJsonObject o = item.toObject();
    const QString id = o["id"].toString();
    EmbeddedControl::Params params;
    for (const auto& p : o["params"].toArray())
      params.emplace_back(p.toArray()[0].toString().toStdString(),
                          p.toArray()[1].toString().toStdString());
    const QRect rect(qRound(o["x"].toDouble()), qRound(o["y"].toDouble()),
                     qRound(o["w"].toDouble()), qRound(o["h"].toDouble()));
    std::string error;
    auto control = EmbeddedControl::create(
        o["clsid"].toString().toStdString(), params, window, rect,
        [this, id](const QString& event) { raiseEvent(id, event); }, &error);
    if (!control) {
      platform::debugOutput("kinoro-host: " + id.toStdString() + ": " + error);
      continue;
    }
    platform::debugOutput("kinoro-host: control " + id.toStdString());
    controls_[id] = std::move(control);
  }
  view_->page()->runJavaScript(QStringLiteral("window.__kinoroReady && __kinoroReady()"));
}

void HostWindow::raiseEvent(const QString& id, const QString& event) {
  view_->page()->runJavaScript(QStringLiteral("window.__kinoroEvent && __kinoroEvent(%1, %2)")
                                   .arg(jsString(id), jsString(event)));
}

}  // namespace nivra::kinoro_host
