// Fuzzes the "NewDataSet" link-list reader: any bytes give whole "title=url" lines, each with a
// non-empty title and url.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "catalogue/link_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string lines =
      nivra::catalogue::readLinkListText({reinterpret_cast<const char*>(data), size});
  if (!lines.empty() && lines.size() < 5) std::abort();  // shortest line: "t=u\r\n"
  if (!lines.empty() && lines.compare(lines.size() - 2, 2, "\r\n") != 0) std::abort();
  if (lines.size() > size * 4 + 2) std::abort();  // bounded by what the XML could hold
  return 0;
}
