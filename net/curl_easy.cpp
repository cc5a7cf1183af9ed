#include "net/curl_easy.h"

#include <mutex>

namespace nivra::net {

void CurlEasy::Deleter::operator()(CURL* c) const { curl_easy_cleanup(c); }
void CurlEasy::Deleter::operator()(curl_slist* l) const { curl_slist_free_all(l); }

CurlEasy::CurlEasy(Setup setup) : setup_(std::move(setup)) {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
  easy_.reset(curl_easy_init());
  if (!easy_) return;
  CURL* c = easy_.get();
  curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, setup_.connectTimeoutMs);
  curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, setup_.stallSeconds);
  curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, &CurlEasy::onHeader);
  curl_easy_setopt(c, CURLOPT_HEADERDATA, this);
  curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &CurlEasy::onBody);
  curl_easy_setopt(c, CURLOPT_WRITEDATA, this);
  curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, &CurlEasy::onProgress);
  curl_easy_setopt(c, CURLOPT_XFERINFODATA, this);
}

CurlEasy::~CurlEasy() = default;

bool CurlEasy::setHeaders(const std::vector<std::string>& lines) {
  curl_easy_setopt(easy_.get(), CURLOPT_HTTPHEADER, nullptr);
  headers_.reset();
  curl_slist* list = nullptr;
  for (const std::string& line : lines) {
    curl_slist* longer = curl_slist_append(list, line.c_str());
    if (!longer) {
      curl_slist_free_all(list);
      return false;
    }
    list = longer;
  }
  headers_.reset(list);
  if (list) curl_easy_setopt(easy_.get(), CURLOPT_HTTPHEADER, list);
  return true;
}

CURLcode CurlEasy::perform() { return curl_easy_perform(easy_.get()); }

long CurlEasy::responseCode() const {
  long status = 0;
  curl_easy_getinfo(easy_.get(), CURLINFO_RESPONSE_CODE, &status);
  return status;
}

std::size_t CurlEasy::onHeader(char* data, std::size_t size, std::size_t count, void* self) {
  const auto& sink = static_cast<CurlEasy*>(self)->setup_.onHeader;
  const std::size_t n = size * count;
  return !sink || sink({data, n}) ? n : 0;
}

std::size_t CurlEasy::onBody(char* data, std::size_t size, std::size_t count, void* self) {
  const auto& sink = static_cast<CurlEasy*>(self)->setup_.onBody;
  const std::size_t n = size * count;
  return !sink || sink({data, n}) ? n : 0;
}

// Called at least once a second while the transfer runs; non-zero aborts it.
int CurlEasy::onProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  return static_cast<CurlEasy*>(self)->setup_.stop.stop_requested() ? 1 : 0;
}

}  // namespace nivra::net
