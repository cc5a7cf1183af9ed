// The Flash class registration: known or not, the version it names, and creating a control of
// the registered movie runtime through its library and the C table it exports.

#include "player/flash/flash_class.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/error.h"
#include "platform/module_names.h"
#include "player/flash/movie_abi_control.h"
#include "tests/support/temp_dir.h"

namespace nivra::player {
namespace {

class FlashClassTest : public ::testing::Test {
 protected:
  test::TempDir dir;
  platform::Registry registry{dir / "user", dir / "install"};
};

TEST_F(FlashClassTest, UnregisteredClassIsNotKnownAndCannotBeCreated) {
  EXPECT_FALSE(FlashClassRegistered(registry));
  EXPECT_THROW(CreateFlashControl(registry), Error);
  // A class key without a program identifier is not enough.
  registry.writeString(platform::Hive::ClassesRoot, FlashClassKey(), "", "Flash");
  EXPECT_FALSE(FlashClassRegistered(registry));
}

TEST_F(FlashClassTest, RegisteredClassWithAMissingLibraryRaisesTheLoaderText) {
  ASSERT_TRUE(RegisterFlashClass(registry, dir / "libnothere.so", "Test.Movie.1", "10.0"));
  EXPECT_TRUE(FlashClassRegistered(registry));
  try {
    CreateFlashControl(registry);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find("libnothere.so"), std::string::npos) << e.what();
  }
}

TEST_F(FlashClassTest, TheRegisteredRuntimeReportsTheRegisteredVersion) {
  const std::pair<const char*, std::uint32_t> cases[] = {
      {"10.0", 10u << 16}, {"7.1", 7u << 16 | 1}, {"8", 8u << 16}};
  for (const auto& [text, version] : cases) {
    ASSERT_TRUE(RegisterFlashClass(registry, NIVRA_MOVIE_LIBRARY, "Test.Movie.1", text));
    auto control = CreateFlashControl(registry);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->FlashVersion(), version) << text;
  }
  EXPECT_LT(FlashMajorVersion(7u << 16 | 1), kFlashMinimumMajor);
  EXPECT_GE(FlashMajorVersion(8u << 16), kFlashMinimumMajor);
}

TEST_F(FlashClassTest, TheBuildTreeRegistersTheRuntimeForTheProgram) {
  platform::Registry installed{dir / "user", NIVRA_BIN_DIR "/registry"};
  ASSERT_TRUE(FlashClassRegistered(installed));
  auto control = CreateFlashControl(installed);
  EXPECT_GE(FlashMajorVersion(control->FlashVersion()), kFlashMinimumMajor);
}

// The runtime's failures cross the C table as codes and come back as nivra::Error with the
// runtime's own text; texts cross as UTF-16 buffers, characters outside the BMP included.
TEST_F(FlashClassTest, TheRuntimeAnswersThroughItsCTable) {
  ASSERT_TRUE(RegisterFlashClass(registry, NIVRA_MOVIE_LIBRARY, "Test.Movie.1", "10.0"));
  auto control = CreateFlashControl(registry);
  const auto errorText = [&](auto&& call) -> std::string {
    try {
      call();
    } catch (const Error& e) {
      return e.what();
    }
    return "no error";
  };
  EXPECT_EQ(errorText([&] { control->GetVariable(u"playstat"); }), "The movie is not running");
  EXPECT_EQ(errorText([&] { control->SetVariable(u"statset", u"PlayPause"); }),
            "The movie is not running");

  control->LoadMovie(0, std::string(NIVRA_BIN_DIR "/") + platform::names::kFlashMovie);
  control->Play();
  EXPECT_EQ(control->GetVariable(u"AddUrl"), u"null");
  EXPECT_EQ(errorText([&] { control->GetVariable(u"nosuch"); }),
            "The movie has no variable nosuch");
  const std::u16string texts[] = {u"", u"PPTV", u"\u5F71\u89C6 \u00FC", u"\U0001F3AC clip"};
  for (const auto& text : texts) {
    control->SetVariable(u"ServerType", text);
    EXPECT_EQ(control->GetVariable(u"ServerType"), text);
  }
  control->SetVisible(true);
  EXPECT_TRUE(control->Visible());
  control->SetVisible(false);
  EXPECT_FALSE(control->Visible());
}

// A scripted runtime table, to drive what the real runtime never does: raise FSCommand, refuse
// a call without a reason, be of another interface version.
struct ScriptedRuntime {
  static inline NivraMovieFSCommandFn handler = nullptr;
  static inline void* context = nullptr;
  static inline int created = 0;
  static inline int destroyed = 0;
  static inline NivraMovieResult playResult = NIVRA_MOVIE_OK;

  static NivraMovieApi table() {
    NivraMovieApi api{};
    api.abiVersion = NIVRA_MOVIE_ABI_VERSION;
    api.Create = [](uint32_t, NivraMovie** out) {
      ++created;
      *out = reinterpret_cast<NivraMovie*>(&created);
      return NIVRA_MOVIE_OK;
    };
    api.Destroy = [](NivraMovie*) { ++destroyed; };
    api.Play = [](NivraMovie*) { return playResult; };
    api.SetFSCommandHandler = [](NivraMovie*, NivraMovieFSCommandFn fn, void* ctx) {
      handler = fn;
      context = ctx;
      return NIVRA_MOVIE_OK;
    };
    api.LastError = [](NivraMovie*, char* buffer, size_t size) -> size_t {
      if (buffer && size) buffer[0] = '\0';
      return 0;
    };
    return api;
  }
  static void raise(std::u16string_view command, std::u16string_view args) {
    handler(context, command.data(), command.size(), args.data(), args.size());
  }
};

TEST(MovieAbiControl, RaisesFSCommandAndKeepsItsHandlerFromUnwindingIntoTheRuntime) {
  const NivraMovieApi api = ScriptedRuntime::table();
  ScriptedRuntime::created = ScriptedRuntime::destroyed = 0;
  {
    MovieAbiControl control(api, 0);
    ASSERT_NE(ScriptedRuntime::handler, nullptr);
    ScriptedRuntime::raise(u"trace", u"before a handler is set");  // nobody listens: no effect
    std::vector<std::u16string> seen;
    control.OnFSCommand = [&](std::u16string_view command, std::u16string_view args) {
      seen.emplace_back(command);
      seen.emplace_back(args);
    };
    ScriptedRuntime::raise(u"trace", u"hello \u5F71");
    EXPECT_EQ(seen, (std::vector<std::u16string>{u"trace", u"hello \u5F71"}));
    control.OnFSCommand = [](std::u16string_view, std::u16string_view) {
      throw Error("handler failed");
    };
    EXPECT_NO_THROW(ScriptedRuntime::raise(u"trace", u"x"));
  }
  EXPECT_EQ(ScriptedRuntime::handler, nullptr) << "the handler outlived the control";
  EXPECT_EQ(ScriptedRuntime::created, 1);
  EXPECT_EQ(ScriptedRuntime::destroyed, 1);
}

TEST(MovieAbiControl, FailuresAndForeignTablesBecomeErrors) {
  NivraMovieApi api = ScriptedRuntime::table();
  const std::pair<NivraMovieResult, const char*> failures[] = {
      {NIVRA_MOVIE_FAILED, "The movie runtime failed (1)"},
      {NIVRA_MOVIE_BAD_ARGUMENT, "The movie runtime was given a null argument"},
      {NIVRA_MOVIE_NO_MEMORY, "The movie runtime ran out of memory"}};
  MovieAbiControl control(api, 0);
  for (const auto& [result, text] : failures) {
    ScriptedRuntime::playResult = result;
    try {
      control.Play();
      ADD_FAILURE() << "no error for " << result;
    } catch (const Error& e) {
      EXPECT_STREQ(e.what(), text);
    }
  }
  ScriptedRuntime::playResult = NIVRA_MOVIE_OK;
  EXPECT_NO_THROW(control.Play());

  api.abiVersion = NIVRA_MOVIE_ABI_VERSION + 1;
  EXPECT_THROW(MovieAbiControl(api, 0), Error);
}

TEST(FlashVersionText, MajorAndMinor) {
  const std::pair<const char*, std::uint32_t> cases[] = {{"10.3", 10u << 16 | 3},
                                                         {" 9 ", 9u << 16},
                                                         {"11.2.202", 11u << 16 | 2},
                                                         {"", 0},
                                                         {"x.1", 0},
                                                         {"1.y", 0},
                                                         {"70000.0", 0},
                                                         {"-1.0", 0}};
  for (const auto& [text, version] : cases) EXPECT_EQ(ParseFlashVersion(text), version) << text;
}

}  // namespace
}  // namespace nivra::player
