// The time and speed texts of a player's window.

#include "common/play_text.h"

#include <gtest/gtest.h>

namespace nivra::common {
namespace {

TEST(PlayText, TimesAndSpeeds) {
  const struct {
    std::int64_t ms;
    const char* text;
  } times[] = {{0, "00:00"},      {500, "00:00"},     {1500, "00:02"},    {2500, "00:02"},
               {125400, "02:05"}, {3600000, "60:00"}, {6000000, "100:00"}};
  for (const auto& t : times) EXPECT_EQ(FormatPlayTime(t.ms), t.text) << t.ms;

  const struct {
    std::int64_t speed;
    const char* shown;
    std::optional<std::string> text;
  } speeds[] = {{-1, "3KB/s", std::nullopt},   {0, "停止", std::nullopt},
                {0, "正在连接", std::nullopt}, {0, "3KB/s", "0KB/s"},
                {512, "停止", "0.5KB/s"},      {1000, "停止", "0.98KB/s"},
                {5000, "停止", "4KB/s"},       {10, "停止", "0.01KB/s"},
                {1023, "停止", "1KB/s"},       {2047, "停止", "1KB/s"}};
  for (const auto& s : speeds) EXPECT_EQ(SpeedLabelText(s.speed, s.shown), s.text) << s.speed;
}

}  // namespace
}  // namespace nivra::common
