#include "ads/windows/ad_window_run.h"

#include <QApplication>
#include <chrono>
#include <exception>

#include "ads/ad_ini.h"
#include "ads/ad_ports.h"
#include "ads/windows/form_mini.h"
#include "ads/windows/htm_form_show.h"
#include "platform/folders.h"
#include "platform/qt_event_loop.h"
#include "ui/web/web_process.h"

namespace nivra::ads {
namespace {

// Links go to the main program beside this one.
constexpr const char* kMainProgram = "nivra";

template <class Form>
int runUntilClosed(QApplication& app, Form& form) {
  form.OnClosed = [&app] { app.exit(0); };
  return app.exec();
}

int runWindow(int argc, char** argv, const AdWindowRequest& request) {
  ui::PrepareWebProcess();
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  platform::QtEventLoop loop;
  ProcessPopUpLauncher launcher(platform::moduleDir() / kMainProgram);
  const StampShown stamp = [service = request.service] {
    StampPopShown(platform::commonDataDir(), service, std::chrono::system_clock::now());
  };
  const QString url = QString::fromStdString(request.url);
  if (request.kind == AdWindowKind::Ad) {
    THtmFormShow form(loop, launcher, request.width, request.height, request.showTimeMs, stamp);
    form.Navigate(url);
    return runUntilClosed(app, form);
  }
  TFormMini form(launcher, stamp);
  QApplication::setApplicationDisplayName(form.title());
  if (url.isEmpty()) return 0;
  form.ShowMiniWindow(url, request.width, request.height);
  return runUntilClosed(app, form);
}

}  // namespace

int RunAdWindow(int argc, char** argv, const AdWindowRequest& request) {
  try {
    return runWindow(argc, argv, request);
  } catch (const std::exception&) {
    return 0;
  }
}

}  // namespace nivra::ads
