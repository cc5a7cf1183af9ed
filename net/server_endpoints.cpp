#include "net/server_endpoints.h"

#include <cstdlib>

#include "platform/folders.h"
#include "platform/ini_file.h"
#include "platform/text.h"

namespace nivra::net {
namespace {

constexpr std::uint16_t kAdPort = 6570;

std::string httpUrl(std::string_view host, std::string_view path) {
  return "http://" + std::string(host) + std::string(path);
}

}  // namespace

ServerEndpoints::ServerEndpoints(ServerHosts hosts) : hosts_(std::move(hosts)) {}

ServerEndpoints ServerEndpoints::load(const std::vector<std::filesystem::path>& files) {
  ServerHosts hosts;
  for (const auto& file : files) {
    platform::IniFile ini(file);
    if (!ini.load()) continue;
    auto take = [&](const char* key, std::string& field) {
      auto v = ini.value("Servers", key);
      if (v && !text::trim(*v).empty()) field = std::string(text::trim(*v));
    };
    take("Catalogue", hosts.catalogue);
    take("Display", hosts.display);
    take("Ad", hosts.ad);
    take("HomePage", hosts.homePage);
    take("Forum", hosts.forum);
    take("CheckUrl", hosts.checkUrl);
  }
  return ServerEndpoints(std::move(hosts));
}

std::vector<std::filesystem::path> ServerEndpoints::standardFiles() {
  std::vector<std::filesystem::path> files{platform::moduleDir() / "Servers.ini",
                                           platform::userDataDir() / "Servers.ini"};
  if (const char* env = std::getenv("NIVRA_SERVERS"); env && *env) files.emplace_back(env);
  return files;
}

const ServerEndpoints& ServerEndpoints::current() {
  static const ServerEndpoints endpoints = load(standardFiles());
  return endpoints;
}

std::string ServerEndpoints::catalogueStartPage() const { return httpUrl(hosts_.catalogue, "/index.htm"); }
std::string ServerEndpoints::catalogueDocumentPrefix() const { return httpUrl(hosts_.catalogue, "/rjson/"); }
std::string ServerEndpoints::catalogueDocument(std::string_view name) const {
  return catalogueDocumentPrefix() + std::string(name);
}
std::string ServerEndpoints::displayUrl(std::string_view path) const { return httpUrl(hosts_.display, path); }
std::string ServerEndpoints::pausePage() const { return displayUrl("/zanting.html"); }
std::string ServerEndpoints::bufferingPage() const { return displayUrl("/huanchong.html"); }
std::string ServerEndpoints::controlPausePage() const { return displayUrl("/ocx/zanting.html"); }
std::string ServerEndpoints::controlBufferingPage() const { return displayUrl("/ocx/huanchong.html"); }
std::string ServerEndpoints::leftXml() const { return displayUrl("/left.xml"); }
std::string ServerEndpoints::rightXml() const { return displayUrl("/right.xml"); }

std::string ServerEndpoints::adServerHost() const {
  auto colon = hosts_.ad.rfind(':');
  return colon == std::string::npos ? hosts_.ad : hosts_.ad.substr(0, colon);
}

std::uint16_t ServerEndpoints::adServerPort() const {
  auto colon = hosts_.ad.rfind(':');
  if (colon == std::string::npos) return kAdPort;
  auto port = text::parseInteger(std::string_view(hosts_.ad).substr(colon + 1));
  return (port && *port > 0 && *port < 65536) ? static_cast<std::uint16_t>(*port) : kAdPort;
}

}  // namespace nivra::net
