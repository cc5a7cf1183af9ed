#pragma once
// The page analysis of the resolver: the media addresses an HTML page names. One address per
// <video> element (its src, else its first <source src>), in document order; a page without
// <video> gives its Open Graph video address (og:video:secure_url, og:video:url, og:video).
// Addresses are resolved against the page address (or its <base href>); only http and https
// addresses are kept. The duration comes from a "video:duration" or "og:video:duration" meta
// tag (seconds), 0 without one.

#include <string>
#include <string_view>
#include <vector>

namespace nivra::extras {

inline constexpr std::size_t kMaxPageMedia = 100;

struct PageMedia {
  std::vector<std::string> urls;
  double durationSeconds = 0;
};

PageMedia ScanPageForMedia(std::string_view html, std::string_view pageUrl);

// `ref` resolved against the absolute address `base` ("http://host[:port]/path?query").
std::string ResolveUrl(std::string_view base, std::string_view ref);
// Character references of an attribute value (&amp; &lt; &gt; &quot; &apos; &#N; &#xH;) decoded.
std::string DecodeEntities(std::string_view s);

}  // namespace nivra::extras
