// TPlayer with the GStreamer graph on sources served over HTTP from 127.0.0.1: a server that
// answers late, and servers without byte ranges.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>

#include "tests/player/gst/gst_player_fixture.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_process.h"

namespace nivra::player::test {
namespace {

using ::testing::ElementsAre;

// Copies generated media into a folder of its own for a server to serve.
std::filesystem::path serve(const nivra::test::TempDir& www, const std::filesystem::path& file) {
  const auto copy = www / file.filename().string();
  std::filesystem::copy_file(file, copy, std::filesystem::copy_options::overwrite_existing);
  return copy;
}

class HeldSourceTest : public GstPlayerTest {
 protected:
  void SetUp() override {
    GstPlayerTest::SetUp();
    serve(www, media.videoWithSound);
    auto options = headless(false);
    options.onPipelineCreated = [this](GstElement* pipeline) {
      ++created;
      g_object_weak_ref(
          G_OBJECT(pipeline), [](gpointer n, GObject*) { ++*static_cast<std::atomic<int>*>(n); },
          &finalized);
    };
    makePlayer(options);
    port = server.waitFor("READY");
    ASSERT_TRUE(port.has_value());
  }

  std::string url() const { return "http://127.0.0.1:" + *port + "/clip.webm"; }
  void release() { std::ofstream(www / "release") << "go"; }

  nivra::test::TempDir www;
  nivra::test::TestProcess server{
      "/usr/bin/python3",
      {NIVRA_GST_TEST_DIR "/held_server.py", www.path().string(), "held"}};
  std::optional<std::string> port;
  std::atomic<int> created{0}, finalized{0};
};

TEST_F(HeldSourceTest, OpenReturnsWhileTheServerHoldsItsAnswer) {
  player->OpenFile(url());
  // The request is out and unanswered, and Open has returned.
  ASSERT_TRUE(server.waitFor("REQUEST").has_value());
  EXPECT_THAT(events, ::testing::IsEmpty());
  EXPECT_TRUE(player->OpenPending());
  EXPECT_TRUE(player->Opened());
  EXPECT_EQ(player->PlayState(), psStop);
  EXPECT_EQ(player->Duration(), 0u);
  // Play and Pause wait for the source; the order of events stays that of an open.
  player->Play();
  player->Pause();
  EXPECT_EQ(player->PlayState(), psStop);
  release();
  ASSERT_TRUE(rendered());
  EXPECT_NEAR(player->Duration(), 2000, 60);
  EXPECT_TRUE(player->HasVideo());
  ASSERT_TRUE(playToEnd());
  EXPECT_THAT(events, ElementsAre("open 0", "state 1", "end", "state 0", "stop"));
}

TEST_F(HeldSourceTest, StopWhileTheServerHoldsItsAnswerTearsDownAtOnce) {
  player->OpenFile(url());
  ASSERT_TRUE(server.waitFor("REQUEST").has_value());
  player->Stop();
  EXPECT_THAT(events, ElementsAre("stop"));
  EXPECT_FALSE(player->Opened());
  EXPECT_FALSE(player->OpenPending());
  EXPECT_EQ(player->MediaKind(), kMediaNone);
  EXPECT_EQ(loop.activeTimers(), 0u);
  // The graph is gone when Stop returns, streaming threads joined.
  EXPECT_EQ(created.load(), 1);
  EXPECT_EQ(finalized.load(), 1);
  // An answer arriving now reaches nobody.
  release();
  loop.advance(1000);
  EXPECT_THAT(events, ElementsAre("stop"));
  // And the next source opens normally.
  ASSERT_TRUE(open(media.soundOnly.string()));
  EXPECT_THAT(events, ElementsAre("stop", "stop", "open 1", "state 1"));
}

// A plain server (python's http.server): no Range support, no Accept-Ranges header.
class PlainServerTest : public GstPlayerTest,
                        public ::testing::WithParamInterface<std::filesystem::path TestMedia::*> {};

TEST_P(PlainServerTest, FilePlaysFromStartToEndAsAStream) {
  nivra::test::TempDir www;
  const auto file = serve(www, media.*GetParam());
  nivra::test::TestProcess server(
      "/usr/bin/python3",
      {"-u", "-m", "http.server", "0", "--bind", "127.0.0.1", "--directory", www.path().string()});
  // "Serving HTTP on 127.0.0.1 port N (http://127.0.0.1:N/) ..."
  const auto banner = server.waitFor("Serving HTTP on 127.0.0.1 port");
  ASSERT_TRUE(banner.has_value());
  const std::string port = banner->substr(0, banner->find(' '));
  ASSERT_TRUE(openFile("http://127.0.0.1:" + port + "/" + file.filename().string()));
  EXPECT_FALSE(raised("error")) << errorText;
  // Seeking would need a range request.
  EXPECT_FALSE(player->CanSeek());
  ASSERT_TRUE(playToEnd());
  EXPECT_THAT(events, ElementsAre("open 0", "state 1", "end", "state 0", "stop"));
}

INSTANTIATE_TEST_SUITE_P(Media, PlainServerTest,
                         ::testing::Values(&TestMedia::theora, &TestMedia::videoWithSound,
                                           &TestMedia::soundOnly),
                         [](const auto& info) {
                           if (info.param == &TestMedia::theora) return std::string("theora");
                           if (info.param == &TestMedia::videoWithSound)
                             return std::string("videoWithSound");
                           return std::string("soundOnly");
                         });

}  // namespace
}  // namespace nivra::player::test
