#pragma once
// The web-video sites the Flash movie knows, and the names it is told as its "ServerType".
// A page belongs to the first site of the table whose registered domain occurs anywhere in the
// lower-cased address (a plain substring test, so a path that names the domain counts too).

#include <cstdint>
#include <span>
#include <string_view>

namespace nivra::player {

inline constexpr std::uint8_t kServerTypeNone = 0;
inline constexpr std::uint8_t kServerTypeMp4Segments = 9;   // "NVRMp4"
inline constexpr std::uint8_t kServerTypeFlvSegments = 10;  // "NVRFlv", extension flv or f4v

struct WebVideoSite {
  std::uint8_t ServerType;  // 1..8
  std::string_view Name;    // written to the movie
  std::string_view Domain;  // searched for in the lower-cased page address
};

// The eight sites in table order (the earlier row wins).
std::span<const WebVideoSite> WebVideoSites();
// The ServerType of a page address; kServerTypeNone when no site's domain occurs in it.
std::uint8_t ServerTypeOfPage(std::string_view pageUrl);
// The name written to the movie for a ServerType (1..10); empty for 0 and unknown types.
std::string_view ServerTypeName(std::uint8_t serverType);

}  // namespace nivra::player
