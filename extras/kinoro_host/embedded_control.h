#pragma once
// One control of a page, held the way a browser holds it: made through the registry and the
// class factory, told it is safe for scripting, its <param>s loaded through a property bag,
// given a site whose window is the page view's, placed over its element, with an event sink on
// its source interface. Script calls reach it through IDispatch by name.

#include <QRect>
#include <QString>
#include <QVariant>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "extras/kinoro_host/control_library.h"

namespace nivra::kinoro_host {

struct ScriptResult {
  bool ok = false;
  QVariant value;
  QString error;  // the member's error description on failure
};

class EmbeddedControl {
 public:
  using Params = std::vector<std::pair<std::string, std::string>>;
  // Called with the event's name (from the control's type information) for every event.
  using EventHandler = std::function<void(const QString& event)>;

  // Null with `error` set when the control cannot be made.
  static std::unique_ptr<EmbeddedControl> create(const std::string& clsid, const Params& params,
                                                 std::uintptr_t hostWindow, QRect rect,
                                                 EventHandler onEvent, std::string* error);
  ~EmbeddedControl();
  EmbeddedControl(const EmbeddedControl&) = delete;
  EmbeddedControl& operator=(const EmbeddedControl&) = delete;

  void place(QRect rect);
  std::uintptr_t window() const;

  ScriptResult get(const QString& name);
  ScriptResult put(const QString& name, const QVariant& value);
  ScriptResult call(const QString& name);

 private:
  struct Sink;
  struct Site;
  EmbeddedControl() = default;
  bool start(const Params& params, std::uintptr_t hostWindow, QRect rect, std::string* error);
  void learnEvents();
  ScriptResult invoke(const QString& name, WORD flags, VARIANT* argument);
  BSTR bstr(const QString& text) const;
  QString text(BSTR b) const;
  QVariant toQt(const VARIANT& v) const;

  std::shared_ptr<ControlLibrary> library_;
  IDispatch* control_ = nullptr;
  IConnectionPoint* point_ = nullptr;
  DWORD cookie_ = 0;
  GUID eventsIid_{};
  std::map<DISPID, QString> eventNames_;
  std::unique_ptr<Sink> sink_;
  std::unique_ptr<Site> site_;
  EventHandler onEvent_;
};

}  // namespace nivra::kinoro_host
