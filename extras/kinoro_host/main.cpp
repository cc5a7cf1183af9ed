// kinoro-host: the browser stand-in for pages that embed the player control.
// usage: kinoro-host PAGE [--size WxH] [--screenshot FILE --after MS]
//        kinoro-host --register LIBRARY   (what an installer does: the library registers itself)
// With --screenshot it saves the screen after MS milliseconds and quits.

#include <dlfcn.h>

#include <QApplication>
#include <QFileInfo>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <cstdio>
#include <string_view>

#include "extras/kinoro_host/host_window.h"
#include "ui/web/web_process.h"
#include "ui/web/web_view.h"

namespace {

int registerLibrary(const char* path) {
  void* library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    std::fprintf(stderr, "kinoro-host: %s\n", dlerror());
    return 1;
  }
  using Register = long (*)();
  auto registerServer = reinterpret_cast<Register>(dlsym(library, "DllRegisterServer"));
  const long hr = registerServer ? registerServer() : -1;
  std::printf("kinoro-host: DllRegisterServer 0x%08lx\n", static_cast<unsigned long>(hr));
  return hr == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string_view(argv[1]) == "--register") return registerLibrary(argv[2]);
  nivra::ui::PrepareWebProcess();
  QApplication app(argc, argv);
  const QStringList args = app.arguments();
  if (args.size() < 2 || args[1] == "--help") {
    std::fprintf(stderr, "usage: kinoro-host PAGE [--size WxH] [--screenshot FILE --after MS]\n");
    return args.size() < 2 ? 2 : 0;
  }
  const QString page = args[1];
  const QUrl url = QFileInfo::exists(page) ? QUrl::fromLocalFile(QFileInfo(page).absoluteFilePath())
                                           : QUrl::fromUserInput(page);
  QSize size(1000, 700);
  QString screenshot;
  int after = 8000;
  for (int i = 2; i + 1 < args.size(); i += 2) {
    if (args[i] == "--size") {
      const QStringList wh = args[i + 1].split('x');
      if (wh.size() == 2) size = QSize(wh[0].toInt(), wh[1].toInt());
    } else if (args[i] == "--screenshot") {
      screenshot = args[i + 1];
    } else if (args[i] == "--after") {
      after = args[i + 1].toInt();
    }
  }
  auto window = std::make_unique<nivra::kinoro_host::HostWindow>(url);
  window->setGeometry(QRect(QPoint(0, 0), size));
  window->show();
  if (!screenshot.isEmpty()) {
    // The screen, then the page's text, then the page's controls go, then the program.
    QTimer::singleShot(after, &app, [&] {
      QGuiApplication::primaryScreen()->grabWindow(0).save(screenshot);
      std::printf("kinoro-host: %zu controls, screenshot %s\n", window->controlCount(),
                  qPrintable(screenshot));
      window->view().page()->runJavaScript(QStringLiteral("document.body.innerText"),
                                           [&](const QVariant& text) {
                                             std::printf("%s\n", qPrintable(text.toString()));
                                             std::fflush(stdout);
                                             window->closeControls();
                                             app.quit();
                                           });
    });
  }
  const int rc = app.exec();
  window.reset();
  return rc;
}
