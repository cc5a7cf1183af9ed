#pragma once
// The Flash control's class on this platform: a registration under HKEY_CLASSES_ROOT\CLSID\{...}
// in the registry substitute, naming the library that implements FlashControl (InprocServer32),
// a program identifier (ProgID) and the installed version ("Version", text "major.minor").
// The library exports the C table of player/flash/movie_abi.h (NIVRA_MOVIE_API_SYMBOL).

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "platform/registry.h"
#include "player/flash_control.h"

namespace nivra::player {

inline constexpr std::string_view kFlashClassId = "{D27CDB6E-AE6D-11CF-96B8-444553540000}";
inline constexpr std::uint32_t kFlashMinimumMajor = 8;

// "CLSID\{D27CDB6E-...}", the class key below HKEY_CLASSES_ROOT.
std::string FlashClassKey();
// The platform knows the class: its registration carries a non-empty program identifier.
bool FlashClassRegistered(const platform::Registry& registry);
// Writes the class registration (the installation's step; tests write their own).
bool RegisterFlashClass(platform::Registry& registry, const std::filesystem::path& library,
                        std::string_view progId, std::string_view version);
// "major.minor" (minor optional) as major << 16 | minor; 0 for text that is not a version.
std::uint32_t ParseFlashVersion(std::string_view text);
// The major version of a FlashVersion number.
constexpr std::uint32_t FlashMajorVersion(std::uint32_t version) { return version >> 16; }

// Creates a control of the registered class: loads its library (kept loaded for the life of the
// process) and creates one through its C table with the registered version (0 when none is
// registered: the library's own). Throws nivra::Error with the loader's text when the class is
// not registered or its library cannot be loaded, and when the library cannot create a control.
std::unique_ptr<FlashControl> CreateFlashControl(const platform::Registry& registry);

}  // namespace nivra::player
