#pragma once
// Window-message numbers of the system, and the standard ones it gives a meaning to.

#include <cstdint>

namespace nivra::platform {

inline constexpr std::uint32_t WM_CLOSE = 0x0010;
inline constexpr std::uint32_t WM_COPYDATA = 0x004A;
inline constexpr std::uint32_t WM_HOTKEY = 0x0312;

inline constexpr std::uint32_t WM_INSTANCE_ACTIVATE = 2047;
inline constexpr std::uint32_t WM_OPEN_PENDING = 2048;
inline constexpr std::uint32_t WM_LEFT_XML_READY = 2057;
inline constexpr std::uint32_t WM_RIGHT_XML_READY = 2058;
inline constexpr std::uint32_t WM_TREE_RELOAD = 2064;
inline constexpr std::uint32_t WM_LIST_READY = 2065;
inline constexpr std::uint32_t WM_STOP_PLAYBACK = 2074;
inline constexpr std::uint32_t WM_GRAPH_EVENT = 5684;
inline constexpr std::uint32_t WM_UDP_READ = 6746;
inline constexpr std::uint32_t WM_SOURCES_READY = 8746;

}  // namespace nivra::platform
