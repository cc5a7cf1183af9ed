// The movie runtime's side of the variable protocol, on generated local media: the movie must be
// loaded and started, asks for its list, plays it, and obeys pause, seek and volume.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "extras/movie/movie_control.h"
#include "platform/error.h"
#include "player/links/utf16_text.h"
#include "tests/support/env_guard.h"
#include "tests/support/media_fixture.h"

namespace nivra::extras {
namespace {

using player::Utf16ToUtf8;
using player::Utf8ToUtf16;

class MovieRuntime : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    media = new test::TempDir;
    for (int i = 1; i <= 2; ++i)
      ASSERT_TRUE(test::MakeMediaSegment(media->path() / ("s" + std::to_string(i) + ".mp4"), 1000,
                                         i, "mp4"));
    media->write("NVRFlash.swf", "NVRMovie 1\n");
    media->write("other.swf", "FWS\x08 a different movie");
  }
  static void TearDownTestSuite() { delete media; }
  MovieRuntime() { env.set("NIVRA_MOVIE_SINKS", "fake"); }

  std::string get(const char* name) { return Utf16ToUtf8(movie.GetVariable(Utf8ToUtf16(name))); }
  void set(const char* name, const std::string& value) {
    movie.SetVariable(Utf8ToUtf16(name), Utf8ToUtf16(value));
  }
  void startWithList() {
    movie.LoadMovie(0, (media->path() / "NVRFlash.swf").string());
    movie.Play();
    ASSERT_EQ(get("AddUrl"), "null");
    set("AddUrl",
        (media->path() / "s1.mp4").string() + "\r\n" + (media->path() / "s2.mp4").string());
  }
  // Polls like the bridge until `name` reads `value`.
  bool waitFor(const char* name, const std::string& value, int ms = 10000) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < deadline) {
      if (get(name) == value) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
  }
  double position() { return std::stod(get("PlayPos")); }

  static test::TempDir* media;
  test::EnvGuard env;
  MovieControl movie;
};

test::TempDir* MovieRuntime::media = nullptr;

TEST_F(MovieRuntime, WithoutARunningMovieVariablesFail) {
  EXPECT_THROW(get("ErrorStr"), Error);
  EXPECT_THROW(set("AddUrl", "x"), Error);
  movie.LoadMovie(0, (media->path() / "other.swf").string());
  movie.Play();
  EXPECT_THROW(get("ErrorStr"), Error);
  movie.LoadMovie(0, (media->path() / "NVRFlash.swf").string());
  movie.Play();
  EXPECT_EQ(get("ErrorStr"), "");
  EXPECT_EQ(get("playstat"), "");
  EXPECT_THROW(get("NoSuchVariable"), Error);
  set("Custom", "kept");
  EXPECT_EQ(get("Custom"), "kept");
  movie.Stop();
  EXPECT_THROW(get("ErrorStr"), Error);
}

TEST_F(MovieRuntime, ReportsTheVersionItIsRegisteredWith) {
  EXPECT_EQ(MovieControl().FlashVersion(), kMovieRuntimeVersion);
  EXPECT_EQ(MovieControl(7u << 16).FlashVersion(), 7u << 16);
}

TEST_F(MovieRuntime, PlaysTheListAndReportsPlayingUntilItIsRead) {
  startWithList();
  ASSERT_TRUE(waitFor("playstat", "Playing"));
  EXPECT_EQ(get("MediaWidth"), "320");
  EXPECT_EQ(get("MediaHeight"), "240");
  EXPECT_NEAR(std::stoi(get("Duration")), 2000, 150);
  EXPECT_EQ(get("BufferStat"), "CanPlay");
  EXPECT_GE(std::stoi(get("downspeed")), 0);
  ASSERT_TRUE(waitFor("playstat", "PlayEnd", 10000));
  EXPECT_NEAR(position(), 2000, 150);
  set("playstat", "");  // the bridge clears it; the end is not reported again
  EXPECT_EQ(get("playstat"), "");
  EXPECT_EQ(get("statstr"), "ended");
}

TEST_F(MovieRuntime, PauseHoldsThePositionAndSeekCrossesIntoTheNextSegment) {
  startWithList();
  ASSERT_TRUE(waitFor("playstat", "Playing"));
  set("soundset", "30");
  set("statset", "PlayPause");
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const double held = position();
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  EXPECT_NEAR(position(), held, 30);
  set("SeekPos", "1500");  // inside the second segment
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::abs(position() - 1500) > 60 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_NEAR(position(), 1500, 60);
  set("statset", "PlayResume");
  ASSERT_TRUE(waitFor("playstat", "PlayEnd", 10000));
}

TEST_F(MovieRuntime, AMissingFileIsTheMovieErrorNamingIt) {
  movie.LoadMovie(0, (media->path() / "NVRFlash.swf").string());
  movie.Play();
  const std::string missing = (media->path() / "none.mp4").string();
  set("AddUrl", missing);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (get("ErrorStr").empty() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_NE(get("ErrorStr").find("none.mp4"), std::string::npos) << get("ErrorStr");
}

TEST_F(MovieRuntime, AnEmptyListIsAnError) {
  movie.LoadMovie(0, (media->path() / "NVRFlash.swf").string());
  movie.Play();
  set("AddUrl", " \r\n ");
  EXPECT_EQ(get("ErrorStr"), "The movie got no address to play");
}

}  // namespace
}  // namespace nivra::extras
