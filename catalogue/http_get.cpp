#include "catalogue/http_get.h"

#include <curl/curl.h>

#include <memory>
#include <mutex>

#include "platform/text.h"

namespace nivra::catalogue {
namespace {

struct Transfer {
  HttpReply reply;
  std::size_t maxBody;
  std::stop_token stop;
};

// Called at least once a second while the transfer runs; non-zero aborts it.
int onProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  return static_cast<Transfer*>(user)->stop.stop_requested() ? 1 : 0;
}

std::size_t onBody(char* data, std::size_t size, std::size_t count, void* user) {
  auto* t = static_cast<Transfer*>(user);
  const std::size_t n = size * count;
  if (t->reply.body.size() + n > t->maxBody) return 0;  // aborts the transfer
  t->reply.body.append(data, n);
  return n;
}

std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* user) {
  auto* t = static_cast<Transfer*>(user);
  const std::size_t n = size * count;
  std::string_view line(data, n);
  // A status line starts a new reply (after a redirect or an interim reply): forget the old
  // headers and body so that only the final reply counts.
  if (text::startsWithNoCase(line, "HTTP/")) {
    t->reply.etag.reset();
    t->reply.body.clear();
    return n;
  }
  const auto colon = line.find(':');
  if (colon != std::string_view::npos && text::equalsNoCase(line.substr(0, colon), "ETag"))
    t->reply.etag = std::string(text::trim(line.substr(colon + 1)));
  return n;
}

using CurlHandle = std::unique_ptr<CURL, decltype(&curl_easy_cleanup)>;
using HeaderList = std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)>;

}  // namespace

HttpReply httpGet(std::string_view url, const HttpGetOptions& options) {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });

  Transfer transfer{{}, options.maxBodyBytes, options.stop};
  CurlHandle curl(curl_easy_init(), curl_easy_cleanup);
  if (!curl) return {};
  HeaderList headers(nullptr, curl_slist_free_all);
  if (!options.ifNoneMatch.empty()) {
    std::string header = "If-None-Match: " + options.ifNoneMatch;
    headers.reset(curl_slist_append(nullptr, header.c_str()));
    if (!headers) return {};
  }
  const std::string target(url);
  CURL* h = curl.get();
  curl_easy_setopt(h, CURLOPT_URL, target.c_str());
  curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
  curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(h, CURLOPT_MAXREDIRS, 5L);
  curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, options.connectTimeoutSeconds);
  curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, options.stallTimeoutSeconds);
  curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, onBody);
  curl_easy_setopt(h, CURLOPT_WRITEDATA, &transfer);
  curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, onHeader);
  curl_easy_setopt(h, CURLOPT_HEADERDATA, &transfer);
  curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, onProgress);
  curl_easy_setopt(h, CURLOPT_XFERINFODATA, &transfer);
  if (headers) curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());

  if (curl_easy_perform(h) != CURLE_OK) return {};
  curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &transfer.reply.status);
  return std::move(transfer.reply);
}

}  // namespace nivra::catalogue
