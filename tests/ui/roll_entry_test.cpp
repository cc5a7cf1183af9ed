// Lines of the scrolling-text lists: name, value and the colour prefix.

#include "ui/roll_entry.h"

#include <gtest/gtest.h>

#include "tests/support/param_name.h"

namespace nivra::ui {
namespace {

struct EntryCase {
  const char* line;
  const char* text;
  std::optional<std::uint32_t> color;
  const char* value;
};

class RollEntryCases : public ::testing::TestWithParam<EntryCase> {};

TEST_P(RollEntryCases, Parse) {
  const EntryCase c = GetParam();
  const RollEntry e = ParseRollEntry(c.line);
  EXPECT_EQ(e.text, c.text);
  EXPECT_EQ(e.color, c.color);
  EXPECT_EQ(e.value, c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, RollEntryCases,
    ::testing::Values(EntryCase{"新片上线=Nivra://abc", "新片上线", std::nullopt, "Nivra://abc"},
                      EntryCase{"{0000FF}news=address", "news", 0x0000FF, "address"},
                      EntryCase{"{ff00}a=b=c", "a", 0xFF00, "b=c"},
                      EntryCase{"{zz}bad colour=v", "bad colour", std::nullopt, "v"},
                      EntryCase{"{}empty=v", "empty", std::nullopt, "v"},
                      EntryCase{"{123456789}too long=v", "too long", std::nullopt, "v"},
                      EntryCase{"no equals sign", "", std::nullopt, ""},
                      EntryCase{"{FF}", "", 0xFF, ""},
                      EntryCase{"{a=b}c", "", std::nullopt, "b}c"},  // "=" inside the prefix
                      EntryCase{"{0000FF no close=v", "{0000FF no close", std::nullopt, "v"},
                      EntryCase{"=value only", "", std::nullopt, "value only"},
                      EntryCase{"", "", std::nullopt, ""}),
    [](const auto& info) {
      return std::to_string(info.index) + "_" + nivra::test::CaseName(info.param.line);
    });

}  // namespace
}  // namespace nivra::ui
