#include "app/desktop/global_hot_key.h"

#include <QTimer>

namespace nivra::app {

bool GlobalHotKey::Register(std::int32_t shortcut) {
  key_.shortcut = shortcut;
  const bool ok = key_.Register();
  if (!notifier_ && key_.ConnectionFd() >= 0) {
    notifier_ = std::make_unique<QSocketNotifier>(key_.ConnectionFd(), QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { drain(); });
  }
  // Xlib may already hold events it read while waiting for the grab's answer.
  if (notifier_) QTimer::singleShot(0, notifier_.get(), [this] { drain(); });
  return ok;
}

void GlobalHotKey::drain() {
  for (int presses = key_.TakePresses(); presses > 0; --presses) onPress_();
}

}  // namespace nivra::app
