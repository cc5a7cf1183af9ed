#include "player/media_graph.h"

#include <cstdio>

#include "platform/text.h"

namespace nivra::player {

bool IsSilentRenderFailure(std::string_view source) {
  const auto cut = source.find_last_of("./\\:");
  if (cut == std::string_view::npos || source[cut] != '.') return false;
  const std::string wrapped = "," + text::toLower(source.substr(cut)) + ",";
  return std::string_view(",.rm,.rmvb,").find(wrapped) != std::string_view::npos;
}

std::string InspectorName(const void* graph, unsigned pid) {
  char name[64];
  std::snprintf(name, sizeof name, "FilterGraph %p pid %x", graph, pid);
  return name;
}

}  // namespace nivra::player
