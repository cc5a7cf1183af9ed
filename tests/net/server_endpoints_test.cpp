#include "net/server_endpoints.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace nivra::net {
namespace {

TEST(ServerEndpoints, LaterFilesOverrideEarlierOnesKeyByKey) {
  test::TempDir dir;
  const auto shipped = dir.write("module/Servers.ini",
                                 "[Servers]\nCatalogue=cat.example:81\nDisplay=disp.example\nAd=ad.example\n"
                                 "HomePage=http://home.example/\n");
  const auto user = dir.write("user/Servers.ini", "[servers]\ndisplay=127.0.0.1:9000\nAd=10.0.0.1:7000\nForum=\n");
  const auto env = dir.write("env.ini", "[Servers]\nCatalogue = \"127.0.0.1:8000\"\n");
  const auto e = ServerEndpoints::load({shipped, user, dir / "missing.ini", env});
  EXPECT_EQ(e.catalogueStartPage(), "http://127.0.0.1:8000/index.htm");
  EXPECT_EQ(e.catalogueDocument("Tree.js"), "http://127.0.0.1:8000/rjson/Tree.js");
  EXPECT_EQ(e.pausePage(), "http://127.0.0.1:9000/zanting.html");
  EXPECT_EQ(e.controlBufferingPage(), "http://127.0.0.1:9000/ocx/huanchong.html");
  EXPECT_EQ(e.rightXml(), "http://127.0.0.1:9000/right.xml");
  EXPECT_EQ(e.adServerHost(), "10.0.0.1");
  EXPECT_EQ(e.adServerPort(), 7000);
  EXPECT_EQ(e.homePage(), "http://home.example/");
  EXPECT_EQ(e.forum(), ServerHosts{}.forum);  // an empty value keeps what was there
}

TEST(ServerEndpoints, DefaultsAreTheDemoServers) {
  const auto e = ServerEndpoints::load({});
  EXPECT_EQ(e.catalogueStartPage(), "http://127.0.0.1:8780/index.htm");
  EXPECT_EQ(e.leftXml(), "http://127.0.0.1:8781/left.xml");
  EXPECT_EQ(e.adServerHost(), "127.0.0.1");
  EXPECT_EQ(e.adServerPort(), 6570);
  EXPECT_EQ(ServerEndpoints(ServerHosts{.ad = "h:notaport"}).adServerPort(), 6570);
}

}  // namespace
}  // namespace nivra::net
