#include "net/download_urls.h"

#include <gtest/gtest.h>

#include "net/resolve_host.h"

namespace nivra::net {
namespace {

struct FtpCase {
  const char* url;
  FtpAddress want;
};

TEST(ParseFtpUrl, CutsByAtColonAndSlash) {
  const FtpCase cases[] = {
      {"ftp://host/dir/file.bin", {"anonymous", "Quex@", "host", "", "/dir/file.bin"}},
      {"FTP://u:p@host:2121/f", {"u", "p", "host", "2121", "/f"}},
      {"ftp://u:p:q@host/f", {"u", "p:q", "host", "", "/f"}},
      {"ftp://justuser@host/f", {"", "", "host", "", "/f"}},
      {"ftp://u:p@hostonly", {"u", "p", "", "21", "/hostonly"}},
      {"ftp://host:21", {"anonymous", "Quex@", "host", "", "/host:21"}},
      {"host/x", {"anonymous", "Quex@", "host", "", "/x"}},
      {"ftp://h/a:b", {"anonymous", "Quex@", "h/a", "", "/a:b"}},
      {"", {"anonymous", "Quex@", "", "21", "/"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.url);
    const FtpAddress got = ParseFtpUrl(c.url);
    EXPECT_EQ(got.user, c.want.user);
    EXPECT_EQ(got.password, c.want.password);
    EXPECT_EQ(got.host, c.want.host);
    EXPECT_EQ(got.portText, c.want.portText);
    EXPECT_EQ(got.path, c.want.path);
  }
}

TEST(ParseFtpUrl, PortTextConvertsWithDefault21) {
  EXPECT_EQ(FtpPortNumber("2121"), 2121);
  EXPECT_EQ(FtpPortNumber(""), 21);
  EXPECT_EQ(FtpPortNumber("x1"), 21);
  EXPECT_EQ(FtpPortNumber("70000"), 21);
  EXPECT_EQ(FtpPortNumber("0"), 21);
}

struct HttpCase {
  const char* url;
  const char* host;
  const char* path;
  std::uint16_t port;
};

TEST(ParseHttpUrl, HostPathAndPort) {
  const HttpCase cases[] = {
      {"http://example.org/a/b.xml", "example.org", "/a/b.xml", 80},
      {"HTTP://127.0.0.1:8080/left.xml", "127.0.0.1", "/left.xml", 8080},
      {"http://h:/x", "h", "/x", 80},
      {"http://h:abc/x", "h", "/x", 80},
      {"http://h:99999/x", "h", "/x", 80},
      // "https://" is not cut off: the host becomes "HTTPS" with an empty port, i.e. 80.
      {"HTTPS://secure.example/x", "HTTPS", "//secure.example/x", 80},
      {"http://noslash", "", "noslash", 80},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.url);
    const HttpAddress got = ParseHttpUrl(c.url);
    EXPECT_EQ(got.host, c.host);
    EXPECT_EQ(got.path, c.path);
    EXPECT_EQ(got.port, c.port);
  }
}

TEST(ResolveHostIp, DottedNamesAndFailuresLeaveOutputAlone) {
  std::string out = "untouched";
  EXPECT_TRUE(ResolveHostIp("127.0.0.1", out));
  EXPECT_EQ(out, "127.0.0.1");
  EXPECT_TRUE(ResolveHostIp("localhost", out));
  EXPECT_EQ(out, "127.0.0.1");

  out = "untouched";
  for (const std::string& bad : {std::string(), std::string("no..such"), std::string(300, 'a'),
                                 std::string("127.0.0.1\0x", 11)}) {
    EXPECT_FALSE(ResolveHostIp(bad, out)) << bad.size();
    EXPECT_EQ(out, "untouched");
  }
}

}  // namespace
}  // namespace nivra::net
