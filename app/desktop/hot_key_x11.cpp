#include "app/desktop/hot_key_x11.h"

#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <cstdlib>
#include <cstring>

namespace nivra::app {
namespace {

constexpr std::int32_t kShift = 0x2000, kCtrl = 0x4000, kAlt = 0x8000;

// Grab errors arrive asynchronously; the handler is installed only around the XSync that
// collects them, so other Xlib users in the process keep theirs.
bool grabRefused = false;
int recordGrabError(Display*, XErrorEvent* event) {
  if (event->error_code == BadAccess) grabRefused = true;
  return 0;
}

bool waylandSession() {
  const char* type = std::getenv("XDG_SESSION_TYPE");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (type && std::strcmp(type, "wayland") == 0) || (wayland && *wayland);
}

unsigned numLockMask(Display* display) {
  const KeyCode numLock = XKeysymToKeycode(display, XK_Num_Lock);
  XModifierKeymap* map = XGetModifierMapping(display);
  unsigned mask = 0;
  for (int mod = 0; map && numLock && mod < 8; ++mod)
    for (int k = 0; k < map->max_keypermod; ++k)
      if (map->modifiermap[mod * map->max_keypermod + k] == numLock) mask = 1u << mod;
  if (map) XFreeModifiermap(map);
  return mask;
}

// Every combination of the lock keys, so the key works whatever lock is on.
template <class Fn>
void forEachLockCombination(Display* display, Fn&& fn) {
  fn(0u);
  fn(unsigned(LockMask));
  if (const unsigned num = numLockMask(display)) {
    fn(num);
    fn(num | LockMask);
  }
}

}  // namespace

unsigned long VirtualKeyToKeySym(int vk) {
  if (vk >= 'A' && vk <= 'Z') return XK_a + (vk - 'A');
  if (vk >= '0' && vk <= '9') return XK_0 + (vk - '0');
  if (vk >= 0x70 && vk <= 0x87) return XK_F1 + (vk - 0x70);
  if (vk >= 0x60 && vk <= 0x69) return XK_KP_0 + (vk - 0x60);
  switch (vk) {
    case 0x08:
      return XK_BackSpace;
    case 0x09:
      return XK_Tab;
    case 0x0D:
      return XK_Return;
    case 0x13:
      return XK_Pause;
    case 0x1B:
      return XK_Escape;
    case 0x20:
      return XK_space;
    case 0x21:
      return XK_Prior;
    case 0x22:
      return XK_Next;
    case 0x23:
      return XK_End;
    case 0x24:
      return XK_Home;
    case 0x25:
      return XK_Left;
    case 0x26:
      return XK_Up;
    case 0x27:
      return XK_Right;
    case 0x28:
      return XK_Down;
    case 0x2D:
      return XK_Insert;
    case 0x2E:
      return XK_Delete;
    default:
      return 0;
  }
}

TRegHotKey::~TRegHotKey() {
  release();
  if (display_) XCloseDisplay(display_);
}

void TRegHotKey::release() {
  if (!display_ || !keycode_) return;
  const Window root = DefaultRootWindow(display_);
  forEachLockCombination(display_, [&](unsigned locks) {
    XUngrabKey(display_, int(keycode_), modifiers_ | locks, root);
  });
  XSync(display_, False);
  keycode_ = 0;
}

bool TRegHotKey::Register() {
  release();
  if (shortcut == 0 || waylandSession()) return false;
  const KeySym sym = VirtualKeyToKeySym(shortcut & 0xFF);
  if (sym == 0) return false;
  if (!display_) display_ = XOpenDisplay(nullptr);
  if (!display_) return false;
  const KeyCode code = XKeysymToKeycode(display_, sym);
  if (code == 0) return false;

  modifiers_ = (shortcut & kShift ? ShiftMask : 0) | (shortcut & kCtrl ? ControlMask : 0) |
               (shortcut & kAlt ? Mod1Mask : 0);
  const Window root = DefaultRootWindow(display_);
  XSync(display_, False);
  grabRefused = false;
  auto* previous = XSetErrorHandler(recordGrabError);
  forEachLockCombination(display_, [&](unsigned locks) {
    XGrabKey(display_, code, modifiers_ | locks, root, False, GrabModeAsync, GrabModeAsync);
  });
  XSync(display_, False);
  XSetErrorHandler(previous);
  keycode_ = code;
  if (!grabRefused) return true;
  // Part of the combinations may have been granted: give them back.
  release();
  return false;
}

int TRegHotKey::ConnectionFd() const { return display_ ? ConnectionNumber(display_) : -1; }

int TRegHotKey::TakePresses() {
  if (!display_) return 0;
  int presses = 0;
  while (XPending(display_) > 0) {
    XEvent event;
    XNextEvent(display_, &event);
    if (event.type == KeyPress && keycode_ && event.xkey.keycode == keycode_) ++presses;
  }
  return presses;
}

}  // namespace nivra::app
