// Many requests in a row leave no socket, file or handle behind.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "net/fetch_settings.h"
#include "net/web_visit.h"
#include "tests/net/loopback_server.h"
#include "tests/net/process_usage.h"

namespace vantrel {
namespace {

using testing::Connection;
using testing::LoopbackServer;
using testing::Response;
using testing::SettledOpenFileCount;

TEST(WebVisitSoak, TwoThousandCallsInARowLeakNoHandle) {
  WebVisitGlobalInit();
  SetFetchSettings(FetchSettings{});
  LoopbackServer server([](Connection& connection, const std::string&) {
    connection.Send(Response("HTTP/1.1 200 OK", "Set-Cookie: s=1; path=/\r\n", "mail a@b.c"));
    connection.Close();
  });
  const Text url = MakeText(server.Origin() + "/page");
  const Text unreachable = MakeText("http://127.0.0.1:" + std::to_string(testing::UnusedPort()));

  // Warm up: the first calls set up what the process keeps for good (the cookie store, the
  // resolver, the library's own state).
  for (int i = 0; i < 20; ++i) WebVisit(url);
  const int before = SettledOpenFileCount(0);

  int bodies = 0;
  for (int i = 0; i < 2000; ++i) {
    Text cookies;  // every fifth call keeps its own cookie string; every tenth fails to connect
    Text raw;
    Bytes body = i % 10 == 9  ? WebVisit(unreachable)
                 : i % 5 == 4 ? WebVisit(url, 0, Text(), &cookies, nullptr, nullptr, nullptr, false,
                                         nullptr, std::nullopt, &raw)
                              : WebVisit(url);
    if (std::string(View(body)) == "mail a@b.c") ++bodies;
  }
  EXPECT_EQ(bodies, 1800);
  EXPECT_EQ(SettledOpenFileCount(before), before);
}

}  // namespace
}  // namespace vantrel
