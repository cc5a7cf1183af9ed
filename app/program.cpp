#include "app/program.h"

#include <unistd.h>

#include <QApplication>
#include <exception>
#include <memory>
#include <optional>

#include "ads/ad_ini.h"
#include "app/form_dlg.h"
#include "app/ini_config.h"
#include "app/instance_handover.h"
#include "app/main_window_loop.h"
#include "app/system_integration.h"
#include "net/background_tasks.h"
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
  return RunMainWindowLoop(loop, cmd, hidden, net::BackgroundTasks::instance());
}

void closeRunningWindow() {
  if (auto window = platform::findWindow(kMainWindowClass))
    platform::postWindowMessage(*window, platform::Message{platform::WM_CLOSE, 0, 0});
}

// `lock` receives the instance lock a mode takes; it is held until the settings are written.
int runMode(const ModeChoice& choice, const CommandLine& cmd, int argc, char** argv,
            std::optional<platform::InstanceLock>& lock) {
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
      lock.emplace(choice.mode == ProgramMode::ShowAd ? kPopLock : kMiniLock);
      // The ad and mini windows join with the ad windows; until then the process ends here.
      return 0;
    }
    case ProgramMode::Normal: {
      lock.emplace(kAppLock);
      if (lock->alreadyExists()) {
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
  std::optional<platform::InstanceLock> lock;
  const int rc = runMode(ChooseMode(cmd), cmd, argc, argv, lock);
  config.Save(TIniConfig::DefaultPath());
  // The lock goes only now: a start that takes it next reads the settings just written.
  lock.reset();
  return rc;
}

}  // namespace nivra::app
