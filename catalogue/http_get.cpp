#include "catalogue/http_get.h"

#include "net/curl_easy.h"
#include "platform/text.h"

namespace nivra::catalogue {
namespace {

struct Transfer {
  HttpReply reply;
  std::size_t maxBody;

  bool onBody(std::string_view data) {
    if (reply.body.size() + data.size() > maxBody) return false;  // aborts the transfer
    reply.body.append(data);
    return true;
  }

  bool onHeader(std::string_view line) {
    // A status line starts a new reply (after a redirect or an interim reply): forget the old
    // headers and body so that only the final reply counts.
    if (text::startsWithNoCase(line, "HTTP/")) {
      reply.etag.reset();
      reply.body.clear();
      return true;
    }
    const auto colon = line.find(':');
    if (colon != std::string_view::npos && text::equalsNoCase(line.substr(0, colon), "ETag"))
      reply.etag = std::string(text::trim(line.substr(colon + 1)));
    return true;
  }
};

}  // namespace

HttpReply httpGet(std::string_view url, const HttpGetOptions& options) {
  Transfer transfer{{}, options.maxBodyBytes};
  net::CurlEasy easy({options.connectTimeoutSeconds * 1000, options.stallTimeoutSeconds,
                      options.stop, [&](std::string_view line) { return transfer.onHeader(line); },
                      [&](std::string_view data) { return transfer.onBody(data); }});
  if (!easy) return {};
  if (!options.ifNoneMatch.empty() && !easy.setHeaders({"If-None-Match: " + options.ifNoneMatch}))
    return {};
  const std::string target(url);
  CURL* h = easy.handle();
  curl_easy_setopt(h, CURLOPT_URL, target.c_str());
  curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
  curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(h, CURLOPT_MAXREDIRS, 5L);

  if (easy.perform() != CURLE_OK) return {};
  transfer.reply.status = easy.responseCode();
  return std::move(transfer.reply);
}

}  // namespace nivra::catalogue
