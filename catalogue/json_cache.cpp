#include "catalogue/json_cache.h"

#include <array>
#include <functional>
#include <mutex>
#include <system_error>

#include "catalogue/http_get.h"
#include "catalogue/text_files.h"
#include "platform/atomic_file.h"
#include "platform/folders.h"
#include "platform/text.h"

namespace nivra::catalogue {
namespace fs = std::filesystem;
namespace {

// Serialises the fetch-and-write of one document file (striped by path).
std::mutex& documentMutex(const fs::path& file) {
  static std::array<std::mutex, 64> stripes;
  return stripes[std::hash<std::string>{}(file.string()) % stripes.size()];
}

// Serialises read-modify-write of the ETag stores.
std::mutex& storeMutex() {
  static std::mutex m;
  return m;
}

// A key that an INI line can carry and give back.
bool storableKey(std::string_view key) {
  if (key.empty() || key.front() == '[' || key.front() == ';') return false;
  if (text::trim(key).size() != key.size()) return false;
  for (char c : key)
    if (c == '=' || static_cast<unsigned char>(c) < 32) return false;
  return true;
}

bool safeHeaderValue(std::string_view v) {
  for (char c : v)
    if (c == '\r' || c == '\n' || c == '\0') return false;
  return true;
}

std::optional<platform::EventLoop::Clock::time_point> lastWrite(const fs::path& file) {
  std::error_code ec;
  if (!fs::is_regular_file(file, ec)) return std::nullopt;
  auto t = fs::last_write_time(file, ec);
  if (ec) return std::nullopt;
  return std::chrono::time_point_cast<platform::EventLoop::Clock::duration>(
      std::chrono::file_clock::to_sys(t));
}

void setLastWrite(const fs::path& file, platform::EventLoop::Clock::time_point t) {
  std::error_code ec;
  fs::last_write_time(file, std::chrono::file_clock::from_sys(t), ec);
}

}  // namespace

std::string quoteETag(std::string_view etag) {
  if (etag.size() <= 2 || text::startsWithNoCase(etag, "W/")) return std::string(etag);
  std::string out = "\"";
  for (char c : etag) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

CatalogueCache::CatalogueCache(net::ServerEndpoints endpoints, platform::EventLoop& loop,
                               fs::path cacheFolder)
    : endpoints_(std::move(endpoints)), loop_(loop), cacheFolder_(std::move(cacheFolder)) {}

fs::path CatalogueCache::defaultCacheFolder() { return platform::userDataDir() / "Cache" / ""; }

fs::path CatalogueCache::etagStore() const { return cacheFolder_ / "Cache.dat"; }

std::string CatalogueCache::FetchJson(std::string_view url, std::string_view etag,
                                      const fs::path& store, std::stop_token stop) {
  const fs::path storeFile = store.empty() ? etagStore() : store;
  const std::string key(fileNameOf(url));
  std::string tag(etag);
  if (tag.empty()) {
    std::lock_guard lock(storeMutex());
    tag = ReadIniText(storeFile, kETagSection, key, "");
  }
  tag = quoteETag(tag);

  HttpGetOptions options;
  options.stop = std::move(stop);
  const std::string_view trimmed = text::trim(tag);
  if (!trimmed.empty() && trimmed != "0" && safeHeaderValue(trimmed))
    options.ifNoneMatch = std::string(trimmed);
  HttpReply reply = httpGet(url, options);
  if (reply.status != 200) return {};

  if (storableKey(key)) {
    std::lock_guard lock(storeMutex());
    if (platform::ensureDir(storeFile.parent_path()))
      WriteIniText(storeFile, kETagSection, key, reply.etag.value_or(""));
  }
  return std::move(reply.body);
}

std::string CatalogueCache::FetchCatalogueJson(std::string_view url, bool storedETag,
                                               std::stop_token stop) {
  return FetchJson(url, storedETag ? "" : "0", {}, std::move(stop));
}

std::string CatalogueCache::relativeName(std::string_view nameOrUrl) const {
  if (!text::startsWithNoCase(nameOrUrl, "http://")) return std::string(nameOrUrl);
  return text::eraseAllNoCase(nameOrUrl, endpoints_.catalogueDocumentPrefix());
}

std::optional<fs::path> CatalogueCache::localFileOf(std::string_view name) const {
  if (name.empty() || name.find('\0') != std::string_view::npos) return std::nullopt;
  std::size_t start = 0;
  while (start <= name.size()) {
    std::size_t end = name.find_first_of("/\\", start);
    if (end == std::string_view::npos) end = name.size();
    const std::string_view segment = name.substr(start, end - start);
    if (segment.empty() || segment == "." || segment == "..") return std::nullopt;
    start = end + 1;
  }
  return cacheFolder_ / fs::path(std::string(name));
}

std::string CatalogueCache::GetCatalogueDocument(std::string_view nameOrUrl, std::stop_token stop) {
  const std::string name = relativeName(nameOrUrl);
  const auto local = localFileOf(name);
  if (!local || !platform::ensureDir(local->parent_path())) return {};

  std::lock_guard lock(documentMutex(*local));
  const auto now = loop_.now();
  const auto written = lastWrite(*local);
  std::string result;
  const bool fresh = written && (now > *written ? now - *written : *written - now) < kFreshness;
  if (!fresh) {
    std::string body = FetchCatalogueJson(endpoints_.catalogueDocumentPrefix() + name,
                                          written.has_value(), std::move(stop));
    if (!body.empty()) {
      result = std::move(body);
      if (platform::writeFileAtomically(*local, result)) setLastWrite(*local, now);
    } else if (written) {
      setLastWrite(*local, now);
    }
  }
  if (result.empty()) result = ReadTextFile(*local);
  return result;
}

}  // namespace nivra::catalogue
