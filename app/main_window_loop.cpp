#include "app/main_window_loop.h"

#include <QApplication>
#include <QPointer>
#include <memory>

#include "ads/ad_scheduler.h"
#include "app/main_form.h"
#include "app/shutdown_signals.h"
#include "net/background_tasks.h"
#include "platform/qt_event_loop.h"
#include "platform/registry.h"
#include "player/player_stack.h"

namespace nivra::app {

int RunMainWindowLoop(platform::QtEventLoop& loop, const CommandLine& cmd, bool hidden,
                      net::BackgroundTasks& workers, common::TIniConfig& config,
                      const net::ServerEndpoints& endpoints) {
  // The signals are caught from before the window exists; they reach it only through the loop.
  QPointer<QWidget> window;
  ShutdownSignals shutdownSignals([&window] {
    if (window) window->close();
  });
  player::PlayerStack players(loop, platform::Registry::system());
  ads::AdScheduler ads(loop);
  auto form = std::make_unique<TNivraMainForm>(loop, cmd, config, endpoints, players, workers,
                                               &ads.scheduler());
  window = form.get();
  if (!hidden) form->show();
  const int rc = QApplication::exec();
  // Workers hand their results to the window through the loop; they end before it is freed, and
  // what they post now is never run.
  workers.stopAndJoin();
  form.reset();
  return rc;
}

}  // namespace nivra::app
