#include "app/program.h"

#include <unistd.h>

#include <QApplication>
#include <memory>

#include "ads/ad_ini.h"
#include "ads/windows/ad_window_run.h"
#include "app/instance_handover.h"
#include "app/main_window_loop.h"
#include "app/system_integration.h"
#include "common/form_dlg.h"
#include "common/ini_config.h"
#include "common/ufunction.h"
#include "net/background_tasks.h"
#include "net/server_endpoints.h"
#include "net/service_manager.h"
#include "net/service_manager_systemd.h"
#include "platform/folders.h"
#include "platform/instance_lock.h"
#include "platform/messages.h"
#include "platform/qt_event_loop.h"
#include "platform/window_channel.h"
#include "ui/web/web_process.h"

namespace nivra::app {
using common::TIniConfig;

namespace {

// Passes every error that escapes an event handler to the loop's exception handler (the error
// dialog) instead of ending.
class NivraApplication final : public QApplication {
 public:
  using QApplication::QApplication;
  // Set for the life of the loop; without one, errors pass through.
  void routeErrorsTo(const platform::QtEventLoop* loop) { loop_ = loop; }
  bool notify(QObject* receiver, QEvent* event) override {
    if (!loop_) return QApplication::notify(receiver, event);
    bool result = false;
    loop_->guarded([&] { result = QApplication::notify(receiver, event); });
    return result;
  }

 private:
  const platform::QtEventLoop* loop_ = nullptr;
};

int runMainWindow(int argc, char** argv, const CommandLine& cmd, bool hidden, TIniConfig& config) {
  ui::PrepareWebProcess();
  NivraApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Nivra"));
  platform::QtEventLoop loop;
  app.routeErrorsTo(&loop);
  // Until the main window takes them over, errors show on their own.
  loop.setExceptionHandler([](const std::string& message) {
    common::ShowError(nullptr, QString::fromStdString(message));
  });
  const net::ServerEndpoints endpoints =
      net::ServerEndpoints::load(net::ServerEndpoints::standardFiles());
  const int rc =
      RunMainWindowLoop(loop, cmd, hidden, net::BackgroundTasks::instance(), config, endpoints);
  app.routeErrorsTo(nullptr);
  return rc;
}

void closeRunningWindow() {
  if (auto window = platform::findWindow(kMainWindowClass))
    platform::postWindowMessage(*window, platform::Message{platform::WM_CLOSE, 0, 0});
}

// `lock` receives the instance lock a mode takes; it is held until the settings are written.
int runMode(const ModeChoice& choice, const CommandLine& cmd, int argc, char** argv,
            std::unique_ptr<platform::InstanceLock>& lock, TIniConfig& config) {
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
      config.chkAutoRun = choice.autorunFlag;
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
      lock = std::make_unique<platform::InstanceLock>(
          choice.mode == ProgramMode::ShowAd ? kPopLock : kMiniLock);
      if (lock->alreadyExists() || !choice.showWindow) return 0;
      return ads::RunAdWindow(
          argc, argv,
          {choice.mode == ProgramMode::ShowAd ? ads::AdWindowKind::Ad : ads::AdWindowKind::Mini,
           choice.url, choice.width, choice.height, choice.time,
           common::HasCommandSwitch(cmd.args, "/f")});
    }
    case ProgramMode::Normal: {
      lock = std::make_unique<platform::InstanceLock>(kAppLock);
      if (lock->alreadyExists()) {
        ChannelMainWindowPort window;
        HandOverToRunningInstance(cmd, window);
        return 0;
      }
      return runMainWindow(argc, argv, cmd, choice.hiddenStart, config);
    }
  }
  return 0;
}

}  // namespace

int RunProgram(int argc, char** argv) {
  const CommandLine cmd = CommandLine::fromArgv(argc, argv, platform::selfExecutable().string());
  // The settings of the process: every mode reads them, and they are written back at the end.
  TIniConfig config;
  config.Load(TIniConfig::DefaultPath());
  std::unique_ptr<platform::InstanceLock> lock;
  const int rc = runMode(ChooseMode(cmd), cmd, argc, argv, lock, config);
  config.Save(TIniConfig::DefaultPath());
  // The lock goes only now: a start that takes it next reads the settings just written.
  lock.reset();
  return rc;
}

}  // namespace nivra::app
