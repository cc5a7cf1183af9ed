// nivra-tool play SOURCE: drives the player control and prints its events, one line each.

#include <QApplication>
#include <QCoreApplication>
#include <QVBoxLayout>
#include <QWidget>
#include <charconv>
#include <iostream>
#include <memory>
#include <optional>

#include "platform/qt_event_loop.h"
#include "platform/registry.h"
#include "player/player.h"
#include "player/player_stack.h"
#include "player/player_widget.h"
#include "tools/tool_command.h"

namespace nivra::tool {
namespace {

constexpr const char* kUsage =
    "usage: nivra-tool play SOURCE [--headless] [--volume N] [--mute] [--channel 0|1|2]\n"
    "                          [--seek MS] [--max-seconds S] [--no-sync]\n"
    "plays SOURCE through the player control and prints its events, one line each:\n"
    "  open DURATION CANSEEK / video HASVIDEO WIDTH HEIGHT / state psStop|psPlay|psPause /\n"
    "  position DURATION POSITION 0 / buffering N / end / stop / error CODE TEXT / idle\n"
    "--headless plays into fake sinks without a window (else the control shows in a window);\n"
    "--no-sync lets the fake sinks take buffers as fast as they are decoded; --seek MS seeks once\n"
    "playback started; --max-seconds S stops S seconds after playback started.\n"
    "exit 0 at the end of the item or after --max-seconds, 2 after an error event, 3 when the\n"
    "control stays idle (nothing to play).\n";

struct PlayOptions {
  std::string source;
  bool headless = false;
  bool sync = true;
  std::optional<int> volume;
  bool mute = false;
  std::uint8_t channel = 0;
  std::optional<int> seekMs;
  std::optional<double> maxSeconds;
};

int usageError(const std::string& message) {
  std::cerr << "nivra-tool play: " << message << " (see nivra-tool play --help)\n";
  return 1;
}

template <typename T>
std::optional<T> number(const std::string& text) {
  T value{};
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// Parses the arguments; a message in `error` on bad input.
std::optional<PlayOptions> parse(const std::vector<std::string>& args, std::string& error) {
  PlayOptions o;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const auto& a = args[i];
    auto value = [&]() -> const std::string* {
      if (i + 1 >= args.size()) {
        error = a + " needs a value";
        return nullptr;
      }
      return &args[++i];
    };
    if (a == "--headless") {
      o.headless = true;
    } else if (a == "--no-sync") {
      o.sync = false;
    } else if (a == "--mute") {
      o.mute = true;
    } else if (a == "--volume" || a == "--channel" || a == "--seek") {
      const auto* v = value();
      if (!v) return std::nullopt;
      auto n = number<int>(*v);
      if (!n || (a == "--channel" && (*n < 0 || *n > 2)) || (a == "--seek" && *n < 0)) {
        error = "bad value for " + a + ": " + *v;
        return std::nullopt;
      }
      if (a == "--volume") o.volume = *n;
      if (a == "--channel") o.channel = static_cast<std::uint8_t>(*n);
      if (a == "--seek") o.seekMs = *n;
    } else if (a == "--max-seconds") {
      const auto* v = value();
      if (!v) return std::nullopt;
      auto n = number<double>(*v);
      if (!n || *n <= 0) {
        error = "bad value for --max-seconds: " + *v;
        return std::nullopt;
      }
      o.maxSeconds = *n;
    } else if (a.rfind("--", 0) == 0) {
      error = "unknown option " + a;
      return std::nullopt;
    } else if (o.source.empty()) {
      o.source = a;
    } else {
      error = "more than one SOURCE";
      return std::nullopt;
    }
  }
  if (o.source.empty()) {
    error = "SOURCE is missing";
    return std::nullopt;
  }
  return o;
}

const char* stateName(player::TPlayState s) {
  switch (s) {
    case player::psPlay:
      return "psPlay";
    case player::psPause:
      return "psPause";
    default:
      return "psStop";
  }
}

void line(const std::string& text) { std::cout << text << std::endl; }

int play(const PlayOptions& o) {
  static int argc = 1;
  static char name[] = "nivra-tool";
  static char* argv[] = {name, nullptr};
  std::unique_ptr<QCoreApplication> app;
  if (o.headless) {
    app = std::make_unique<QCoreApplication>(argc, argv);
  } else {
    app = std::make_unique<QApplication>(argc, argv);
  }
  platform::QtEventLoop loop;
  loop.setExceptionHandler([&](const std::string& message) {
    std::cerr << "nivra-tool play: " << message << "\n";
    app->exit(1);
  });

  // Web pages and kinds 3 and 4 play through the movie runtime and the resolver of the module
  // folder.
  player::PlayerStackOptions stackOptions;
  stackOptions.headless = o.headless;
  stackOptions.syncToClock = o.sync;
  player::PlayerStack stack(loop, platform::Registry::system(), stackOptions);
  stack.Flash().ShowMessage = [](const std::string& message) { line("message " + message); };

  std::unique_ptr<player::TPlayer> headlessPlayer;
  std::unique_ptr<QWidget> window;
  player::TPlayer* p = nullptr;
  if (o.headless) {
    headlessPlayer = stack.MakeHeadless();
    p = headlessPlayer.get();
  } else {
    window = std::make_unique<QWidget>();
    window->setWindowTitle(QString::fromStdString(o.source));
    auto* layout = new QVBoxLayout(window.get());
    layout->setContentsMargins(0, 0, 0, 0);
    auto* widget = stack.MakeWidget(window.get());
    layout->addWidget(widget);
    window->resize(640, 360);
    window->show();
    p = &widget->player();
  }
  auto& player = *p;

  bool seekDone = !o.seekMs.has_value();
  bool finishing = false;
  // Ends the run once the current event handler has returned; the first reason wins.
  auto finish = [&](int code) {
    if (finishing) return;
    finishing = true;
    loop.post([&, code] {
      player.Stop();
      app->exit(code);
    });
  };
  player.OnPlayOpen = [&](std::uint32_t duration, bool canSeek, bool&) {
    line("open " + std::to_string(duration) + " " + (canSeek ? "1" : "0"));
    line("video " + std::string(player.HasVideo() ? "1 " : "0 ") +
         std::to_string(player.MediaWidth()) + " " + std::to_string(player.MediaHeight()));
  };
  // The playing time is counted from the first psPlay, so a slow open does not use it up.
  bool maxTimerStarted = false;
  player.OnPlayStateChange = [&](player::TPlayState s) {
    line(std::string("state ") + stateName(s));
    if (s == player::psPlay && o.maxSeconds && !maxTimerStarted) {
      maxTimerStarted = true;
      loop.startTimer(static_cast<int>(*o.maxSeconds * 1000), [&] { finish(0); });
    }
    if (s == player::psPlay && !seekDone) {
      seekDone = true;
      player.Seek(*o.seekMs);
    }
  };
  player.OnPlayPosition = [&](std::uint32_t d, std::uint32_t pos, std::uint32_t f) {
    line("position " + std::to_string(d) + " " + std::to_string(pos) + " " + std::to_string(f));
  };
  player.OnPlayBuffing = [&](int d) { line("buffering " + std::to_string(d)); };
  player.OnPlayEnd = [&] {
    line("end");
    finish(0);
  };
  player.OnPlayStop = [&] { line("stop"); };
  player.OnPlayError = [&](int code, const std::string& text) {
    line("error " + std::to_string(code) + " " + text);
    finish(2);
  };

  if (o.volume) player.SetVolume(*o.volume);
  player.SetMute(o.mute);
  player.SetAudioChannel(o.channel);
  // Nothing plays and no event said why: a silent failure or a source that plays nothing. A
  // source still being read (a slow server) is judged once its open has finished.
  platform::EventLoop::TimerId idleCheck = 0;
  auto judgeIdle = [&] {
    if (player.OpenPending()) return;
    if (idleCheck != 0) loop.killTimer(idleCheck);
    if (!finishing && player.PlayState() == player::psStop) {
      line("idle");
      finish(3);
    }
  };
  loop.post([&] {
    player.Open(o.source);
    if (player.OpenPending()) {
      idleCheck = loop.startTimer(20, judgeIdle);
    } else {
      judgeIdle();
    }
  });
  const int code = app->exec();
  player.OnPlayStateChange = nullptr;
  player.OnPlayStop = nullptr;
  return code;
}

int runPlay(const std::vector<std::string>& args) {
  if (wantsHelp(args)) {
    std::cout << kUsage;
    return 0;
  }
  std::string error;
  auto options = parse(args, error);
  if (!options) return usageError(error);
  return play(*options);
}

const ToolCommandRegistrar registrar{{"play", "play a source through the player control", runPlay}};

}  // namespace
}  // namespace nivra::tool
