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

ResolverObject::ResolverObject(const ResolverLibrary& library)
    : param_(library.GetVideoParam(this)) {
  if (!param_) throw Error("The resolver could not be created");
}

ResolverObject::~ResolverObject() {
  param_->vtbl->SetCompletion(param_, nullptr);
  param_->vtbl->Release(param_);
}

// The notice runs from a copy: it may destroy this object.
void ResolverObject::completed(void* owner) {
  if (auto done = static_cast<ResolverObject*>(owner)->done_) done();
}

void ResolverObject::SetCompletion(std::function<void()> done) {
  param_->vtbl->SetCompletion(param_, nullptr);  // no call runs past this point
  done_ = std::move(done);
  if (done_) param_->vtbl->SetCompletion(param_, &ResolverObject::completed);
}

void ResolverObject::Start(const std::string& pageUrl) {
  param_->vtbl->Start(param_, pageUrl.c_str());
}

std::string ResolverObject::SourceList() const {
  std::string text(param_->vtbl->GetSources(param_, nullptr, 0), '\0');
  param_->vtbl->GetSources(param_, text.data(), text.size() + 1);
  return text;
}

double ResolverObject::DurationSeconds() const { return param_->vtbl->GetDuration(param_); }

// What the completion (on the library's thread) reaches: the result copy and the target.
struct WebPageResolver::Shared {
  Shared(platform::MessageTarget& t, std::intptr_t s) : target(t), serial(s) {}

  platform::MessageTarget& target;
  std::intptr_t serial;
  mutable std::mutex mutex;
  std::string text;
  std::uint32_t durationMs = 0;
};

WebPageResolver::WebPageResolver(const ResolverLibrary& library, platform::MessageTarget& target)
    : serial_(nextSerial++), shared_(std::make_unique<Shared>(target, serial_)), object_(library) {
  object_.SetCompletion([shared = shared_.get(), object = &object_] {
    std::string text = object->SourceList();
    const std::uint32_t ms = secondsToMs(object->DurationSeconds());
    {
      std::lock_guard lock(shared->mutex);
      shared->text = std::move(text);
      shared->durationMs = ms;
    }
    shared->target.postMessage({platform::WM_SOURCES_READY, shared->serial, 0});
  });
}

WebPageResolver::~WebPageResolver() { object_.SetCompletion({}); }

void WebPageResolver::Start(const std::string& pageUrl) { object_.Start(pageUrl); }

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
