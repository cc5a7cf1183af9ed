// A bare QWebEngineView showing one page: the yardstick for the library page's start-up time and
// memory. usage: nivra_bare_webview URL [X Y WIDTH HEIGHT] — a frameless window at that place
// (no window manager moves it), so that the page lays out as in the main window's library page.

#include <unistd.h>

#include <QApplication>
#include <QUrl>
#include <QWebEngineView>
#include <cstdlib>

int main(int argc, char** argv) {
  // The same web engine set-up as the program's (ui/web PrepareWebProcess), nothing else.
  if (::geteuid() == 0) ::setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
  ::setenv("QT_QUICK_BACKEND", "software", 0);
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  if (argc < 2) return 2;
  QWebEngineView view;
  view.setWindowFlag(Qt::FramelessWindowHint);
  if (argc >= 6)
    view.setGeometry(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]),
                     std::atoi(argv[5]));
  view.show();
  view.load(QUrl(QString::fromLocal8Bit(argv[1])));
  return app.exec();
}
