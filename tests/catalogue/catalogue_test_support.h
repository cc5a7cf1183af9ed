#pragma once
// Shared pieces of the catalogue tests: the scripted catalogue server (etag_server.py) on
// 127.0.0.1, and a cache in a temporary folder on a manual clock that starts at the real time
// (file times and virtual time then agree).

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/json_cache.h"
#include "platform/manual_event_loop.h"
#include "platform/process_runner.h"
#include "tests/support/temp_dir.h"

namespace nivra::catalogue::test {

struct RecordedRequest {
  std::string path;
  std::optional<std::string> ifNoneMatch;
};

class EtagServer {
 public:
  EtagServer();
  EtagServer(const EtagServer&) = delete;
  EtagServer& operator=(const EtagServer&) = delete;

  bool running() const { return port_ != 0; }
  // "127.0.0.1:<port>", for ServerHosts::catalogue.
  std::string host() const;
  // Serves `body` as /rjson/<name>, with the ETag header `etag` when given.
  void put(const std::string& name, const std::string& body,
           std::optional<std::string> etag = std::nullopt) const;
  // Answers /rjson/<name> with `status` and no body.
  void setStatus(const std::string& name, int status) const;
  // Waits `seconds` before answering /rjson/<name>.
  void setDelay(const std::string& name, int seconds) const;
  std::vector<RecordedRequest> requests() const;

 private:
  nivra::test::TempDir dir_;
  std::optional<platform::ProcessRunner> process_;  // ended with the server
  int port_ = 0;
};

// A host:port on which nothing listens.
std::string closedHost();

class CacheFixture {
 public:
  explicit CacheFixture(const std::string& catalogueHost = closedHost());

  // Writes a cache file as if fetched `age` ago.
  std::filesystem::path putCached(const std::string& name, const std::string& text,
                                  std::chrono::minutes age = std::chrono::minutes(0));
  std::filesystem::path cacheFolder() const { return dir / "Cache"; }

  nivra::test::TempDir dir;
  platform::ManualEventLoop loop;
  net::ServerEndpoints endpoints;
  CatalogueCache cache;
};

}  // namespace nivra::catalogue::test
