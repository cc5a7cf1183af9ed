// The longest stall of the GUI thread while the player opens a source: a 1 ms timer runs on the
// Qt loop, and the largest gap between its ticks from just before Open until the open (or error)
// event is printed in milliseconds, with the time the open took.
// usage: nivra_open_stall URL   (bench/open_stall.py serves a file that answers after 5 s)

#include <QCoreApplication>
#include <QTimer>
#include <chrono>
#include <cstdio>

#include "platform/qt_event_loop.h"
#include "player/gst/gst_media_graph.h"
#include "player/player.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: nivra_open_stall URL\n");
    return 1;
  }
  using Clock = std::chrono::steady_clock;
  QCoreApplication app(argc, argv);
  nivra::platform::QtEventLoop loop;
  nivra::player::HeadlessSurface surface;
  nivra::player::GstGraphOptions options;
  options.headless = true;
  nivra::player::TPlayer player(loop, surface, nivra::player::MakeGstMediaGraphFactory(options),
                                nullptr);

  Clock::time_point last{};
  double longest = 0;
  bool measuring = false;
  auto note = [&] {
    const auto now = Clock::now();
    if (measuring) {
      longest = std::max(longest, std::chrono::duration<double, std::milli>(now - last).count());
    }
    last = now;
  };
  QTimer ticks;
  ticks.setTimerType(Qt::PreciseTimer);
  QObject::connect(&ticks, &QTimer::timeout, note);
  ticks.start(1);

  Clock::time_point started{};
  std::string outcome = "none";
  auto finish = [&](const std::string& what) {
    note();
    measuring = false;
    outcome = what;
    const double took = std::chrono::duration<double, std::milli>(Clock::now() - started).count();
    std::printf("outcome %s open_ms %.0f longest_stall_ms %.1f\n", outcome.c_str(), took, longest);
    player.Stop();
    QTimer::singleShot(0, &app, [&] { app.quit(); });
  };
  player.OnPlayOpen = [&](std::uint32_t, bool, bool&) { finish("open"); };
  player.OnPlayError = [&](int code, const std::string& text) {
    finish("error-" + std::to_string(code) + ":" + text);
  };
  QTimer::singleShot(100, &app, [&] {
    note();
    measuring = true;
    started = Clock::now();
    player.OpenFile(argv[1]);
    note();
  });
  QTimer::singleShot(30000, &app, [&] { finish("timeout"); });
  return app.exec();
}
