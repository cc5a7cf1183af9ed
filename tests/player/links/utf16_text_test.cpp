#include "player/links/utf16_text.h"

#include <gtest/gtest.h>

namespace nivra::player {
namespace {

struct Utf8Case {
  std::string utf8;
  std::u16string utf16;
};

TEST(Utf16TextTest, WellFormedTextRoundTrips) {
  const Utf8Case cases[] = {
      {"", u""},
      {"plain ASCII |/:", u"plain ASCII |/:"},
      {"中文片名", u"中文片名"},
      {"\xC3\xA9", u"\u00E9"},
      {"\xF0\x9F\x8E\xAC", u"\U0001F3AC"},  // outside the basic plane: a surrogate pair
      {std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16) << c.utf8;
    EXPECT_EQ(Utf16ToUtf8(c.utf16), c.utf8) << c.utf8;
  }
}

TEST(Utf16TextTest, MalformedUtf8BecomesReplacementCharacters) {
  const Utf8Case cases[] = {
      {"\xFF", u"\uFFFD"},
      {"a\x80z", u"a\uFFFDz"},
      {"\xC0\xAF", u"\uFFFD\uFFFD"},                      // overlong "/"
      {"\xE4\xB8", u"\uFFFD\uFFFD"},                      // cut short
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},            // a surrogate code point
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
      {"\xE4\xB8\x41", u"\uFFFD\uFFFDA"},
  };
  for (const auto& c : cases) EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16);
}

TEST(Utf16TextTest, LoneSurrogatesBecomeReplacementCharacters) {
  EXPECT_EQ(Utf16ToUtf8(u"\xD800"), "\xEF\xBF\xBD");
  EXPECT_EQ(Utf16ToUtf8(u"\xDC00x"), "\xEF\xBF\xBDx");
  EXPECT_EQ(Utf16ToUtf8(u"\xD83D\xD83D\xDE00"), "\xEF\xBF\xBD\xF0\x9F\x98\x80");
}

}  // namespace
}  // namespace nivra::player
