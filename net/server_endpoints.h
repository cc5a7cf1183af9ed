#pragma once
// Every address of the system's servers, formed from one set of host settings ("Servers.ini",
// section "Servers"): the module folder's file holds the shipped defaults, a "Servers.ini" in
// the per-user data folder overrides it key by key, and the file named by NIVRA_SERVERS
// overrides both. Hosts are "name" or "name:port"; HomePage, Forum and CheckUrl are full
// addresses. No other module builds a host name of its own.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace nivra::net {

struct ServerHosts {
  std::string catalogue = "127.0.0.1:8780";
  std::string display = "127.0.0.1:8781";
  std::string ad = "127.0.0.1";
  std::string homePage = "http://127.0.0.1:8780/";
  std::string forum = "http://127.0.0.1:8780/forum.htm";
  std::string checkUrl = "http://127.0.0.1:8780/check.htm";
};

class ServerEndpoints {
 public:
  explicit ServerEndpoints(ServerHosts hosts = {});
  // Reads the files in the order above; missing files and keys keep the built-in defaults.
  static ServerEndpoints load(const std::vector<std::filesystem::path>& files);
  // The files the program reads: module folder, per-user folder, $NIVRA_SERVERS.
  static std::vector<std::filesystem::path> standardFiles();
  // The process-wide endpoints, loaded from standardFiles() on first use.
  static const ServerEndpoints& current();

  const ServerHosts& hosts() const { return hosts_; }

  std::string catalogueStartPage() const;                       // /index.htm
  std::string catalogueDocument(std::string_view name) const;   // /rjson/<name>
  std::string catalogueDocumentPrefix() const;                  // http://host/rjson/
  std::string pausePage() const;                                // /zanting.html
  std::string bufferingPage() const;                            // /huanchong.html
  std::string controlPausePage() const;                         // /ocx/zanting.html
  std::string controlBufferingPage() const;                     // /ocx/huanchong.html
  std::string leftXml() const;                                  // /left.xml
  std::string rightXml() const;                                 // /right.xml
  std::string adServerHost() const;                             // host part of Ad
  std::uint16_t adServerPort() const;                           // port of Ad, default 6570
  const std::string& homePage() const { return hosts_.homePage; }
  const std::string& forum() const { return hosts_.forum; }
  const std::string& checkUrl() const { return hosts_.checkUrl; }

 private:
  std::string displayUrl(std::string_view path) const;
  ServerHosts hosts_;
};

}  // namespace nivra::net
