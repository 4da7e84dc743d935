// The programs as processes: how they end, what they print, and their exit codes.
#include <gtest/gtest.h>

#include <QProcess>
#include <string>
#include <vector>

#include "tests/app/loopback_http_server.h"

namespace vantrel {
namespace {

using testing::HttpResponse;
using testing::LoopbackHttpServer;

struct Outcome {
  int exitCode = -1;
  bool crashed = false;
  std::string out;
  std::string err;
};

Outcome RunProgram(const char* program, const std::vector<std::string>& args) {
  QProcess process;
  QStringList arguments;
  for (const std::string& arg : args) arguments << QString::fromStdString(arg);
  process.start(QString::fromUtf8(program), arguments);
  EXPECT_TRUE(process.waitForStarted(10000));
  EXPECT_TRUE(process.waitForFinished(60000));
  Outcome outcome;
  outcome.crashed = process.exitStatus() == QProcess::CrashExit;
  outcome.exitCode = process.exitCode();
  outcome.out = process.readAllStandardOutput().toStdString();
  outcome.err = process.readAllStandardError().toStdString();
  return outcome;
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(WindowProcessTest, ClosingTheWindowMidHarvestEndsWithZeroAndNoMessage) {
  LoopbackHttpServer server;
  server.Serve("/slow", HttpResponse{200, "text/html", "", true});
  QProcess process;
  process.start(QString::fromUtf8(VANTREL_WINDOW_PROBE),
                {QStringLiteral("close"), QString::fromStdString(server.Url("/slow"))});
  ASSERT_TRUE(process.waitForStarted(10000));
  // Close only once the harvest waits for its page.
  for (int waited = 0; server.Requests() == 0 && waited < 30000; waited += 10) {
    process.waitForFinished(10);
  }
  ASSERT_EQ(server.Requests(), 1);
  process.write("close\n");
  process.closeWriteChannel();
  ASSERT_TRUE(process.waitForFinished(30000));
  EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(process.exitCode(), 0);
  EXPECT_EQ(process.readAllStandardOutput().toStdString(), "");  // no box was shown
}

TEST(WindowProcessTest, AFatalErrorShowsItsBoxAndEndsWith255) {
  for (const char* mode : {"fatal-worker", "fatal-gui"}) {
    SCOPED_TRACE(mode);
    const Outcome outcome = RunProgram(VANTREL_WINDOW_PROBE, {mode});
    EXPECT_FALSE(outcome.crashed);
    EXPECT_EQ(outcome.exitCode, 255);
    EXPECT_TRUE(Contains(outcome.out, "box: 错误: ")) << outcome.out;
    EXPECT_TRUE(Contains(outcome.out, "测试用的致命错误")) << outcome.out;
    EXPECT_TRUE(Contains(outcome.err, "测试用的致命错误")) << outcome.err;
  }
}

TEST(WindowProcessTest, WithoutADisplayTheWindowProgramReportsAndEndsWith255) {
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
    environment.remove(QString::fromUtf8(name));
  }
  process.setProcessEnvironment(environment);
  process.start(QString::fromUtf8(VANTREL_WINDOW_PROGRAM), {});
  ASSERT_TRUE(process.waitForFinished(30000));
  EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(process.exitCode(), 255);
  const std::string err = process.readAllStandardError().toStdString();
  EXPECT_TRUE(Contains(err, "载入启动窗口失败")) << err;
}

TEST(HarvestCommandTest, PrintsAddressesOrSaysWhyNot) {
  LoopbackHttpServer server;
  server.Serve("/contact",
               {200, "text/html; charset=utf-8",
                "联系邮箱：admin@example.com, Sales@Shop.Example.com\nadmin@example.com"});
  server.Serve("/plain", {200, "text/html", "nothing to see"});
  const std::string unreachable =
      "http://127.0.0.1:" + std::to_string(testing::UnusedLoopbackPort()) + "/";
  const std::string noMatch = "匹配失败，请检检查正则语句是否有误，数量：0\n";
  struct Row {
    const char* name;
    std::vector<std::string> args;
    int exitCode;
    std::string out;
    std::string err;  // expected part of standard error
  };
  const std::vector<Row> rows = {
      {"addresses",
       {server.Url("/contact")},
       0,
       "admin@example.com\nSales@Shop.Example.com\nadmin@example.com\n",
       ""},
      {"after --",
       {"--", server.Url("/contact")},
       0,
       "admin@example.com\nSales@Shop.Example.com\nadmin@example.com\n",
       ""},
      {"no address", {server.Url("/plain")}, 1, "", noMatch},
      {"unreachable", {unreachable}, 1, "", noMatch},
      {"empty URL", {""}, 1, "", noMatch},
      {"no URL", {}, 2, "", "usage: vantrel-harvest URL"},
      {"two URLs", {"a", "b"}, 2, "", "usage: vantrel-harvest URL"},
      {"unknown option", {"--fast", "a"}, 2, "", "usage: vantrel-harvest URL"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const Outcome outcome = RunProgram(VANTREL_HARVEST_PROGRAM, row.args);
    EXPECT_FALSE(outcome.crashed);
    EXPECT_EQ(outcome.exitCode, row.exitCode);
    EXPECT_EQ(outcome.out, row.out);
    if (row.err.empty()) {
      EXPECT_EQ(outcome.err, "");
    } else {
      EXPECT_TRUE(Contains(outcome.err, row.err)) << outcome.err;
    }
  }
}

TEST(HarvestCommandTest, AnswersHelpAndVersion) {
  const Outcome help = RunProgram(VANTREL_HARVEST_PROGRAM, {"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_TRUE(Contains(help.out, "usage: vantrel-harvest URL")) << help.out;
  EXPECT_EQ(help.err, "");
  const Outcome version = RunProgram(VANTREL_HARVEST_PROGRAM, {"--version"});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.out, "vantrel-harvest " VANTREL_VERSION "\n");
}

}  // namespace
}  // namespace vantrel
