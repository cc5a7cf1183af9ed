#pragma once
// The browser window of kinoro-host: a web view that finds the page's
// <object classid="clsid:…"> elements, makes each control through the registry and its class
// factory, lays it over the element (following scrolling and resizing), runs the page's
// <script for=… event=…> handlers on its events, and lets the page's script use it through
// `window.kinoro` (get, set, call, invoke), whose promises fail with the member's error text.

#include <QMainWindow>
#include <QObject>
#include <QVariantMap>
#include <map>
#include <memory>

#include "extras/kinoro_host/embedded_control.h"

class QWebChannel;

namespace nivra::ui {
class WebView;
}

namespace nivra::kinoro_host {

// The object the page's script reaches over the web channel.
class HostBridge : public QObject {
  Q_OBJECT
 public:
  using Controls = std::map<QString, std::unique_ptr<EmbeddedControl>>;
  explicit HostBridge(Controls& controls, QObject* parent = nullptr)
      : QObject(parent), controls_(controls) {}

  Q_INVOKABLE QVariantMap get(const QString& id, const QString& name);
  Q_INVOKABLE QVariantMap set(const QString& id, const QString& name, const QVariant& value);
  Q_INVOKABLE QVariantMap call(const QString& id, const QString& name);
  Q_INVOKABLE void place(const QString& id, int x, int y, int width, int height);

 private:
  QVariantMap answer(const QString& id, const std::function<ScriptResult(EmbeddedControl&)>& f);
  Controls& controls_;
};

class HostWindow final : public QMainWindow {
 public:
  explicit HostWindow(const QUrl& page);
  ~HostWindow() override;

  ui::WebView& view() const { return *view_; }
  std::size_t controlCount() const { return controls_.size(); }
  // Drops every control of the page (as leaving the page does).
  void closeControls();

 private:
  void pageLoaded(bool ok);
  void createControls(const QVariant& found);
  void raiseEvent(const QString& id, const QString& event);

  ui::WebView* view_;
  HostBridge::Controls controls_;
  HostBridge* bridge_;
  QWebChannel* channel_;
};

}  // namespace nivra::kinoro_host
