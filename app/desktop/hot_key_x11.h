#pragma once
// TRegHotKey: one system-wide key combination, grabbed on the X server's root window over a
// connection of its own (so it works whatever Qt's platform is). A combination another client
// holds, a key X cannot type, no X display or a Wayland session all make Register fail: the key
// is then simply inactive. The grab is released on the next Register and at destruction.

#include <cstdint>

struct _XDisplay;  // Xlib's Display

namespace nivra::app {

class TRegHotKey {
 public:
  TRegHotKey() = default;
  ~TRegHotKey();
  TRegHotKey(const TRegHotKey&) = delete;
  TRegHotKey& operator=(const TRegHotKey&) = delete;

  // The combination in the settings' key code (low byte virtual key; 0x2000 Shift, 0x4000 Ctrl,
  // 0x8000 Alt). Takes effect on the next Register.
  std::int32_t shortcut = 0;

  // Releases an earlier grab and grabs `shortcut` with every combination of Caps Lock and
  // Num Lock. True when the server granted all of them.
  bool Register();
  bool Registered() const { return keycode_ != 0; }
  // The connection's socket, to watch for readability; -1 before the first Register.
  int ConnectionFd() const;
  // Reads the events that arrived and answers how many presses of the grabbed key they held.
  int TakePresses();

 private:
  void release();

  ::_XDisplay* display_ = nullptr;
  unsigned keycode_ = 0;
  unsigned modifiers_ = 0;
};

// The X key symbol of a virtual-key code (letters, digits, F1-F24, cursor and editing keys,
// number pad); 0 for others.
unsigned long VirtualKeyToKeySym(int virtualKey);

}  // namespace nivra::app
