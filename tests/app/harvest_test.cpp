// A harvest from the Start button to the result box, against pages served on the loopback.
#include "app/harvest_page.h"

#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QTest>
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/qt_text.h"
#include "net/fetch_settings.h"
#include "tests/app/loopback_http_server.h"
#include "tests/app/qt_application.h"
#include "text/codepage.h"

namespace vantrel {
namespace {

using testing::BoxRecorder;
using testing::HttpResponse;
using testing::LoopbackHttpServer;
using testing::WaitFor;

const char kNoMatch[] = "匹配失败，请检检查正则语句是否有误，数量：0";

std::string Gbk(const std::string& utf8) { return std::string(View(GbkFromUtf8(utf8))); }

class HarvestTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FetchSettings settings;
    settings.connectTimeout = std::chrono::milliseconds(5000);
    settings.stallTimeout = std::chrono::milliseconds(5000);
    SetFetchSettings(settings);
    window_ = std::make_unique<MainWindow>([this](WindowServices& services) {
      HarvestPage(services);
      ++finished_;
    });
    window_->show();
  }
  void TearDown() override {
    // No harvest may outlive the window it writes to.
    EXPECT_TRUE(WaitFor([&] { return finished_.load() == started_; }));
    SetFetchSettings(FetchSettings{});
  }

  // Types `url` into the URL box and presses Start once.
  void Start(const std::string& url) {
    window_->SetControlText(Control::编辑框1, GbkFromUtf8(url));
    QTest::mouseClick(window_->ControlWidget(Control::按钮1), Qt::LeftButton);
    ++started_;
  }
  bool WaitForHarvests() {
    return WaitFor([&] { return finished_.load() == started_; });
  }
  std::string Box() { return GbkToUtf8(View(window_->ControlText(Control::超级编辑框1))); }

  LoopbackHttpServer server_;
  std::unique_ptr<MainWindow> window_;
  std::atomic<int> finished_{0};
  int started_ = 0;
};

TEST_F(HarvestTest, AddressesAreAppendedAfterWhatTheBoxHolds) {
  server_.Serve("/contact", {200, "text/html",
                             "<p>Mail a@b.c or X.Y@Z.W, sales@shop.example.com; a@b.c again.</p>"});
  window_->SetControlText(Control::超级编辑框1, GbkFromUtf8("old"));
  Start(server_.Url("/contact"));
  ASSERT_TRUE(WaitForHarvests());
  EXPECT_EQ(Box(), "olda@b.c\r\nX.Y@Z.W\r\nsales@shop.example.com\r\na@b.c\r\n");
  // The same page again: its lines once more.
  Start(server_.Url("/contact"));
  ASSERT_TRUE(WaitForHarvests());
  EXPECT_EQ(Box(),
            "olda@b.c\r\nX.Y@Z.W\r\nsales@shop.example.com\r\na@b.c\r\n"
            "a@b.c\r\nX.Y@Z.W\r\nsales@shop.example.com\r\na@b.c\r\n");
}

TEST_F(HarvestTest, NothingFoundShowsTheErrorBoxAndLeavesTheBoxAlone) {
  server_.Serve("/plain", {200, "text/html", "<p>no addresses here</p>"});
  server_.Serve("/missing", {404, "text/html", ""});
  struct Row {
    const char* name;
    std::string url;
  };
  const Row rows[] = {
      {"empty URL", ""},
      {"unreachable port",
       "http://127.0.0.1:" + std::to_string(testing::UnusedLoopbackPort()) + "/"},
      {"page without addresses", server_.Url("/plain")},
      {"empty error page", server_.Url("/missing")},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    BoxRecorder boxes;
    window_->SetControlText(Control::超级编辑框1, GbkFromUtf8("kept\r\n"));
    Start(row.url);
    ASSERT_TRUE(WaitForHarvests());
    ASSERT_EQ(boxes.Count(), 1u);
    const testing::SeenBox seen = boxes.Seen()[0];
    EXPECT_EQ(seen.text, QString::fromUtf8(kNoMatch));
    EXPECT_EQ(seen.title, QStringLiteral("信息："));
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(Box(), "kept\r\n");
  }
}

TEST_F(HarvestTest, AnErrorPageIsSearchedLikeAnyOther) {
  server_.Serve("/gone", {404, "text/html", "Gone. Write to webmaster@example.org"});
  Start(server_.Url("/gone"));
  ASSERT_TRUE(WaitForHarvests());
  EXPECT_EQ(Box(), "webmaster@example.org\r\n");
}

TEST_F(HarvestTest, UtfEightAndGbkPagesListTheSameAddresses) {
  const std::string page =
      "<p>联系邮箱：admin@example.com　客服：kefu@例子.cn、support@example.cn</p>";
  const std::string expected = "admin@example.com\r\nsupport@example.cn\r\n";
  struct Row {
    const char* name;
    std::string contentType;
    std::string body;
  };
  const Row rows[] = {
      {"GBK, declared", "text/html; charset=GBK", Gbk(page)},
      {"GBK, undeclared", "text/html", Gbk(page)},
      {"UTF-8, declared", "text/html; charset=utf-8", page},
      {"UTF-8, in a meta tag", "text/html", "<meta charset=\"utf-8\">" + page},
      {"UTF-8, undeclared", "text/html", page},
      {"UTF-8, no Content-Type", "", page},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    server_.Serve("/page", {200, row.contentType, row.body});
    window_->SetControlText(Control::超级编辑框1, Text());
    Start(server_.Url("/page"));
    ASSERT_TRUE(WaitForHarvests());
    EXPECT_EQ(Box(), expected);
  }
}

TEST_F(HarvestTest, TwentyHarvestsAtOnceLoseNoLine) {
  constexpr int kPages = 20;
  constexpr int kAddresses = 50;
  std::vector<HttpResponse> pages;
  for (int p = 0; p < kPages; ++p) {
    std::string body;
    for (int a = 0; a < kAddresses; ++a) {
      body += "mail p" + std::to_string(p) + "a" + std::to_string(a) + "@example.com, ";
    }
    pages.push_back({200, "text/html", body});
  }
  server_.ServeInTurn("/many", pages);
  for (int p = 0; p < kPages; ++p) Start(server_.Url("/many"));
  ASSERT_TRUE(WaitForHarvests());
  EXPECT_EQ(server_.Requests(), kPages);

  const QStringList lines = QString::fromStdString(Box()).split("\r\n", Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), kPages * kAddresses);
  // Every page's addresses arrive, each page's in its own order.
  std::vector<int> next(kPages, 0);
  for (const QString& line : lines) {
    const qsizetype a = line.indexOf('a');
    const int p = line.mid(1, a - 1).toInt();
    ASSERT_GE(p, 0);
    ASSERT_LT(p, kPages);
    EXPECT_EQ(line, QStringLiteral("p%1a%2@example.com").arg(p).arg(next[p]));
    ++next[p];
  }
}

}  // namespace
}  // namespace vantrel
