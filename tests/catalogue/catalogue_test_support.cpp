#include "tests/catalogue/catalogue_test_support.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <thread>

namespace nivra::catalogue::test {
namespace fs = std::filesystem;

EtagServer::EtagServer() {
  fs::create_directories(dir_ / "docs");
  const std::string script = std::string(NIVRA_CATALOGUE_TEST_DIR) + "/etag_server.py";
  const std::string docs = (dir_ / "docs").string(), portFile = (dir_ / "port").string(),
                    log = (dir_ / "requests.log").string();
  process_.emplace("/usr/bin/python3", std::vector<std::string>{script, docs, portFile, log},
                   platform::ProcessOptions{{}, platform::ProcessOptions::Errors::Inherit});
  if (!process_->running()) return;
  for (int i = 0; i < 500 && port_ == 0; ++i) {
    std::ifstream in(portFile);
    if (!(in >> port_)) port_ = 0;
    if (port_ == 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

std::string EtagServer::host() const { return "127.0.0.1:" + std::to_string(port_); }

void EtagServer::put(const std::string& name, const std::string& body,
                     std::optional<std::string> etag) const {
  dir_.write("docs/" + name, body);
  if (etag)
    dir_.write("docs/" + name + ".etag", *etag);
  else
    fs::remove(dir_ / "docs" / (name + ".etag"));
}

void EtagServer::setStatus(const std::string& name, int status) const {
  dir_.write("docs/" + name + ".status", std::to_string(status));
}

void EtagServer::setDelay(const std::string& name, int seconds) const {
  dir_.write("docs/" + name + ".delay", std::to_string(seconds));
}

std::vector<RecordedRequest> EtagServer::requests() const {
  std::vector<RecordedRequest> out;
  std::ifstream in(dir_ / "requests.log");
  for (std::string line; std::getline(in, line);) {
    auto j = nlohmann::json::parse(line);
    RecordedRequest r{j.at("path").get<std::string>(), std::nullopt};
    if (!j.at("if_none_match").is_null()) r.ifNoneMatch = j.at("if_none_match").get<std::string>();
    out.push_back(std::move(r));
  }
  return out;
}

std::string closedHost() {
  // Bind a port and close it again: nothing listens there afterwards.
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  ::close(fd);
  return "127.0.0.1:" + std::to_string(ntohs(addr.sin_port));
}

namespace {
net::ServerEndpoints endpointsFor(const std::string& host) {
  net::ServerHosts hosts;
  hosts.catalogue = host;
  return net::ServerEndpoints(hosts);
}
}  // namespace

CacheFixture::CacheFixture(const std::string& catalogueHost)
    : loop(std::chrono::time_point_cast<platform::EventLoop::Clock::duration>(
          std::chrono::system_clock::now())),
      endpoints(endpointsFor(catalogueHost)),
      cache(endpoints, loop, dir / "Cache") {}

fs::path CacheFixture::putCached(const std::string& name, const std::string& text,
                                 std::chrono::minutes age) {
  fs::path file = dir.write("Cache/" + name, text);
  fs::last_write_time(file, std::chrono::file_clock::from_sys(loop.now() - age));
  return file;
}

}  // namespace nivra::catalogue::test
