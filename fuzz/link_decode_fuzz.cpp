// Private links: no text makes Decode crash, hang, read out of bounds or grow without limit, and
// every record it returns keeps the invariants the hosts rely on.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "player/links/url_link.h"
#include "player/links/utf16_text.h"

namespace {

using nivra::player::TEd2kLinkManager;

void require(bool condition) {
  if (!condition) std::abort();
}

bool isValidUtf8(const std::string& s) {
  return nivra::player::Utf16ToUtf8(nivra::player::Utf8ToUtf16(s)) == s;
}

void check(std::string_view text) {
  const auto link = TEd2kLinkManager::Decode(text);
  require(link.has_value() == TEd2kLinkManager::IsLink(text));
  if (!link) {
    require(nivra::player::GetLinkKind(text) == 0 && nivra::player::GetLinkAddress(text).empty());
    return;
  }
  require(link->Kind <= nivra::player::kLinkJsList);
  if (link->Kind == nivra::player::kLinkNone)
    require(link->Name.empty() && link->Size == 0 && link->Address.empty());
  // The record holds at most 7 + 8 characters per further block of 32 digits, 3 bytes each.
  const std::size_t blocks = text.size() / 32 + 1;
  const std::size_t maxBytes = 3 * (7 + 8 * blocks);
  require(link->Name.size() <= maxBytes && link->Address.size() <= maxBytes);
  require(isValidUtf8(link->Name) && isValidUtf8(link->Address));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  check(input);
  std::string link(nivra::player::kLinkPrefix);
  link += input;
  check(link);
  return 0;
}
