#pragma once
// One HTTP GET into a local file, over libcurl. The request is fixed: "GET <path> HTTP/1.1" with
// the Host and the program's User-Agent and no header of our own, 30 s to connect and 30 s
// without data before giving up, the system's proxy settings. The reply status is not
// examined, except that a redirect (301, 302, 303, 307 or 308 with a Location on http or https)
// is followed, at most 5 times: any final reply that carries a Content-Length header is stored,
// one without it (such as a chunked reply) leaves no file.

#include <filesystem>
#include <stop_token>
#include <string_view>

namespace nivra::net {

inline constexpr std::string_view kHttpUserAgent =
    "Mozilla/5.0 (Windows; U; Windows NT 6.1; zh-CN; rv:1.9.2.3) Gecko/20100401 Firefox/3.6.3";
inline constexpr long kHttpTimeoutMs = 30000;

// Fetches `url` ("http://host[:port]/path", see ParseHttpUrl) into `localFile`, which is
// replaced atomically once the whole body is there. True when the reply had a Content-Length
// and its body arrived whole; false otherwise (nothing written then). Throws nivra::Error when
// the local file cannot be created or written. A stop request aborts with false.
bool HttpDownload(std::string_view url, const std::filesystem::path& localFile,
                  std::stop_token stop = {});

}  // namespace nivra::net
