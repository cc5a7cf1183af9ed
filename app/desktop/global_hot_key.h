#pragma once
// TRegHotKey on the Qt event loop: the X connection's socket is watched, and every press of the
// grabbed combination calls the handler on the GUI thread.

#include <QSocketNotifier>
#include <cstdint>
#include <functional>
#include <memory>

#include "app/desktop/hot_key_x11.h"

namespace nivra::app {

class GlobalHotKey {
 public:
  explicit GlobalHotKey(std::function<void()> onPress) : onPress_(std::move(onPress)) {}
  GlobalHotKey(const GlobalHotKey&) = delete;
  GlobalHotKey& operator=(const GlobalHotKey&) = delete;

  // Replaces the earlier combination with `shortcut`; false when it is inactive.
  bool Register(std::int32_t shortcut);
  bool Registered() const { return key_.Registered(); }

 private:
  void drain();

  std::function<void()> onPress_;
  TRegHotKey key_;
  std::unique_ptr<QSocketNotifier> notifier_;  // declared after key_: destroyed first
};

}  // namespace nivra::app
