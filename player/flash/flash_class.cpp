#include "player/flash/flash_class.h"

#include <dlfcn.h>

#include "platform/error.h"
#include "platform/text.h"
#include "player/flash/movie_abi_control.h"

namespace nivra::player {
namespace {

using platform::Hive;

std::string subKey(std::string_view name) { return FlashClassKey() + "\\" + std::string(name); }

}  // namespace

std::string FlashClassKey() { return "CLSID\\" + std::string(kFlashClassId); }

bool FlashClassRegistered(const platform::Registry& registry) {
  const auto progId = registry.readString(Hive::ClassesRoot, subKey("ProgID"), "");
  return progId && !text::trim(*progId).empty();
}

bool RegisterFlashClass(platform::Registry& registry, const std::filesystem::path& library,
                        std::string_view progId, std::string_view version) {
  return registry.writeString(Hive::ClassesRoot, FlashClassKey(), "", "Flash movie player") &&
         registry.writeString(Hive::ClassesRoot, subKey("InprocServer32"), "", library.string()) &&
         registry.writeString(Hive::ClassesRoot, subKey("ProgID"), "", progId) &&
         registry.writeString(Hive::ClassesRoot, subKey("Version"), "", version);
}

std::uint32_t ParseFlashVersion(std::string_view text) {
  text = text::trim(text);
  const auto dot = text.find('.');
  const auto major = text::parseInt32(text.substr(0, dot));
  std::int32_t minor = 0;
  if (dot != std::string_view::npos) {
    auto rest = text.substr(dot + 1);
    rest = rest.substr(0, rest.find('.'));
    const auto parsed = text::parseInt32(rest);
    if (!parsed) return 0;
    minor = *parsed;
  }
  if (!major || *major < 0 || *major > 0xFFFF || minor < 0 || minor > 0xFFFF) return 0;
  return static_cast<std::uint32_t>(*major) << 16 | static_cast<std::uint32_t>(minor);
}

std::unique_ptr<FlashControl> CreateFlashControl(const platform::Registry& registry) {
  if (!FlashClassRegistered(registry)) throw Error("Class not registered: " + FlashClassKey());
  const auto library = registry.readString(Hive::ClassesRoot, subKey("InprocServer32"), "");
  if (!library || library->empty()) throw Error("No library registered for " + FlashClassKey());
  // The runtime library stays loaded: controls, their threads and GStreamer live in it.
  void* handle = ::dlopen(library->c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) throw Error(::dlerror());
  auto getApi = reinterpret_cast<NivraGetMovieApiFn>(::dlsym(handle, NIVRA_MOVIE_API_SYMBOL));
  if (!getApi) throw Error(::dlerror());
  const NivraMovieApi* api = getApi();
  if (!api) throw Error("The Flash control could not be created");
  const auto version = registry.readString(Hive::ClassesRoot, subKey("Version"), "");
  return std::make_unique<MovieAbiControl>(*api, version ? ParseFlashVersion(*version) : 0);
}

}  // namespace nivra::player
