// libdecode.so: the web-page resolver behind resolver_abi.h. Each object resolves one page on a
// thread of its own (yt-dlp when installed, else the page's <video> and og:video addresses) and
// calls its completion handler on that thread.

#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "extras/resolver/page_fetch.h"
#include "extras/resolver/page_scan.h"
#include "extras/resolver/ytdlp.h"
#include "platform/debug_output.h"
#include "player/flash/resolver_abi.h"

namespace nivra::extras {
namespace {

struct VideoParam final : NivraVideoParam {
  explicit VideoParam(void* o);

  std::atomic<unsigned long> refs{1};
  void* owner;
  std::recursive_mutex callMutex;  // held while the handler runs (which may detach itself)
  NivraVideoParamDone done = nullptr;
  std::mutex dataMutex;
  std::string sources;
  double duration = 0;
  std::atomic<bool> busy{false};
  std::atomic<bool> cancelled{false};
};

VideoParam* self(NivraVideoParam* p) { return static_cast<VideoParam*>(p); }

unsigned long addRef(NivraVideoParam* p) { return ++self(p)->refs; }

// Nothing of the object is touched after the decrement: the last other holder may free it then.
unsigned long release(NivraVideoParam* p) {
  VideoParam* v = self(p);
  if (v->busy && v->refs == 2) v->cancelled = true;  // after this only the worker holds it
  const unsigned long left = --v->refs;
  if (left == 0) std::unique_ptr<VideoParam> gone(v);
  return left;
}

void setCompletion(NivraVideoParam* p, NivraVideoParamDone done) {
  std::lock_guard lock(self(p)->callMutex);
  self(p)->done = done;
}

PageMedia resolve(const std::string& url, const std::atomic<bool>& cancelled) {
  if (auto media = ResolveWithYtDlp(YtDlpProgram(), url, cancelled)) {
    platform::debugOutput("resolver: yt-dlp found " + std::to_string(media->urls.size()) +
                          " address(es)");
    return *media;
  }
  if (cancelled) return {};
  const auto page = FetchPage(url, cancelled);
  if (!page) {
    platform::debugOutput("resolver: cannot read " + url);
    return {};
  }
  PageMedia media = ScanPageForMedia(page->body, page->url);
  platform::debugOutput("resolver: the page names " + std::to_string(media.urls.size()) +
                        " address(es)");
  return media;
}

int start(NivraVideoParam* p, const char* pageUrl) {
  VideoParam* v = self(p);
  if (!pageUrl || v->busy.exchange(true)) return 1;
  addRef(p);  // the worker's reference
  std::thread([v, url = std::string(pageUrl)] {
    const PageMedia media = resolve(url, v->cancelled);
    std::string text;
    for (const auto& u : media.urls) text += u + "\r\n";
    {
      std::lock_guard lock(v->dataMutex);
      v->sources = std::move(text);
      v->duration = media.durationSeconds;
    }
    {
      std::lock_guard lock(v->callMutex);
      if (v->done && !v->cancelled) v->done(v->owner);
    }
    v->busy = false;
    release(v);
  }).detach();
  return 0;
}

size_t getSources(NivraVideoParam* p, char* buffer, size_t size) {
  std::lock_guard lock(self(p)->dataMutex);
  const std::string& s = self(p)->sources;
  if (buffer && size > 0) {
    const size_t n = std::min(size - 1, s.size());
    std::memcpy(buffer, s.data(), n);
    buffer[n] = '\0';
  }
  return s.size();
}

double getDuration(NivraVideoParam* p) {
  std::lock_guard lock(self(p)->dataMutex);
  return self(p)->duration;
}

constexpr NivraVideoParamVtbl kVtbl{addRef, release, setCompletion, start, getSources, getDuration};

VideoParam::VideoParam(void* o) : NivraVideoParam{&kVtbl}, owner(o) {}

}  // namespace
}  // namespace nivra::extras

extern "C" __attribute__((visibility("default"))) NivraVideoParam* GetVideoParam(void* owner) {
  try {
    return std::make_unique<nivra::extras::VideoParam>(owner).release();
  } catch (...) {
    return nullptr;
  }
}

extern "C" __attribute__((visibility("default"))) void FreeVideoParam(NivraVideoParam* param) {
  if (param) param->vtbl->Release(param);
}
