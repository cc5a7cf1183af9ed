#include "extras/resolver/page_fetch.h"

#include <curl/curl.h>

#include <memory>

namespace nivra::extras {
namespace {

struct Transfer {
  std::string body;
  bool tooLarge = false;
  const std::atomic<bool>* cancelled = nullptr;
};

size_t onData(char* data, size_t size, size_t count, void* user) {
  auto* t = static_cast<Transfer*>(user);
  const size_t n = size * count;
  if (t->body.size() + n > kMaxPageBytes) {
    t->tooLarge = true;
    return 0;
  }
  t->body.append(data, n);
  return n;
}

int onProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  return static_cast<Transfer*>(user)->cancelled->load() ? 1 : 0;
}

}  // namespace

std::optional<FetchedPage> FetchPage(const std::string& url, const std::atomic<bool>& cancelled) {
  std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), &curl_easy_cleanup);
  if (!curl) return std::nullopt;
  Transfer transfer;
  transfer.cancelled = &cancelled;
  CURL* c = curl.get();
  curl_easy_setopt(c, CURLOPT_URL, url.c_str());
  curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(c, CURLOPT_MAXREDIRS, 5L);
  curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, 30000L);
  curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, 30L);
  curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(c, CURLOPT_ACCEPT_ENCODING, "");
  curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &onData);
  curl_easy_setopt(c, CURLOPT_WRITEDATA, &transfer);
  curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, &onProgress);
  curl_easy_setopt(c, CURLOPT_XFERINFODATA, &transfer);
  if (curl_easy_perform(c) != CURLE_OK || transfer.tooLarge) return std::nullopt;
  FetchedPage page;
  curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &page.status);
  if (page.status >= 400) return std::nullopt;
  char* effective = nullptr;
  curl_easy_getinfo(c, CURLINFO_EFFECTIVE_URL, &effective);
  page.url = effective ? effective : url;
  page.body = std::move(transfer.body);
  return page;
}

}  // namespace nivra::extras
