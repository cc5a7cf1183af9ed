#include "ui/web/web_process.h"

#include <unistd.h>

#include <QCoreApplication>
#include <cstdlib>

namespace nivra::ui {

void PrepareWebProcess() {
  if (::geteuid() == 0) ::setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
  ::setenv("QT_QUICK_BACKEND", "software", 0);
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  // Native windows (the pages, the video) stay native alone: their siblings keep drawing into
  // their parent.
  QCoreApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
}

}  // namespace nivra::ui
