// The resolver's page analysis and its reading of yt-dlp's output.

#include "extras/resolver/page_scan.h"

#include <gtest/gtest.h>

#include "extras/resolver/ytdlp.h"

namespace nivra::extras {
namespace {

constexpr const char* kPage = "http://127.0.0.1:8000/shows/ep1.html?x=1#top";

struct ScanCase {
  const char* name;
  const char* html;
  std::vector<std::string> urls;
  double duration = 0;
};

class PageScan : public ::testing::TestWithParam<ScanCase> {};

TEST_P(PageScan, FindsTheMediaAddresses) {
  const auto& c = GetParam();
  const PageMedia media = ScanPageForMedia(c.html, kPage);
  EXPECT_EQ(media.urls, c.urls);
  EXPECT_DOUBLE_EQ(media.durationSeconds, c.duration);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, PageScan,
    ::testing::Values(
        ScanCase{"VideoSrc", "<html><body><VIDEO SRC='media/a.mp4' controls></VIDEO></body>",
                 {"http://127.0.0.1:8000/shows/media/a.mp4"}},
        ScanCase{"FirstSourceOfEachVideo",
                 "<video><source src=\"/v/a.webm\" type=video/webm><source src=\"/v/a.mp4\"></video>"
                 "<video><source src=//cdn.test/b.mp4></video>",
                 {"http://127.0.0.1:8000/v/a.webm", "http://cdn.test/b.mp4"}},
        ScanCase{"SourceOutsideVideoIgnored",
                 "<audio><source src=a.mp3></audio><picture><source srcset=x.png></picture>", {}},
        ScanCase{"OpenGraphWhenNoVideo",
                 "<meta property=\"og:video\" content=\"http://media.test/x.mp4\">"
                 "<meta property=\"og:video:secure_url\" content=\"https://media.test/x.mp4\">"
                 "<meta property=\"video:duration\" content=\"95.5\">",
                 {"https://media.test/x.mp4"}, 95.5},
        ScanCase{"VideoTagBeatsOpenGraph",
                 "<meta property=og:video content=http://media.test/x.mp4><video src=y.mp4>",
                 {"http://127.0.0.1:8000/shows/y.mp4"}},
        ScanCase{"EntitiesAndBase",
                 "<base href=\"http://other.test/dir/\"><video src=\"get?id=1&amp;q=&#50;\">",
                 {"http://other.test/dir/get?id=1&q=2"}},
        ScanCase{"DuplicatesOnce", "<video src=a.mp4></video><video src=\"a.mp4\"></video>",
                 {"http://127.0.0.1:8000/shows/a.mp4"}},
        ScanCase{"CommentsAndScriptsHoldNoTags",
                 "<!-- <video src=old.mp4> --><script>var s='<video src=js.mp4>';</SCRIPT>"
                 "<style>video{}</style><p>1 < 2</p>",
                 {}},
        ScanCase{"OnlyWebAddresses",
                 "<video src=\"javascript:alert(1)\"></video><video src=\"data:video/mp4;base64,AA\">"
                 "</video><video src=\"blob:http://x/1\"></video><video src=ftp://h/a.mp4></video>",
                 {}},
        ScanCase{"NoMedia", "<html><head><title>Nothing</title></head><body>text</body></html>", {}},
        ScanCase{"BadDurationIgnored",
                 "<video src=a.mp4><meta name=video:duration content=\"soon\">",
                 {"http://127.0.0.1:8000/shows/a.mp4"}},
        ScanCase{"UnterminatedTag", "<video src=\"a.mp4", {}},
        ScanCase{"Empty", "", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PageScanLimits, AtMostAHundredAddresses) {
  std::string html;
  for (int i = 0; i < 150; ++i) html += "<video src=v" + std::to_string(i) + ".mp4></video>";
  EXPECT_EQ(ScanPageForMedia(html, kPage).urls.size(), kMaxPageMedia);
}

TEST(ResolveUrl, RelativeForms) {
  const std::pair<const char*, const char*> cases[] = {
      {"a.mp4", "http://127.0.0.1:8000/shows/a.mp4"},
      {"/a.mp4", "http://127.0.0.1:8000/a.mp4"},
      {"//h/a.mp4", "http://h/a.mp4"},
      {"?y=2", "http://127.0.0.1:8000/shows/ep1.html?y=2"},
      {"https://x/a", "https://x/a"},
      {"../up.mp4", "http://127.0.0.1:8000/shows/../up.mp4"},
  };
  for (const auto& [ref, expected] : cases) EXPECT_EQ(ResolveUrl(kPage, ref), expected) << ref;
  EXPECT_EQ(ResolveUrl("http://host", "a.mp4"), "http://host/a.mp4");
}

TEST(DecodeEntities, NamedAndNumeric) {
  EXPECT_EQ(DecodeEntities("a&amp;b&lt;&gt;&quot;&apos;&#65;&#x42;&#x4e2d;"), "a&b<>\"'AB中");
  EXPECT_EQ(DecodeEntities("&bogus; & &#; &#xZZ; &#0;"), "&bogus; & &#; &#xZZ; \xEF\xBF\xBD");
}

TEST(YtDlpOutput, DurationLineThenAddresses) {
  PageMedia m = ParseYtDlpOutput("95.3\nhttp://cdn/a.mp4\n\nhttps://cdn/b.mp4\nnot an address\n");
  EXPECT_DOUBLE_EQ(m.durationSeconds, 95.3);
  EXPECT_EQ(m.urls, (std::vector<std::string>{"http://cdn/a.mp4", "https://cdn/b.mp4"}));
  m = ParseYtDlpOutput("NA\nhttp://cdn/a.mp4\n");
  EXPECT_DOUBLE_EQ(m.durationSeconds, 0);
  EXPECT_EQ(m.urls.size(), 1u);
  EXPECT_TRUE(ParseYtDlpOutput("").urls.empty());
}

}  // namespace
}  // namespace nivra::extras
