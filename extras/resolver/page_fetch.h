#pragma once
// Reads a web page into memory for the resolver (libcurl): redirects followed, at most
// kMaxPageBytes, 30 s to connect and 30 s without data, abandoned when `cancelled` turns true.

#include <atomic>
#include <optional>
#include <string>

namespace nivra::extras {

inline constexpr std::size_t kMaxPageBytes = 8u << 20;

struct FetchedPage {
  std::string body;
  std::string url;  // after redirects
  long status = 0;
};

// nullopt when the page could not be read whole, was larger than the limit, answered with a
// status of 400 or more, or the fetch was cancelled.
std::optional<FetchedPage> FetchPage(const std::string& url, const std::atomic<bool>& cancelled);

}  // namespace nivra::extras
