// The resolver's page analysis: no page makes it crash, hang or return more than its limit, and
// every address it returns is a single-line web address.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "extras/resolver/page_scan.h"
#include "platform/text.h"

namespace {

void require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view html(reinterpret_cast<const char*>(data), size);
  for (const char* page : {"http://127.0.0.1:8000/dir/page.html?q=1", "https://h"}) {
    const auto media = nivra::extras::ScanPageForMedia(html, page);
    require(media.urls.size() <= nivra::extras::kMaxPageMedia);
    require(media.durationSeconds >= 0 && media.durationSeconds <= 1e9);
    for (const auto& url : media.urls) {
      require(nivra::text::startsWithNoCase(url, "http://") ||
              nivra::text::startsWithNoCase(url, "https://"));
      require(url.find_first_of("\r\n") == std::string::npos);
    }
  }
  return 0;
}
