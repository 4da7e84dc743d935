#include "net/web_visit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "net/fetch_settings.h"
#include "tests/net/loopback_server.h"
#include "tests/net/tls_fixture.h"
#include "text/text_ops.h"

namespace vantrel {
namespace {

using testing::Connection;
using testing::LoopbackServer;
using testing::Response;

const std::string kDefaultAgent = std::string(View(DefaultUserAgent()));
// The default lines as appended to `headers`, and as they go on the wire.
const std::string kDefaultLines =
    "Accept: */*\r\nAccept-Language: zh-cn\r\nContent-Type: application/x-www-form-urlencoded";
const std::string kDefaults = kDefaultLines + "\r\n";

std::string Str(const Text& text) { return std::string(View(text)); }
std::string Str(const Bytes& bytes) { return std::string(View(bytes)); }

// Answers every request with the same bytes.
LoopbackServer::Handler Answer(std::string reply) {
  return [reply](Connection& connection, const std::string&) { connection.Send(reply); };
}

std::string Blanks() { return std::string(5000, ' '); }

int CountNoCase(const std::string& haystack, const std::string& needle) {
  std::string h = haystack, n = needle;
  for (std::string* s : {&h, &n}) {
    std::transform(s->begin(), s->end(), s->begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  }
  int count = 0;
  for (std::size_t at = h.find(n); at != std::string::npos; at = h.find(n, at + 1)) ++count;
  return count;
}

class WebVisitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WebVisitGlobalInit();
    SetFetchSettings(FetchSettings{});
    ClearProcessCookieStore();
  }
  void TearDown() override { SetFetchSettings(FetchSettings{}); }
};

TEST_F(WebVisitTest, PlainGetSendsTheDefaultBlockAndReturnsTheBody) {
  LoopbackServer server(
      Answer(Response("HTTP/1.1 200 OK", "X-A: 1\r\n", std::string("hello\0world", 11))));
  const std::string url = server.Origin() + "/a/b?x=1";
  Text rawHeaders, location, newCookies = "stale";
  const Bytes body = WebVisit(MakeText(url), 0, Text(), nullptr, &newCookies, nullptr, &location,
                              false, nullptr, std::nullopt, &rawHeaders);

  EXPECT_EQ(Str(body), std::string("hello\0world", 11));
  const std::vector<std::string> requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0], "GET /a/b?x=1 HTTP/1.1\r\nHost: 127.0.0.1:" +
                             std::to_string(server.port()) + "\r\nUser-Agent: " + kDefaultAgent +
                             "\r\nReferer: " + url + "\r\n" + kDefaults + "\r\n");
  EXPECT_EQ(Str(rawHeaders), "HTTP/1.1 200 OK\r\nX-A: 1\r\nContent-Length: 11");
  EXPECT_EQ(location, rawHeaders);  // no Location line: the whole block
  EXPECT_EQ(newCookies, "");
}

TEST_F(WebVisitTest, RequestLineForEachUrlForm) {
  LoopbackServer server(Answer(Response("HTTP/1.1 200 OK", "", "")));
  const std::string hostPort = "127.0.0.1:" + std::to_string(server.port());
  struct Case {
    std::string url;
    std::string requestLine;
  } cases[] = {
      {hostPort + "/page", "GET /page HTTP/1.1"},
      {"HTTP://" + hostPort + "/Mixed/Case", "GET /Mixed/Case HTTP/1.1"},
      {"http://" + hostPort, "GET / HTTP/1.1"},
      {"http://" + hostPort + "?q=1", "GET / HTTP/1.1"},
      // Bytes that cannot stand in a request line are encoded; the rest goes as written.
      {"http://" + hostPort + "/a b/\xD6\xD0\t?q=\"%41\"&r=~#frag",
       "GET /a%20b/%D6%D0%09?q=\"%41\"&r=~#frag HTTP/1.1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url);
    Text headers;
    WebVisit(MakeText(c.url), 0, Text(), nullptr, nullptr, &headers);
    const std::vector<std::string> requests = server.Requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.back().substr(0, requests.back().find("\r\n")), c.requestLine);
    EXPECT_NE(requests.back().find("\r\nHost: " + hostPort + "\r\n"), std::string::npos);
    EXPECT_EQ(Str(headers), "Referer: " + c.url + "\r\n" + kDefaultLines);
  }
}

TEST_F(WebVisitTest, CallerHeadersAndTheUserAgent) {
  LoopbackServer server(Answer(Response("HTTP/1.1 200 OK", "", "")));
  const std::string url = server.Origin() + "/";
  const std::string host = "Host: 127.0.0.1:" + std::to_string(server.port()) + "\r\n";
  struct Case {
    const char* name;
    std::string headers;
    std::string headersAfter;
    std::string wireHeaders;  // what follows the Host line
  } cases[] = {
      {"agent through the fallback", "User-Agent: Probe/1.0",
       "User-Agent: Probe/1.0\r\nReferer: " + url + "\r\n" + kDefaultLines,
       "User-Agent: Probe/1.0\r\nReferer: " + url + "\r\n" + kDefaults},
      {"agent line in the middle", "X-A: 1\r\nUser-Agent: Mid/2\r\nX-B: 2",
       "X-A: 1\r\nUser-Agent: Mid/2\r\nX-B: 2\r\nReferer: " + url + "\r\n" + kDefaultLines,
       "X-A: 1\r\nUser-Agent: Mid/2\r\nX-B: 2\r\nReferer: " + url + "\r\n" + kDefaults},
      {"lower-case agent: cut at the line break", "user-agent: low\r\nX-B: 2",
       "user-agent: low\r\nX-B: 2\r\nReferer: " + url + "\r\n" + kDefaultLines,
       "User-Agent: low\r\nX-B: 2\r\nReferer: " + url + "\r\n" + kDefaults},
      {"the four defaults already there",
       "Referer: r\r\nAccept: text/html\r\nAccept-Language: en\r\nContent-Type: text/plain",
       "Referer: r\r\nAccept: text/html\r\nAccept-Language: en\r\nContent-Type: text/plain",
       "User-Agent: " + kDefaultAgent +
           "\r\nReferer: r\r\nAccept: text/html\r\nAccept-Language: en\r\nContent-Type: "
           "text/plain\r\n"},
      {"lower-case referer does not count", "referer: r",
       "referer: r\r\nReferer: " + url + "\r\n" + kDefaultLines,
       "User-Agent: " + kDefaultAgent + "\r\nreferer: r\r\nReferer: " + url + "\r\n" + kDefaults},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Text headers = MakeText(c.headers);
    WebVisit(MakeText(url), 0, Text(), nullptr, nullptr, &headers);
    EXPECT_EQ(Str(headers), c.headersAfter);
    const std::string request = server.Requests().back();
    EXPECT_EQ(request, "GET / HTTP/1.1\r\n" + host + c.wireHeaders + "\r\n");
    EXPECT_EQ(CountNoCase(request, "\r\nUser-Agent:"), 1);
    EXPECT_EQ(CountNoCase(request, "\r\nAccept:"), 1);
  }
}

TEST_F(WebVisitTest, CallerCookieString) {
  LoopbackServer server(Answer(Response(
      "HTTP/1.1 200 OK", "Set-Cookie: b=3; path=/\r\nSet-Cookie: c = 4 ; HttpOnly\r\n", "ok")));
  const Text url = MakeText(server.Origin() + "/");
  struct Case {
    const char* name;
    std::string cookies;
    std::string cookieLine;  // "" when none may be sent
    std::string cookiesAfter;
  } cases[] = {
      {"supplied empty", "", "", "b=3; c=4"},
      {"supplied with items", "a=1; b=2", "Cookie: a=1; b=2\r\n", "b=3; c=4; a=1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Text cookies = MakeText(c.cookies), newCookies;
    EXPECT_EQ(Str(WebVisit(url, 0, Text(), &cookies, &newCookies)), "ok");
    EXPECT_EQ(Str(cookies), c.cookiesAfter);
    EXPECT_EQ(newCookies, "b=3;c=4");
    const std::string request = server.Requests().back();
    EXPECT_EQ(CountNoCase(request, "\r\nCookie:"), c.cookieLine.empty() ? 0 : 1);
    if (!c.cookieLine.empty()) {
      EXPECT_NE(request.find("\r\n" + c.cookieLine), std::string::npos);
    }
  }
  // A caller-held string keeps the process store out of it: nothing was stored.
  WebVisit(url);
  EXPECT_EQ(CountNoCase(server.Requests().back(), "\r\nCookie:"), 0);
}

TEST_F(WebVisitTest, ProcessCookieStoreIsSharedBetweenCalls) {
  LoopbackServer server([](Connection& connection, const std::string& request) {
    if (request.rfind("GET /set", 0) == 0) {
      connection.Send(Response("HTTP/1.1 200 OK",
                               "Set-Cookie: s=1; path=/\r\nSet-Cookie: t=2; HttpOnly\r\n", ""));
    } else {
      connection.Send(Response("HTTP/1.1 200 OK", "", ""));
    }
  });
  Text newCookies;
  WebVisit(MakeText(server.Origin() + "/set"), 0, Text(), nullptr, &newCookies);
  EXPECT_EQ(newCookies, "s=1; t=2");

  // Another call on another thread reads the same store.
  std::thread([&] { WebVisit(MakeText(server.Origin() + "/get")); }).join();
  const std::string withStore = server.Requests().back();
  EXPECT_NE(withStore.find("\r\nCookie: "), std::string::npos) << withStore;
  EXPECT_NE(withStore.find("s=1"), std::string::npos);
  EXPECT_NE(withStore.find("t=2"), std::string::npos);

  // A caller cookie string, even empty, leaves the store out.
  Text cookies;
  WebVisit(MakeText(server.Origin() + "/get"), 0, Text(), &cookies);
  EXPECT_EQ(CountNoCase(server.Requests().back(), "\r\nCookie:"), 0);
}

TEST_F(WebVisitTest, ResponseHeaderScan) {
  struct Case {
    const char* name;
    std::string headerLines;
    std::string locationBefore;
    std::string locationAfter;  // "=raw": the raw header block
    std::string newCookies;
  } cases[] = {
      {"Content-Location then Location", "Content-Location: /alt\r\nLocation: /next\r\n", "",
       "/next", ""},
      {"Location then Content-Location", "Location: /next\r\nContent-Location: /alt\r\n", "",
       "/alt", ""},
      {"no Location, empty on entry", "X-A: 1\r\n", "", "=raw", ""},
      {"no Location, kept", "X-A: 1\r\n", "keep", "keep", ""},
      {"Set-Cookie without ';' only", "Set-Cookie: solo=1\r\n", "", "=raw", ""},
      {"Set-Cookie without ';' first", "Set-Cookie: solo=1\r\nSet-Cookie: x=1; p\r\n", "", "=raw",
       "; x=1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LoopbackServer server(Answer(Response("HTTP/1.1 200 OK", c.headerLines, "b")));
    Text location = MakeText(c.locationBefore), rawHeaders, newCookies;
    EXPECT_EQ(Str(WebVisit(MakeText(server.Origin() + "/"), 0, Text(), nullptr, &newCookies,
                           nullptr, &location, false, nullptr, std::nullopt, &rawHeaders)),
              "b");
    EXPECT_EQ(Str(rawHeaders), "HTTP/1.1 200 OK\r\n" + c.headerLines + "Content-Length: 1");
    EXPECT_EQ(Str(location), c.locationAfter == "=raw" ? Str(rawHeaders) : c.locationAfter);
    EXPECT_EQ(Str(newCookies), c.newCookies);
  }
}

TEST_F(WebVisitTest, RawHeaderBlockAtTheLimit) {
  struct Case {
    std::size_t blockLength;
    bool fits;
  } cases[] = {{4999, true}, {5000, false}, {9000, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.blockLength);
    const std::string start =
        "HTTP/1.1 200 OK\r\nSet-Cookie: z=1; p\r\nContent-Length: 4\r\nX-Pad: ";
    const std::string block = start + std::string(c.blockLength - start.size(), 'p');
    ASSERT_EQ(block.size(), c.blockLength);
    LoopbackServer server(Answer(block + "\r\n\r\nbody"));
    Text location, rawHeaders, newCookies;
    const Bytes body = WebVisit(MakeText(server.Origin() + "/"), 0, Text(), nullptr, &newCookies,
                                nullptr, &location, false, nullptr, std::nullopt, &rawHeaders);
    EXPECT_EQ(Str(body), "body");
    EXPECT_EQ(Str(rawHeaders), c.fits ? block : Blanks());
    EXPECT_EQ(Str(location), Str(rawHeaders));
    EXPECT_EQ(Str(newCookies), c.fits ? "z=1" : "");
  }
}

TEST_F(WebVisitTest, RequestBodies) {
  LoopbackServer server(Answer(Response("HTTP/1.1 200 OK", "", "")));
  const std::string url = server.Origin() + "/form";
  const std::string tail = "Referer: " + url + "\r\n" + kDefaults;
  struct Case {
    const char* name;
    int method;
    std::string postText;
    std::string postBytes;
    std::string verb;
    std::string body;
  } cases[] = {
      {"POST with postText", 1, "a=1&b=2", "", "POST", "a=1&b=2"},
      {"postBytes win", 1, "ignored", std::string("x\0y", 3), "POST", std::string("x\0y", 3)},
      {"method 2 is GET with a body", 2, "q=1", "", "GET", "q=1"},
      {"method 0 sends no body", 0, "q=1", "", "GET", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bytes postBytes = MakeBytes(c.postBytes);
    WebVisit(MakeText(url), c.method, MakeText(c.postText), nullptr, nullptr, nullptr, nullptr,
             false, &postBytes);
    const std::string request = server.Requests().back();
    const std::string lengthLine =
        c.method == 0 ? "" : "Content-Length: " + std::to_string(c.body.size()) + "\r\n";
    EXPECT_EQ(request, c.verb + " /form HTTP/1.1\r\nHost: 127.0.0.1:" +
                           std::to_string(server.port()) + "\r\nUser-Agent: " + kDefaultAgent +
                           "\r\n" + tail + lengthLine + "\r\n" + c.body);
    EXPECT_EQ(Str(postBytes), c.method == 0 ? c.postBytes : c.body);  // filled in place
    EXPECT_EQ(CountNoCase(request, "\r\nExpect:"), 0);
  }
}

TEST_F(WebVisitTest, LargePostSendsNoExpect) {
  LoopbackServer server(Answer(Response("HTTP/1.1 200 OK", "", "done")));
  const Text big = MakeText(std::string(2 << 20, 'p'));
  EXPECT_EQ(Str(WebVisit(MakeText(server.Origin() + "/up"), 1, big)), "done");
  const std::string request = server.Requests().back();
  EXPECT_EQ(CountNoCase(request, "\r\nExpect:"), 0);
  EXPECT_EQ(request.size() - request.find("\r\n\r\n") - 4, big.size());
}

TEST_F(WebVisitTest, Redirects) {
  LoopbackServer server([](Connection& connection, const std::string& request) {
    const std::string path = request.substr(
        request.find(' ') + 1, request.find(' ', request.find(' ') + 1) - request.find(' ') - 1);
    if (path == "/302") {
      connection.Send(Response("HTTP/1.1 302 Found", "Location: /final\r\n", "moved"));
    } else if (path == "/307") {
      connection.Send(Response("HTTP/1.1 307 Temporary Redirect", "Location: /final\r\n", ""));
    } else {
      connection.Send(Response("HTTP/1.1 200 OK", "X-Final: 1\r\n", "final"));
    }
  });
  struct Case {
    const char* name;
    const char* path;
    int method;
    bool noRedirect;
    std::string body;
    std::string secondRequestStart;  // "" when no second request may come
  } cases[] = {
      {"followed", "/302", 0, false, "final", "GET /final HTTP/1.1\r\n"},
      {"not followed", "/302", 0, true, "moved", ""},
      {"POST after 302 becomes GET", "/302", 1, false, "final", "GET /final HTTP/1.1\r\n"},
      {"POST after 307 stays POST", "/307", 1, false, "final", "POST /final HTTP/1.1\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::size_t before = server.Requests().size();
    Text location, rawHeaders;
    const Bytes body =
        WebVisit(MakeText(server.Origin() + c.path), c.method, "a=1", nullptr, nullptr, nullptr,
                 &location, c.noRedirect, nullptr, std::nullopt, &rawHeaders);
    EXPECT_EQ(Str(body), c.body);
    const std::vector<std::string> requests = server.Requests();
    if (c.secondRequestStart.empty()) {
      EXPECT_EQ(requests.size(), before + 1);
      EXPECT_EQ(location, "/final");
    } else {
      ASSERT_EQ(requests.size(), before + 2);
      EXPECT_EQ(requests.back().rfind(c.secondRequestStart, 0), 0u) << requests.back();
      // The final response's block only.
      EXPECT_EQ(Str(rawHeaders), "HTTP/1.1 200 OK\r\nX-Final: 1\r\nContent-Length: 5");
      if (c.method == 1 && requests.back().rfind("POST", 0) == 0) {
        EXPECT_EQ(requests.back().substr(requests.back().size() - 3), "a=1");
      }
    }
  }
}

TEST_F(WebVisitTest, InterimResponseIsNotTheHeaderBlock) {
  LoopbackServer server(
      Answer("HTTP/1.1 100 Continue\r\n\r\n" + Response("HTTP/1.1 200 OK", "X-B: 2\r\n", "x")));
  Text rawHeaders;
  EXPECT_EQ(Str(WebVisit(MakeText(server.Origin() + "/"), 0, Text(), nullptr, nullptr, nullptr,
                         nullptr, false, nullptr, std::nullopt, &rawHeaders)),
            "x");
  EXPECT_EQ(Str(rawHeaders), "HTTP/1.1 200 OK\r\nX-B: 2\r\nContent-Length: 1");
}

// The outcome of a request that could not be sent, checked in one place.
void ExpectFailedSend(const Bytes& body, const Text& rawHeaders, const Text& location,
                      const Text& newCookies) {
  EXPECT_TRUE(body.empty());
  EXPECT_EQ(Str(rawHeaders), Blanks());
  EXPECT_EQ(Str(location), Blanks());
  EXPECT_EQ(newCookies, "");
}

TEST_F(WebVisitTest, UnreachableOrInvalidPortFailsLikeAFailedSend) {
  const std::string unused = std::to_string(testing::UnusedPort());
  for (const std::string& url : std::vector<std::string>{
           "http://127.0.0.1:" + unused + "/x", "127.0.0.1:0/x", "http://127.0.0.1:70000/x",
           "http://user:pw@127.0.0.1/x", "http://[::1]:" + unused + "/"}) {
    SCOPED_TRACE(url);
    Text cookies = "a = 1; x=deleted; a = 1", newCookies = "old", location, rawHeaders, headers;
    const Bytes body = WebVisit(MakeText(url), 0, Text(), &cookies, &newCookies, &headers,
                                &location, false, nullptr, std::nullopt, &rawHeaders);
    ExpectFailedSend(body, rawHeaders, location, newCookies);
    EXPECT_EQ(cookies, "a=1");  // still merged
    EXPECT_NE(Str(headers).find("\r\nCookie: a = 1; x=deleted; a = 1"), std::string::npos);
  }
}

TEST_F(WebVisitTest, HttpsWithATrustedCertificate) {
  const testing::TlsServer& tls = testing::Tls();
  ASSERT_NE(tls.port, 0) << "the HTTPS test server did not start";
  FetchSettings settings;
  settings.trustedCaFile = tls.certificateFile;
  SetFetchSettings(settings);

  const std::string url = "HTTPS://127.0.0.1:" + std::to_string(tls.port) + "/echo?a=1";
  Text rawHeaders;
  const Bytes body = WebVisit(MakeText(url), 0, Text(), nullptr, nullptr, nullptr, nullptr, false,
                              nullptr, std::nullopt, &rawHeaders);
  EXPECT_EQ(Str(body), "GET /echo?a=1 HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(tls.port) +
                           "\r\nUser-Agent: " + kDefaultAgent + "\r\nReferer: " + url + "\r\n" +
                           kDefaults + "\r\n");
  EXPECT_EQ(Str(rawHeaders).rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
}

TEST_F(WebVisitTest, HttpsFailsWhenTheCertificateIsNotTrustedOrNamesAnotherHost) {
  const testing::TlsServer& tls = testing::Tls();
  ASSERT_NE(tls.port, 0) << "the HTTPS test server did not start";
  const std::string port = std::to_string(tls.port);
  struct Case {
    const char* name;
    bool trusted;
    std::string url;
  } cases[] = {
      {"untrusted", false, "https://127.0.0.1:" + port + "/echo"},
      {"host name not in the certificate", true, "https://localhost:" + port + "/echo"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FetchSettings settings;
    if (c.trusted) settings.trustedCaFile = tls.certificateFile;
    SetFetchSettings(settings);
    Text location, rawHeaders, newCookies;
    const Bytes body = WebVisit(MakeText(c.url), 0, Text(), nullptr, &newCookies, nullptr,
                                &location, false, nullptr, std::nullopt, &rawHeaders);
    ExpectFailedSend(body, rawHeaders, location, newCookies);
  }
}

TEST_F(WebVisitTest, HttpProxyCarriesHttpOnly) {
  LoopbackServer proxy(Answer(Response("HTTP/1.1 200 OK", "", "via proxy")));
  LoopbackServer direct(Answer(Response("HTTP/1.1 200 OK", "", "direct")));
  const std::string proxyAddress = "127.0.0.1:" + std::to_string(proxy.port());

  // An http URL goes to the proxy in absolute form; the named server is never contacted.
  const std::string target = "127.0.0.1:" + std::to_string(testing::UnusedPort());
  const std::string url = "http://" + target + "/p?q=1";
  EXPECT_EQ(Str(WebVisit(MakeText(url), 0, Text(), nullptr, nullptr, nullptr, nullptr, false,
                         nullptr, MakeText(proxyAddress))),
            "via proxy");
  ASSERT_EQ(proxy.Requests().size(), 1u);
  EXPECT_EQ(proxy.Requests()[0], "GET http://" + target + "/p?q=1 HTTP/1.1\r\nHost: " + target +
                                     "\r\nUser-Agent: " + kDefaultAgent + "\r\nReferer: " + url +
                                     "\r\n" + kDefaults + "\r\n");

  // Supplied but empty: no proxy server.
  EXPECT_EQ(Str(WebVisit(MakeText(direct.Origin() + "/"), 0, Text(), nullptr, nullptr, nullptr,
                         nullptr, false, nullptr, Text())),
            "direct");
  // Only HTTP proxies: another scheme is refused without contacting anything.
  EXPECT_TRUE(WebVisit(MakeText(direct.Origin() + "/"), 0, Text(), nullptr, nullptr, nullptr,
                       nullptr, false, nullptr, MakeText("socks5://" + proxyAddress))
                  .empty());
  EXPECT_EQ(direct.Requests().size(), 1u);

  // An https URL bypasses the proxy.
  const testing::TlsServer& tls = testing::Tls();
  ASSERT_NE(tls.port, 0) << "the HTTPS test server did not start";
  FetchSettings settings;
  settings.trustedCaFile = tls.certificateFile;
  SetFetchSettings(settings);
  const Bytes body = WebVisit(MakeText(tls.Origin() + "/echo"), 0, Text(), nullptr, nullptr,
                              nullptr, nullptr, false, nullptr, MakeText(proxyAddress));
  EXPECT_EQ(Str(body).rfind("GET /echo HTTP/1.1\r\n", 0), 0u);
  EXPECT_EQ(proxy.Requests().size(), 1u);
}

TEST_F(WebVisitTest, ProxyVariablesOfTheEnvironmentAreNeverUsed) {
  LoopbackServer proxy(Answer(Response("HTTP/1.1 200 OK", "", "via proxy")));
  LoopbackServer direct(Answer(Response("HTTP/1.1 200 OK", "", "direct")));
  const std::string proxyUrl = "http://127.0.0.1:" + std::to_string(proxy.port());
  const char* names[] = {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"};
  for (const char* name : names) setenv(name, proxyUrl.c_str(), 1);
  const std::string omitted = Str(WebVisit(MakeText(direct.Origin() + "/")));
  const std::string empty = Str(WebVisit(MakeText(direct.Origin() + "/"), 0, Text(), nullptr,
                                         nullptr, nullptr, nullptr, false, nullptr, Text()));
  for (const char* name : names) unsetenv(name);
  EXPECT_EQ(omitted, "direct");
  EXPECT_EQ(empty, "direct");
  EXPECT_TRUE(proxy.Requests().empty());
}

TEST(FetchSettingsTest, DefaultsAreTheSystemStoreAndSixtySeconds) {
  SetFetchSettings(FetchSettings{});
  const FetchSettings settings = CurrentFetchSettings();
  EXPECT_EQ(settings.trustedCaFile, "");
  EXPECT_EQ(settings.connectTimeout, std::chrono::seconds(60));
  EXPECT_EQ(settings.stallTimeout, std::chrono::seconds(60));
}

TEST_F(WebVisitTest, RedirectsBetweenSchemes) {
  const testing::TlsServer& tls = testing::Tls();
  ASSERT_NE(tls.port, 0) << "the HTTPS test server did not start";
  FetchSettings settings;
  settings.trustedCaFile = tls.certificateFile;
  SetFetchSettings(settings);
  const std::string tlsEcho = tls.Origin() + "/echo";
  LoopbackServer plain([&](Connection& connection, const std::string& request) {
    if (request.rfind("GET /up ", 0) == 0) {
      connection.Send(Response("HTTP/1.1 302 Found", "Location: " + tlsEcho + "\r\n", ""));
    } else if (request.rfind("GET /ftp ", 0) == 0) {
      connection.Send(Response("HTTP/1.1 302 Found", "Location: ftp://127.0.0.1/x\r\n", ""));
    } else if (request.rfind("GET /file ", 0) == 0) {
      connection.Send(Response("HTTP/1.1 301 Moved", "Location: file:///etc/passwd\r\n", ""));
    } else {
      connection.Send(Response("HTTP/1.1 200 OK", "", "plain"));
    }
  });

  // http -> https is followed.
  EXPECT_EQ(Str(WebVisit(MakeText(plain.Origin() + "/up"))).rfind("GET /echo HTTP/1.1\r\n", 0), 0u);

  struct Case {
    const char* name;
    std::string url;
  } cases[] = {
      {"https -> http refused", tls.Origin() + "/to/" + plain.Origin() + "/down"},
      {"ftp target", plain.Origin() + "/ftp"},
      {"file target", plain.Origin() + "/file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Text location, rawHeaders, newCookies;
    const Bytes body = WebVisit(MakeText(c.url), 0, Text(), nullptr, &newCookies, nullptr,
                                &location, false, nullptr, std::nullopt, &rawHeaders);
    ExpectFailedSend(body, rawHeaders, location, newCookies);
  }
  for (const std::string& request : plain.Requests()) {
    EXPECT_EQ(request.find("GET /down"), std::string::npos);
  }
}

TEST_F(WebVisitTest, RedirectLoopEndsAfterTenRedirects) {
  LoopbackServer server(Answer(Response("HTTP/1.1 302 Found", "Location: /again\r\n", "")));
  Text location, rawHeaders, newCookies;
  const Bytes body = WebVisit(MakeText(server.Origin() + "/again"), 0, Text(), nullptr, &newCookies,
                              nullptr, &location, false, nullptr, std::nullopt, &rawHeaders);
  ExpectFailedSend(body, rawHeaders, location, newCookies);
  EXPECT_EQ(server.Requests().size(), 11u);  // the first request and ten redirects
}

TEST_F(WebVisitTest, RedirectToAnotherServerLeavesTheCallerCookieLineBehind) {
  LoopbackServer other(Answer(Response("HTTP/1.1 200 OK", "", "other")));
  LoopbackServer first(
      Answer(Response("HTTP/1.1 302 Found", "Location: " + other.Origin() + "/x\r\n", "")));
  Text cookies = "sid=secret";
  EXPECT_EQ(Str(WebVisit(MakeText(first.Origin() + "/"), 0, Text(), &cookies)), "other");
  EXPECT_NE(first.Requests()[0].find("\r\nCookie: sid=secret\r\n"), std::string::npos);
  ASSERT_EQ(other.Requests().size(), 1u);
  EXPECT_EQ(CountNoCase(other.Requests()[0], "\r\nCookie:"), 0);
}

TEST_F(WebVisitTest, HostileServersEndWithoutHanging) {
  FetchSettings settings;
  settings.stallTimeout = std::chrono::milliseconds(1000);
  SetFetchSettings(settings);
  struct Case {
    const char* name;
    LoopbackServer::Handler handler;
    std::string body;    // what may come back
    bool headersArrive;  // whether the raw header block is the response's
  } cases[] = {
      {"stall after the headers",
       [](Connection& connection, const std::string&) {
         connection.Send("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nabc");
         connection.Stall();
       },
       "abc", true},
      {"stall before answering",
       [](Connection& connection, const std::string&) { connection.Stall(); }, "", false},
      {"not HTTP at all",
       [](Connection& connection, const std::string&) {
         connection.Send("SSH-2.0-Server\r\nwhat?\r\n\r\n");
         connection.Close();
       },
       "", false},
      {"closed without a word",
       [](Connection& connection, const std::string&) { connection.Close(); }, "", false},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    LoopbackServer server(c.handler);
    Text location, rawHeaders, newCookies;
    const auto start = std::chrono::steady_clock::now();
    const Bytes body = WebVisit(MakeText(server.Origin() + "/"), 0, Text(), nullptr, &newCookies,
                                nullptr, &location, false, nullptr, std::nullopt, &rawHeaders);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(Str(body), c.body);
    if (c.headersArrive) {
      EXPECT_EQ(Str(rawHeaders), "HTTP/1.1 200 OK\r\nContent-Length: 100");
    } else {
      ExpectFailedSend(body, rawHeaders, location, newCookies);
    }
  }
}

TEST_F(WebVisitTest, ResetInTheMiddleOfTheBody) {
  const std::string sent(4000, 'r');
  LoopbackServer server([&](Connection& connection, const std::string&) {
    connection.Send("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n" + sent);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    connection.Reset();
  });
  Text rawHeaders;
  const Bytes body = WebVisit(MakeText(server.Origin() + "/"), 0, Text(), nullptr, nullptr, nullptr,
                              nullptr, false, nullptr, std::nullopt, &rawHeaders);
  // Whatever arrived before the reset, and nothing else.
  EXPECT_LE(body.size(), sent.size());
  EXPECT_EQ(Str(body), sent.substr(0, body.size()));
  EXPECT_EQ(Str(rawHeaders), "HTTP/1.1 200 OK\r\nContent-Length: 100000");
}

TEST_F(WebVisitTest, FiftyMegabyteBody) {
  constexpr std::size_t kSize = 50u << 20;
  struct Case {
    const char* name;
    bool withLength;
  } cases[] = {{"with Content-Length", true}, {"ended by closing", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LoopbackServer server([&](Connection& connection, const std::string&) {
      connection.Send(c.withLength ? "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(kSize) +
                                         "\r\n\r\n"
                                   : std::string("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n"));
      connection.SendFill(kSize - 1, 'm');
      connection.Send("$");
      connection.Close();
    });
    const Bytes body = WebVisit(MakeText(server.Origin() + "/big"));
    ASSERT_EQ(body.size(), kSize);
    EXPECT_EQ(body.front(), 'm');
    EXPECT_EQ(body.back(), '$');
    EXPECT_EQ(std::count(body.begin(), body.end(), 'm'), static_cast<long>(kSize - 1));
  }
}

TEST_F(WebVisitTest, ManyThreadsAtOnce) {
  LoopbackServer server([](Connection& connection, const std::string& request) {
    const std::string path = request.substr(4, request.find(' ', 4) - 4);
    connection.Send(Response("HTTP/1.1 200 OK", "Set-Cookie: n=1\r\n", path));
  });
  constexpr int kThreads = 8;
  constexpr int kCalls = 5;
  std::atomic<int> good{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kCalls; ++i) {
        const std::string path = "/t" + std::to_string(t) + "/" + std::to_string(i);
        Text cookies;  // half the calls use the process store, half their own string
        const Bytes body = WebVisit(MakeText(server.Origin() + path), 0, Text(),
                                    (i % 2 == 0) ? &cookies : nullptr);
        if (Str(body) == path) ++good;
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(good.load(), kThreads * kCalls);
  EXPECT_EQ(server.Requests().size(), static_cast<std::size_t>(kThreads * kCalls));
}

}  // namespace
}  // namespace vantrel
