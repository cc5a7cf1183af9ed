// The system-wide hot key on a private X server (Xvfb), pressed through xdotool as a user would.

#include "app/desktop/hot_key_x11.h"

#include <gtest/gtest.h>
#include <poll.h>

#include <QCoreApplication>
#include <chrono>
#include <thread>

#include "app/desktop/global_hot_key.h"
#include "platform/process_runner.h"
#include "tests/support/env_guard.h"
#include "tests/support/test_process.h"

namespace nivra::app {
namespace {

constexpr std::int32_t kCtrlAltB = 49218;
constexpr std::int32_t kCtrlAltN = 0x4000 | 0x8000 | 'N';

class HotKeyX11Test : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server.running());
    const auto display = server.readLine();
    ASSERT_TRUE(display && !display->empty());
    env.set("DISPLAY", ":" + *display);
    env.set("WAYLAND_DISPLAY", std::nullopt);
    env.set("XDG_SESSION_TYPE", std::nullopt);
  }
  static void press(const std::vector<std::string>& keys) {
    std::vector<std::string> args{"key", "--delay", "20"};
    args.insert(args.end(), keys.begin(), keys.end());
    const auto run = platform::runAndCapture("xdotool", args);
    ASSERT_TRUE(run && run->exitCode == 0);
  }
  // The presses the key reported once `expected` came or nothing more came for a second.
  static int presses(TRegHotKey& key, int expected) {
    int seen = key.TakePresses();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (seen < expected && std::chrono::steady_clock::now() < deadline) {
      pollfd fd{key.ConnectionFd(), POLLIN, 0};
      if (::poll(&fd, 1, 1000) <= 0) break;
      seen += key.TakePresses();
    }
    return seen;
  }

  test::TestProcess server{"Xvfb",
                           {"-displayfd", "1", "-screen", "0", "640x480x24", "-nolisten", "tcp"}};
  test::EnvGuard env;
};

TEST_F(HotKeyX11Test, PressesReachTheGrabWhateverLockIsOn) {
  TRegHotKey key;
  key.shortcut = kCtrlAltB;
  ASSERT_TRUE(key.Register());
  press({"ctrl+alt+b"});
  EXPECT_EQ(presses(key, 1), 1);
  press({"Caps_Lock", "ctrl+alt+b", "Caps_Lock"});
  EXPECT_EQ(presses(key, 1), 1);
  press({"Num_Lock", "ctrl+alt+b", "Num_Lock"});
  EXPECT_EQ(presses(key, 1), 1);
  press({"ctrl+b", "alt+b", "ctrl+alt+n"});  // other combinations are not ours
  EXPECT_EQ(presses(key, 1), 0);
}

TEST_F(HotKeyX11Test, CombinationHeldByAnotherClientIsInactiveUntilReleased) {
  auto holder = std::make_unique<TRegHotKey>();
  holder->shortcut = kCtrlAltB;
  ASSERT_TRUE(holder->Register());
  TRegHotKey key;
  key.shortcut = kCtrlAltB;
  EXPECT_FALSE(key.Register());
  EXPECT_FALSE(key.Registered());
  holder.reset();  // the end of the other program releases its grab
  EXPECT_TRUE(key.Register());
  press({"ctrl+alt+b"});
  EXPECT_EQ(presses(key, 1), 1);
}

TEST_F(HotKeyX11Test, ChangedCombinationReplacesTheOld) {
  TRegHotKey key;
  key.shortcut = kCtrlAltB;
  ASSERT_TRUE(key.Register());
  key.shortcut = kCtrlAltN;
  ASSERT_TRUE(key.Register());
  TRegHotKey other;  // the old combination is free again
  other.shortcut = kCtrlAltB;
  EXPECT_TRUE(other.Register());
  press({"ctrl+alt+n"});
  EXPECT_EQ(presses(key, 1), 1);
}

TEST_F(HotKeyX11Test, NothingToGrabIsAFailedRegistration) {
  TRegHotKey key;
  EXPECT_FALSE(key.Register());  // shortcut 0
  key.shortcut = 0x4000 | 0xE5;  // a virtual key X has no symbol for
  EXPECT_FALSE(key.Register());
  env.set("WAYLAND_DISPLAY", "wayland-0");
  key.shortcut = kCtrlAltB;
  EXPECT_FALSE(key.Register());
  env.set("WAYLAND_DISPLAY", std::nullopt);
  env.set("DISPLAY", std::nullopt);
  TRegHotKey headless;
  headless.shortcut = kCtrlAltB;
  EXPECT_FALSE(headless.Register());
  EXPECT_EQ(headless.ConnectionFd(), -1);
}

TEST_F(HotKeyX11Test, PressesReachTheHandlerThroughTheQtLoop) {
  int pressed = 0;
  GlobalHotKey hotKey([&] { ++pressed; });
  ASSERT_TRUE(hotKey.Register(kCtrlAltB));
  press({"ctrl+alt+b", "ctrl+alt+b"});
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (pressed < 2 && std::chrono::steady_clock::now() < deadline) {
    QCoreApplication::processEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_EQ(pressed, 2);
  EXPECT_TRUE(hotKey.Register(kCtrlAltN));  // the changed combination from the settings
  TRegHotKey other;
  other.shortcut = kCtrlAltB;
  EXPECT_TRUE(other.Register());
}

}  // namespace
}  // namespace nivra::app
