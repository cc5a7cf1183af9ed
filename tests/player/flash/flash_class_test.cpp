// The Flash class registration: known or not, the version it names, and creating a control of
// the registered movie runtime through its library.

#include "player/flash/flash_class.h"

#include <gtest/gtest.h>

#include "platform/error.h"
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

TEST(FlashVersionText, MajorAndMinor) {
  const std::pair<const char*, std::uint32_t> cases[] = {
      {"10.3", 10u << 16 | 3}, {" 9 ", 9u << 16}, {"11.2.202", 11u << 16 | 2}, {"", 0},
      {"x.1", 0}, {"1.y", 0}, {"70000.0", 0}, {"-1.0", 0}};
  for (const auto& [text, version] : cases) EXPECT_EQ(ParseFlashVersion(text), version) << text;
}

}  // namespace
}  // namespace nivra::player
