#include "player/resolver_client.h"

#include <dlfcn.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cmath>
#include <limits>
#include <mutex>

#include "platform/error.h"
#include "platform/messages.h"
#include "platform/module_names.h"
#include "player/flash_media_player.h"
#include "player/segment_list.h"

namespace nivra::player {
namespace {

std::atomic<std::intptr_t> nextSerial{1};

std::uint32_t secondsToMs(double seconds) {
  if (!std::isfinite(seconds) || seconds <= 0) return 0;
  const double ms = std::nearbyint(seconds * 1000.0);
  if (ms > std::numeric_limits<std::uint32_t>::max()) return 0;
  return static_cast<std::uint32_t>(ms);
}

}  // namespace

ResolverLibrary ResolverLibrary::Load(const std::filesystem::path& folder) {
  const std::string path = (folder / platform::names::kResolverLibrary).string();
  void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) throw Error(::dlerror());
  ResolverLibrary library;
  library.GetVideoParam =
      reinterpret_cast<NivraGetVideoParamFn>(::dlsym(handle, NIVRA_GET_VIDEO_PARAM));
  if (!library.GetVideoParam) throw Error(::dlerror());
  library.FreeVideoParam =
      reinterpret_cast<NivraFreeVideoParamFn>(::dlsym(handle, NIVRA_FREE_VIDEO_PARAM));
  if (!library.FreeVideoParam) throw Error(::dlerror());
  return library;
}

// What the completion handler (on the library's thread) reaches: the result copy and the target.
struct WebPageResolver::Shared {
  platform::MessageTarget& target;
  std::intptr_t serial;
  NivraVideoParam* param = nullptr;
  mutable std::mutex mutex;
  std::string text;
  std::uint32_t durationMs = 0;

  static void completed(void* owner) {
    auto* self = static_cast<Shared*>(owner);
    const size_t length = self->param->vtbl->GetSources(self->param, nullptr, 0);
    std::string text(length, '\0');
    self->param->vtbl->GetSources(self->param, text.data(), length + 1);
    const std::uint32_t ms = secondsToMs(self->param->vtbl->GetDuration(self->param));
    {
      std::lock_guard lock(self->mutex);
      self->text = std::move(text);
      self->durationMs = ms;
    }
    self->target.postMessage({platform::WM_SOURCES_READY, self->serial, 0});
  }
};

WebPageResolver::WebPageResolver(const ResolverLibrary& library, platform::MessageTarget& target)
    : serial_(nextSerial++), shared_(std::make_unique<Shared>(target, serial_)) {
  param_ = library.GetVideoParam(shared_.get());
  if (!param_) throw Error("The resolver could not be created");
  shared_->param = param_;
  param_->vtbl->SetCompletion(param_, &Shared::completed);
}

WebPageResolver::~WebPageResolver() {
  param_->vtbl->SetCompletion(param_, nullptr);
  param_->vtbl->Release(param_);
}

void WebPageResolver::Start(const std::string& pageUrl) {
  param_->vtbl->Start(param_, pageUrl.c_str());
}

std::string WebPageResolver::ResolverText() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->text;
}

std::uint32_t WebPageResolver::ResolverDurationMs() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->durationMs;
}

void HandleSourcesReady(const std::string& resolverText, std::uint32_t durationMs,
                        TFlashMediaPlayer* bridge,
                        const std::function<void(int code, const std::string& text)>& onPlayError) {
  if (!bridge) return;
  std::vector<std::string> lines = NonEmptyTrimmedLines(resolverText);
  if (!lines.empty()) {
    if (durationMs != 0)
      bridge->Duration = static_cast<int>(std::min<std::uint32_t>(durationMs, INT32_MAX));
    bridge->PlayList(lines);
  } else if (!bridge->ListLoaded() && onPlayError) {
    onPlayError(kNoSourceErrorCode, std::string(kNoSourceText));
  }
}

}  // namespace nivra::player
