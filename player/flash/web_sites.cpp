#include "player/flash/web_sites.h"

#include <array>
#include <string>

#include "platform/text.h"

namespace nivra::player {
namespace {

// Each site is known by its own name with its top-level suffix.
constexpr std::array<WebVideoSite, 8> kSites{{
    {1, "Youku", "youku.com"},
    {2, "Tudou", "tudou.com"},
    {3, "Sina", "sina.com"},
    {4, "Ku6", "ku6.com"},
    {5, "Jidong", "jidong.com"},
    {6, "Tianxian", "tianxian.com"},
    {7, "56", "56.com"},
    {8, "Letv", "letv.com"},
}};

}  // namespace

std::span<const WebVideoSite> WebVideoSites() { return kSites; }

std::uint8_t ServerTypeOfPage(std::string_view pageUrl) {
  const std::string lower = text::toLower(pageUrl);
  for (const auto& site : kSites)
    if (lower.find(site.Domain) != std::string::npos) return site.ServerType;
  return kServerTypeNone;
}

std::string_view ServerTypeName(std::uint8_t serverType) {
  if (serverType >= 1 && serverType <= kSites.size()) return kSites[serverType - 1].Name;
  if (serverType == kServerTypeMp4Segments) return "NVRMp4";
  if (serverType == kServerTypeFlvSegments) return "NVRFlv";
  return {};
}

}  // namespace nivra::player
