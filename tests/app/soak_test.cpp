// Two hundred harvests at once into the window, against a loopback server whose pages are varied:
// most list addresses, some answer slowly, some break the connection, some have no address.
// Every address of every page that arrived is in the result box, nothing hangs, and the rounds
// after the first leave the process with the open files and about the memory it had after it.
#include <gtest/gtest.h>

#include <QTest>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
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
#include "text/codepage.h"

// A small quarantine, so that memory freed by one round is what the next round reuses.
extern "C" const char* __asan_default_options() { return "quarantine_size_mb=16"; }

namespace vantrel {
namespace {

using testing::BoxRecorder;
using testing::Connection;
using testing::LoopbackServer;
using testing::Response;
using testing::WaitFor;

constexpr int kHarvests = 200;
constexpr int kAddressesPerPage = 20;
constexpr int kRounds = 4;
// What the resident size may move by between rounds without a leak: the sanitizer's quarantine
// and the allocator's caches come and go by tens of megabytes. A harvest that kept its page, its
// thread's stack or a copy of the box would exceed it within the three rounds measured.
constexpr long kMemorySlack = 64L << 20;

int OpenFileCount() {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
    ++count;
  return count;
}

long ResidentBytes() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  statm >> pages >> resident;
  return resident * 4096;
}

// Serves request n with a page chosen by n: an ordinary page of addresses, the same page after a
// pause, a reset connection, or an error page without addresses. It remembers the addresses of
// every page it sent in full.
class VariedPages {
 public:
  VariedPages()
      : server_([this](Connection& connection, const std::string&) { Answer(connection); }) {}

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
      lines.push_back("r" + std::to_string(n) + "a" + std::to_string(a) + "@example.com");
      body += "联系 " + lines.back() + "，";
    }
    body += "</p>";
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
    FetchSettings settings;
    settings.connectTimeout = std::chrono::milliseconds(10000);
    settings.stallTimeout = std::chrono::milliseconds(10000);
    SetFetchSettings(settings);
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

  // The first round sets up what the process keeps for good (thread stacks, the allocator's
  // caches, the fetcher's shared state); the rounds after it must not add to it.
  ASSERT_TRUE(Round(pages.Url()));
  const int filesAfterFirst = OpenFileCount();
  const long memoryAfterFirst = ResidentBytes();
  for (int round = 2; round <= kRounds; ++round) ASSERT_TRUE(Round(pages.Url()));

  // Every address of every page that arrived, each exactly once, and nothing else.
  std::vector<std::string> expected = pages.Sent();
  std::vector<std::string> got = BoxLines();
  EXPECT_EQ(expected.size(),
            static_cast<std::size_t>(kRounds * kHarvests * 8 / 10 * kAddressesPerPage));
  std::sort(expected.begin(), expected.end());
  std::sort(got.begin(), got.end());
  EXPECT_EQ(got, expected);
  // Each failed page told the user once.
  EXPECT_EQ(boxes.Count(), static_cast<std::size_t>(pages.Failed()));

  // The second round ends where the first did: no file left open, no memory kept per harvest.
  int files = OpenFileCount();
  for (int i = 0; i < 300 && files > filesAfterFirst; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    files = OpenFileCount();
  }
  EXPECT_LE(files, filesAfterFirst);
  EXPECT_LT(ResidentBytes() - memoryAfterFirst, kMemorySlack)
      << "resident memory grew from " << memoryAfterFirst << " to " << ResidentBytes();
}

}  // namespace
}  // namespace vantrel
