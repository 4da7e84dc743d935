#include "net/url.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

namespace vantrel {
namespace {

TEST(UrlDissection, DefaultModeTable) {
  struct Case {
    const char* url;
    const char* domain;
    const char* root;
    const char* withPort;
    int port;
    const char* path;
  } cases[] = {
      {"http://Shop.Example.com/a/b?x=1", "shop.example.com", "example.com", "shop.example.com", 80,
       "/a/b?x=1"},
      {"https://a.b.example.co.uk:8443/p", "a.b.example.co.uk", "co.uk", "a.b.example.co.uk:8443",
       8443, "/p"},
      {"HTTPS://Shop.Example.com", "shop.example.com", "example.com", "shop.example.com", 443, "/"},
      {"example.com", "example.com", "example.com", "example.com", 80, "/"},
      {"shop.example.com:8080", "shop.example.com", "example.com", "shop.example.com:8080", 8080,
       "/"},
      {"shop.example.com.", "shop.example.com.", "example.com", "shop.example.com.", 80, "/"},
      {"http://x.example.com?a=1", "x.example.com?a=1", "example.com?a=1", "x.example.com?a=1", 80,
       "/"},
      {"x.example.com/?r=http://y.example.org/z", "y.example.org", "example.org", "y.example.org",
       80, "/z"},
      {"", "", "", "", 80, "/"},
      // User information: the port rule cuts at the first colon.
      {"http://user:pw@host.example.com/p", "user", "example.com", "user:pw@host.example.com", 0,
       "/p"},
      {"ftp://x.example.com/y", "ftp", "ftp", "ftp:", 0, "//x.example.com/y"},
      {"http://[::1]:8080/p", "[", "[", "[::1]:8080", 8080, "/p"},
      {"http://host.example.com:/p", "host.example.com", "example.com", "host.example.com:", 0,
       "/p"},
      {"http://host.example.com:99999/p", "host.example.com", "example.com",
       "host.example.com:99999", 99999, "/p"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url);
    const Text url = c.url;
    EXPECT_EQ(UrlGetDomain(url), c.domain);
    EXPECT_EQ(UrlGetDomain(url, true), c.root);
    EXPECT_EQ(UrlGetDomain(url, false, true), c.withPort);
    EXPECT_EQ(UrlGetPort(url), c.port);
    EXPECT_EQ(UrlGetPath(url), c.path);
  }
}

TEST(UrlDissection, RootDomainCutsThePortAfterwards) {
  EXPECT_EQ(UrlGetDomain("https://a.b.example.co.uk:8443/p", true), "co.uk");
  EXPECT_EQ(UrlGetDomain("https://a.b.example.co.uk:8443/p", true, true), "co.uk:8443");
  EXPECT_EQ(UrlGetDomain("shop.example.com:8080", true), "example.com");
}

TEST(UrlDissection, LevelModeTable) {
  struct Case {
    int levels;
    const char* plain;
    const char* root;
  } cases[] = {
      {0, "co.uk", "uk"},
      {1, "example.co.uk", "co.uk"},
      {2, "b.example.co.uk", "example.co.uk"},
      {3, "a.b.example.co.uk", "b.example.co.uk"},
      {4, "a.b.example.co.uk", "a.b.example.co.uk"},
      {-3, "co.uk", "uk"},
  };
  const Text url = "https://a.b.example.co.uk/p";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.levels);
    EXPECT_EQ(UrlGetDomain(url, false, false, c.levels), c.plain);
    EXPECT_EQ(UrlGetDomain(url, true, false, c.levels), c.root);
  }
}

TEST(UrlDissection, LevelModeFurtherCases) {
  struct Case {
    const char* name;
    const char* url;
    bool rootDomain;
    bool keepPort;
    std::optional<int> levels;
    const char* expected;
  } cases[] = {
      {"port cut afterwards", "http://shop.example.com:8080/x", false, false, 0, "example.com"},
      {"port kept", "http://shop.example.com:8080/x", false, true, 0, "example.com:8080"},
      {"trailing dot not counted", "https://shop.example.com.", false, false, 0, "example.com."},
      {"level 0 differs from omitted", "shop.example.com", false, false, 0, "example.com"},
      {"omitted levels: default mode", "shop.example.com", false, false, std::nullopt,
       "shop.example.com"},
      {"no dot at all", "localhost", false, false, 0, "localhost"},
      {"no dot at all, root", "localhost", true, false, 0, "localhost"},
      {"both schemes removed", "http://https://a.b.c/x", false, false, 1, "a.b.c"},
      {"empty", "", true, false, 2, ""},
      // Once no dot is left the walk stops, so even the largest count answers at once.
      {"largest level count", "a.b.example.co.uk", false, false, INT32_MAX, "a.b.example.co.uk"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(UrlGetDomain(c.url, c.rootDomain, c.keepPort, c.levels), Text(c.expected));
  }
}

}  // namespace
}  // namespace vantrel
