// The program's ad scheduler against the demo ad server with the shipped records: the first
// heartbeat brings the mini record, and the mini pop-up opens a few seconds after the program
// went to the tray, once.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "ads/ad_obj.h"
#include "platform/manual_event_loop.h"
#include "tests/ads/ad_test_support.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_process.h"

namespace nivra::ads {
namespace {

using namespace std::chrono_literals;

TEST(DemoAdServer, ShippedRecordsOpenOneMiniPopUpSoonAfterTrayMode) {
  nivra::test::TestProcess server(
      "/usr/bin/python3", {NIVRA_DEMO_ADS, "--port", "0", "--display", "http://127.0.0.1:8781"});
  const auto address = server.waitFor("ads       udp");  // "127.0.0.1:PORT"
  ASSERT_TRUE(address);
  const auto port = static_cast<std::uint16_t>(std::stoi(address->substr(address->find(':') + 1)));

  nivra::test::TempDir dir;
  platform::ManualEventLoop loop{test::at("2024-03-10 09:00:00")};
  UdpAdServerLink link(loop, "127.0.0.1", port);
  test::FixedConnectionCheck check;
  test::RecordingLauncher launcher{loop};
  TAdObj obj(loop, link, check, launcher, AdSchedulerSetup{dir.path(), dir.path(), 0});
  obj.NotifyTrayMode();
  loop.runPending();  // the first pass: heartbeat with ids 0 and 0

  // Both replies (mini and right record) come back on the loop.
  const auto bothArrived = [&] {
    const auto s = obj.Snapshot().stored;
    return s.mini.Id != 0 && s.right.Id != 0;
  };
  for (int waited = 0; waited < 10'000 && !bothArrived(); ++waited) {
    loop.runPending();
    std::this_thread::sleep_for(1ms);
  }
  const auto state = obj.Snapshot();
  ASSERT_TRUE(bothArrived()) << "no replies";
  EXPECT_EQ(UrlText(state.stored.mini.Url), "http://127.0.0.1:8781/ads/mini.html");

  // Five passes (15 s): one start, the mini pop-up; the first right record is kept, not shown.
  for (int pass = 0; pass < 5; ++pass) loop.advance(kAdPassIntervalMs);
  ASSERT_EQ(launcher.starts.size(), 1u);
  EXPECT_EQ(launcher.starts[0].args,
            (std::vector<std::string>{"/SHOWMINI", "http://127.0.0.1:8781/ads/mini.html",
                                      std::to_string(state.stored.mini.Width),
                                      std::to_string(state.stored.mini.Height)}));
  EXPECT_LE(launcher.starts[0].at, "2024-03-10 09:00:06");
}

}  // namespace
}  // namespace nivra::ads
