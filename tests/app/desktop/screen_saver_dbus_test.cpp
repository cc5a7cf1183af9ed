// The screen-saver inhibitor against a scripted org.freedesktop.ScreenSaver on a private bus.

#include "app/desktop/screen_saver_dbus.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/app/desktop/private_bus.h"
#include "tests/support/debug_log.h"
#include "tests/support/env_guard.h"

namespace nivra::app {
namespace {

using ::testing::ElementsAre;

TEST(DbusScreenSaverInhibitor, InhibitsOnceAndReleasesTheCookie) {
  test::PrivateBus bus;
  test::TestProcess fake("/usr/bin/python3", test::fakeServiceArgs("screensaver", bus.address()));
  ASSERT_TRUE(fake.waitFor("READY"));
  auto inhibitor = makeDbusScreenSaverInhibitor(bus.connect());

  inhibitor->Inhibit("全屏播放");
  inhibitor->Inhibit("全屏播放");  // already inhibited: not asked again
  EXPECT_TRUE(inhibitor->Inhibited());
  inhibitor->UnInhibit();
  inhibitor->UnInhibit();  // nothing left to release
  EXPECT_FALSE(inhibitor->Inhibited());
  inhibitor->Inhibit("全屏播放");
  inhibitor.reset();  // an active request ends with the inhibitor
  EXPECT_THAT(test::drainCalls(fake),
              ElementsAre("CALL Inhibit Nivra 全屏播放 -> 7", "CALL UnInhibit 7",
                          "CALL Inhibit Nivra 全屏播放 -> 14", "CALL UnInhibit 14"));
}

TEST(DbusScreenSaverInhibitor, DesktopWithoutTheServiceLeavesItUninhibited) {
  test::PrivateBus bus;
  test::DebugLog debug;
  auto inhibitor = makeDbusScreenSaverInhibitor(bus.connect());
  inhibitor->Inhibit("全屏播放");
  EXPECT_FALSE(inhibitor->Inhibited());
  inhibitor->UnInhibit();
  EXPECT_THAT(debug.lines(), ElementsAre("ScreenSaver: org.freedesktop.DBus.Error.ServiceUnknown"));
}

TEST(ScreenSaverInhibitor, WithoutASessionBusTheDoNothingVariantIsUsed) {
  test::EnvGuard env;
  env.set("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/nivra-test-bus");
  auto inhibitor = makeScreenSaverInhibitor();
  inhibitor->Inhibit("全屏播放");  // asks nobody, and cannot fail
  EXPECT_TRUE(inhibitor->Inhibited());
  inhibitor->UnInhibit();
  EXPECT_FALSE(inhibitor->Inhibited());
}

}  // namespace
}  // namespace nivra::app
