#pragma once
// One synchronous HTTP GET through libcurl, the request object of the catalogue fetches.
// Redirects are followed (HTTP only); a stalled transfer or an oversized body ends the request.

#include <optional>
#include <stop_token>
#include <string>
#include <string_view>

namespace nivra::catalogue {

struct HttpReply {
  long status = 0;                  // 0 when no reply arrived
  std::string body;                 // bytes unchanged
  std::optional<std::string> etag;  // the final reply's "ETag" header, when it had one
};

struct HttpGetOptions {
  std::string ifNoneMatch;  // sent as "If-None-Match" when not empty
  long connectTimeoutSeconds = 15;
  long stallTimeoutSeconds = 30;         // less than one byte a second for this long aborts
  std::size_t maxBodyBytes = 64u << 20;  // larger bodies abort the transfer
  std::stop_token stop;                  // a stop request aborts the transfer within a second
};

// Never throws; transport failures give status 0 and an empty body.
HttpReply httpGet(std::string_view url, const HttpGetOptions& options = {});

}  // namespace nivra::catalogue
