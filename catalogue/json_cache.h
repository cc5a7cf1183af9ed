#pragma once
// Catalogue documents fetched with conditional GETs and kept as files in the cache folder, with
// their ETags in the INI file "Cache.dat" there (section "JSON_ETag", key = the URL's file
// name). A document is asked for at most once per 30 minutes, measured on its file's time.
//
// Safe to use from several threads at once: fetches of one document are serialised (one writer
// at a time), files are replaced atomically (readers never see half a file), and "Cache.dat" is
// read and rewritten under a lock.

#include <chrono>
#include <filesystem>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>

#include "net/server_endpoints.h"
#include "platform/event_loop.h"

namespace nivra::catalogue {

class CatalogueCache {
 public:
  static constexpr std::chrono::minutes kFreshness{30};
  static constexpr std::string_view kETagSection = "JSON_ETag";

  // `loop` supplies the time of the freshness window; it must outlive the cache.
  CatalogueCache(net::ServerEndpoints endpoints, platform::EventLoop& loop,
                 std::filesystem::path cacheFolder = defaultCacheFolder());

  // The per-user data folder + "Cache/".
  static std::filesystem::path defaultCacheFolder();
  const std::filesystem::path& cacheFolder() const { return cacheFolder_; }
  // cacheFolder() + "Cache.dat".
  std::filesystem::path etagStore() const;

  // One conditional GET. `etag` is used when not empty, else the value stored for the URL's
  // file name in `store` (default: etagStore()); "0" sends no "If-None-Match". Returns the body
  // of a 200 reply (and stores its ETag), else an empty text. A stop request through `stop`
  // ends a running transfer (workers pass theirs, so that program end never waits on one).
  std::string FetchJson(std::string_view url, std::string_view etag,
                        const std::filesystem::path& store = {}, std::stop_token stop = {});
  // FetchJson with the stored ETag (flag set) or without any ("0").
  std::string FetchCatalogueJson(std::string_view url, bool storedETag, std::stop_token stop = {});
  // The document named `nameOrUrl` (a name relative to the catalogue base URL, or a full URL
  // beginning with it), from the cache while it is fresh or unchanged on the server. Empty when
  // it was never fetched, cannot be fetched now, or the name would leave the cache folder.
  std::string GetCatalogueDocument(std::string_view nameOrUrl, std::stop_token stop = {});

  // The name with every occurrence of the catalogue base URL removed, for texts that begin with
  // "http://"; other texts unchanged.
  std::string relativeName(std::string_view nameOrUrl) const;
  // The cache file of a relative name; nullopt for names that are empty, absolute, or hold
  // empty, "." or ".." segments.
  std::optional<std::filesystem::path> localFileOf(std::string_view name) const;

 private:
  net::ServerEndpoints endpoints_;
  platform::EventLoop& loop_;
  std::filesystem::path cacheFolder_;
};

// The text sent as "If-None-Match" for an ETag: longer than two characters and not weak ("W/"
// in either case) means wrapped in double quotes with inner quotes doubled; otherwise as is.
std::string quoteETag(std::string_view etag);

}  // namespace nivra::catalogue
