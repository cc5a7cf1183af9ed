#include "app/program.h"

#include <unistd.h>

#include <QApplication>
#include <exception>
#include <memory>

#include "ads/ad_ini.h"
#include "app/form_dlg.h"
#include "app/ini_config.h"
#include "app/instance_handover.h"
#include "app/main_form.h"
#include "app/system_integration.h"
#include "net/service_manager.h"
#include "net/service_manager_systemd.h"
#include "platform/folders.h"
#include "platform/instance_lock.h"
#include "platform/messages.h"
#include "platform/qt_event_loop.h"
#include "platform/window_channel.h"

namespace nivra::app {
namespace {

// Passes every error that escapes an event handler to the error dialog instead of ending.
class NivraApplication final : public QApplication {
 public:
  using QApplication::QApplication;
  bool notify(QObject* receiver, QEvent* event) override {
    try {
      return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
      ShowError(QString::fromUtf8(e.what()));
    } catch (...) {
      ShowError(QStringLiteral("unknown error"));
    }
    return false;
  }
};

int runMainWindow(int argc, char** argv, const CommandLine& cmd, bool hidden) {
  NivraApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Nivra"));
  QApplication::setApplicationDisplayName(QStringLiteral("Nivra"));
  platform::QtEventLoop loop;
  int rc = 0;
  {
    auto form = std::make_unique<TNivraMainForm>(loop, cmd);
    if (!hidden) form->show();
    rc = app.exec();
  }
  return rc;
}

void closeRunningWindow() {
  if (auto window = platform::findWindow(kMainWindowClass))
    platform::postWindowMessage(*window, platform::Message{platform::WM_CLOSE, 0, 0});
}

int runMode(const ModeChoice& choice, const CommandLine& cmd, int argc, char** argv) {
  switch (choice.mode) {
    case ProgramMode::ShellSvc: {
      // The service is a user unit; a start with elevated rights controls the system's.
      auto manager = net::makeSystemdServiceManager(::geteuid() == 0 ? net::SystemdScope::System
                                                                     : net::SystemdScope::User);
      net::EnsureServiceRunning(*manager);
      return 0;
    }
    case ProgramMode::SetAutorun:
      SetAutorun(choice.autorunFlag, cmd.selfPath);
      IniConfig().chkAutoRun = choice.autorunFlag;
      ads::WriteRunFlag(choice.autorunFlag);
      return 0;
    case ProgramMode::SetSetupDay:
      ads::WriteSetupDay();
      return 0;
    case ProgramMode::CloseRunning:
      closeRunningWindow();
      return 0;
    case ProgramMode::ShowAd:
    case ProgramMode::ShowMini: {
      platform::InstanceLock lock(choice.mode == ProgramMode::ShowAd ? kPopLock : kMiniLock);
      // The ad and mini windows join with the ad windows; until then the process ends here.
      return 0;
    }
    case ProgramMode::Normal: {
      platform::InstanceLock lock(kAppLock);
      if (lock.alreadyExists()) {
        ChannelMainWindowPort window;
        HandOverToRunningInstance(cmd, window);
        return 0;
      }
      return runMainWindow(argc, argv, cmd, choice.hiddenStart);
    }
  }
  return 0;
}

}  // namespace

int RunProgram(int argc, char** argv) {
  const CommandLine cmd = CommandLine::fromArgv(argc, argv, platform::selfExecutable().string());
  TIniConfig& config = IniConfig();
  config.Load(TIniConfig::DefaultPath());
  const int rc = runMode(ChooseMode(cmd), cmd, argc, argv);
  config.Save(TIniConfig::DefaultPath());
  return rc;
}

}  // namespace nivra::app
