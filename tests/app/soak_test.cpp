// Two hundred harvests at once into the window, against a loopback server whose pages are varied:
// most list addresses, some answer slowly, some break the connection, some have no address.
// Every address of every page that arrived is in the result box, nothing hangs, and the rounds
// after the first leave the process with the open files and about the memory it had after it.
#include <gtest/gtest.h>

#include <QTest>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/harvest_page.h"
#include "app/main_window.h"
#include "net/fetch_settings.h"
#include "tests/app/qt_application.h"
#include "tests/net/loopback_server.h"
#include "tests/net/process_usage.h"
#include "text/codepage.h"

namespace vantrel {
namespace {

using testing::BoxRecorder;
using testing::Connection;
using testing::LiveHeapBytes;
using testing::LoopbackServer;
using testing::Response;
using testing::SettledOpenFileCount;
using testing::WaitFor;

constexpr int kHarvests = 200;
constexpr int kAddressesPerPage = 20;
constexpr int kRounds = 4;
// What the live heap may grow by over the three rounds measured without a leak: the test's own
// records (the server keeps every request it received, the box recorder every box) take about
// 0.8 MB. A harvest that kept its page, a page's text or its matcher (each page carries 8 KB of
// filler, 480 pages arrive) would add 4 MB or more.
constexpr std::size_t kMemorySlack = 2u << 20;

// Serves request n with a page chosen by n: an ordinary page of addresses, the same page after a
// pause, a reset connection, or an error page without addresses. It remembers the addresses of
// every page it sent in full.
class VariedPages {
 public:
  VariedPages()
      : server_([this](Connection& connection, const std::string&) { Answer(connection); }) {
    sent_.reserve(kRounds * kHarvests * kAddressesPerPage);
  }

  std::string Url() const { return server_.Origin() + "/soak"; }

  std::vector<std::string> Sent() {
    std::lock_guard lock(mutex_);
    return sent_;
  }
  int Failed() const { return failed_.load(); }

 private:
  void Answer(Connection& connection) {
    const int n = next_++;
    connection.Close();
    switch (n % 10) {
      case 7:
        ++failed_;
        connection.Reset();
        return;
      case 9:
        ++failed_;
        connection.Send(Response("HTTP/1.1 404 Not Found", "", "<p>nothing here</p>"));
        return;
      case 3:
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        break;
      default:
        break;
    }
    std::string body = "<p>";
    std::vector<std::string> lines;
    for (int a = 0; a < kAddressesPerPage; ++a) {
      // Short enough to live inside std::string itself, so the test's own record of the
      // addresses takes no heap of its own to speak of and does not blur the measurement.
      lines.push_back("r" + std::to_string(n) + "a" + std::to_string(a) + "@e.cn");
      body += "联系 " + lines.back() + "，";
    }
    body += "</p><p>" + std::string(8 * 1024, 'x') + "</p>";
    if (connection.Send(
            Response("HTTP/1.1 200 OK", "Content-Type: text/html; charset=utf-8\r\n", body))) {
      std::lock_guard lock(mutex_);
      sent_.insert(sent_.end(), lines.begin(), lines.end());
    }
  }

  std::atomic<int> next_{0};
  std::atomic<int> failed_{0};
  std::mutex mutex_;
  std::vector<std::string> sent_;
  LoopbackServer server_;
};

class SoakTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The fetcher's own time-outs: on a loaded machine a shortened one would fail a slow page
    // that the test counts as sent.
    SetFetchSettings(FetchSettings{});
    window_ = std::make_unique<MainWindow>([this](WindowServices& services) {
      HarvestPage(services);
      ++finished_;
    });
    window_->show();
  }
  void TearDown() override {
    EXPECT_TRUE(WaitFor([&] { return finished_.load() == started_; }, 120000));
    SetFetchSettings(FetchSettings{});
  }

  // Presses Start kHarvests times on `url` and waits for every harvest to end.
  bool Round(const std::string& url) {
    window_->SetControlText(Control::编辑框1, GbkFromUtf8(url));
    for (int i = 0; i < kHarvests; ++i) {
      QTest::mouseClick(window_->ControlWidget(Control::按钮1), Qt::LeftButton);
      ++started_;
    }
    return WaitFor([&] { return finished_.load() == started_; }, 120000);
  }

  std::vector<std::string> BoxLines() {
    std::string box = GbkToUtf8(View(window_->ControlText(Control::超级编辑框1)));
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < box.size();) {
      std::size_t end = box.find("\r\n", at);
      if (end == std::string::npos) end = box.size();
      if (end > at) lines.push_back(box.substr(at, end - at));
      at = end + 2;
    }
    return lines;
  }

  std::unique_ptr<MainWindow> window_;
  std::atomic<int> finished_{0};
  int started_ = 0;
};

TEST_F(SoakTest, TwoHundredHarvestsAtOnceLoseNothingAndLeakNothing) {
  VariedPages pages;
  BoxRecorder boxes;

  // Each round starts from an empty box, so the box's own text does not count as growth. The first
  // round sets up what the process keeps for good (the fetcher's shared state, the toolkit's
  // caches); the rounds after it must not add to it.
  std::vector<std::string> got;
  got.reserve(kRounds * kHarvests * kAddressesPerPage);
  int filesAfterFirst = 0;
  std::size_t memoryAfterFirst = 0;
  for (int round = 1; round <= kRounds; ++round) {
    window_->SetControlText(Control::超级编辑框1, Text());
    ASSERT_TRUE(Round(pages.Url()));
    std::vector<std::string> lines = BoxLines();
    got.insert(got.end(), lines.begin(), lines.end());
    if (round == 1) {
      window_->SetControlText(Control::超级编辑框1, Text());
      filesAfterFirst = SettledOpenFileCount(0);
      memoryAfterFirst = LiveHeapBytes();
    }
  }
  window_->SetControlText(Control::超级编辑框1, Text());

  // Every address of every page that arrived, each exactly once, and nothing else.
  std::vector<std::string> expected = pages.Sent();
  EXPECT_EQ(expected.size(),
            static_cast<std::size_t>(kRounds * kHarvests * 8 / 10 * kAddressesPerPage));
  std::sort(expected.begin(), expected.end());
  std::sort(got.begin(), got.end());
  std::vector<std::string> missing, extra;
  std::set_difference(expected.begin(), expected.end(), got.begin(), got.end(),
                      std::back_inserter(missing));
  std::set_difference(got.begin(), got.end(), expected.begin(), expected.end(),
                      std::back_inserter(extra));
  EXPECT_TRUE(missing.empty()) << missing.size() << " lines missing, first " << missing[0];
  EXPECT_TRUE(extra.empty()) << extra.size() << " lines not sent, first " << extra[0];
  EXPECT_EQ(got.size(), expected.size());  // and none twice
  // Each failed page told the user once.
  EXPECT_EQ(boxes.Count(), static_cast<std::size_t>(pages.Failed()));

  // The later rounds end where the first did: no file left open, no memory kept per harvest.
  EXPECT_LE(SettledOpenFileCount(filesAfterFirst), filesAfterFirst);
  const std::size_t memory = LiveHeapBytes();
  EXPECT_LT(memory, memoryAfterFirst + kMemorySlack)
      << "live heap grew from " << memoryAfterFirst << " to " << memory << " bytes";
}

}  // namespace
}  // namespace vantrel
