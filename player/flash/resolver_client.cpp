#include "player/flash/resolver_client.h"

#include <dlfcn.h>

#include "platform/error.h"
#include "platform/module_names.h"

namespace nivra::player {

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

}  // namespace nivra::player
