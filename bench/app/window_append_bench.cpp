// Harvest of one large page into the window on the offscreen platform, timed from the press of
// Start to the last line in the result box, at 100,000 and 200,000 addresses: when appends cost
// time in proportion to the appended text, the second takes about twice the first. Beside it, the
// same harvest without a window (services that only count) and the window's appends alone.
//
// Usage: bench_window_append [--summary [--runs N]] [Google Benchmark options]
//   --summary  prints one line of medians and ratios (for bench/run) instead of the table.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/harvest_page.h"
#include "app/main_window.h"
#include "net/web_visit.h"
#include "tests/app/loopback_http_server.h"

namespace vantrel {
namespace {

using Clock = std::chrono::steady_clock;

testing::LoopbackHttpServer* server = nullptr;

// A UTF-8 page of `addresses` distinct addresses among ordinary words, about 40 bytes each.
std::string MakePage(int addresses) {
  std::string page = "<html><head><meta charset=\"utf-8\"></head><body>\n";
  page.reserve(static_cast<std::size_t>(addresses) * 44 + 64);
  for (int i = 0; i < addresses; ++i) {
    page += "contact user";
    page += std::to_string(i);
    page += "@mail.example.com, ";
    if (i % 8 == 7) page += "\n";
  }
  page += "</body></html>\n";
  return page;
}

// The URL of the page with `addresses` addresses; the page is made and served on first use.
std::string PageUrl(int addresses) {
  static std::map<int, std::string> urls;
  auto found = urls.find(addresses);
  if (found != urls.end()) return found->second;
  const std::string path = "/page" + std::to_string(addresses);
  server->Serve(path, {200, "text/html; charset=utf-8", MakePage(addresses), false});
  return urls[addresses] = server->Url(path);
}

// Runs the GUI thread's events until the worker is `done` and the result box of `window` holds
// `lines` lines (the last one ended by a line break, so one block more than lines). False when
// that does not happen within a minute.
bool SpinUntilLines(MainWindow& window, const std::atomic<bool>& done, int lines) {
  const QTextDocument* document =
      static_cast<QPlainTextEdit*>(window.ControlWidget(Control::超级编辑框1))->document();
  const auto limit = Clock::now() + std::chrono::minutes(1);
  while (!done.load() || document->blockCount() < lines + 1) {
    if (Clock::now() > limit) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  return document->blockCount() == lines + 1;
}

double Seconds(Clock::time_point start, Clock::time_point end) {
  return std::chrono::duration<double>(end - start).count();
}

// Start to last line in a fresh window; nullopt when the box ends up with the wrong line count.
std::optional<double> TimeWindowHarvest(int addresses) {
  const std::string url = PageUrl(addresses);
  std::atomic<bool> done{false};
  MainWindow window([&done](WindowServices& services) {
    HarvestPage(services);
    done = true;
  });
  window.show();
  window.SetControlText(Control::编辑框1, MakeText(url));
  QCoreApplication::processEvents();
  const auto start = Clock::now();
  window.OnStartClicked();
  const bool complete = SpinUntilLines(window, done, addresses);
  const auto end = Clock::now();
  if (!complete) return std::nullopt;
  return Seconds(start, end);
}

// The same road without a window: services that only count the appended lines.
class CountingServices final : public WindowServices {
 public:
  explicit CountingServices(const std::string& url) : url_(MakeText(url)) {}
  Text ReadControlText(Control control) override {
    return control == Control::编辑框1 ? url_ : Text();
  }
  void WriteControlText(Control, const Text&) override {}
  void AppendControlText(Control, const Text&) override { ++lines_; }
  int ShowMessage(const Text&, int, const std::optional<Text>&) override { return 1; }
  int Lines() const { return lines_; }

 private:
  Text url_;
  int lines_ = 0;
};

std::optional<double> TimeHarvestWithoutWindow(int addresses) {
  CountingServices services(PageUrl(addresses));
  const auto start = Clock::now();
  HarvestPage(services);
  const auto end = Clock::now();
  if (services.Lines() != addresses) return std::nullopt;
  return Seconds(start, end);
}

// The window's appends alone: one worker appending one address line at a time.
std::optional<double> TimeAppendsOnly(int lines) {
  MainWindow window(nullptr);
  window.show();
  QCoreApplication::processEvents();
  std::atomic<bool> done{false};
  const auto start = Clock::now();
  std::thread worker([&] {
    for (int i = 0; i < lines; ++i) {
      window.Services().AppendControlText(
          Control::超级编辑框1, MakeText("user" + std::to_string(i) + "@mail.example.com\r\n"));
    }
    done = true;
  });
  const bool complete = SpinUntilLines(window, done, lines);
  const auto end = Clock::now();
  worker.join();
  if (!complete) return std::nullopt;
  return Seconds(start, end);
}

template <std::optional<double> (*Measure)(int)>
void Run(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  for (auto _ : state) {
    const std::optional<double> seconds = Measure(count);
    if (!seconds) {
      state.SkipWithError("the result does not hold one line per address");
      break;
    }
    state.SetIterationTime(*seconds);
  }
  state.SetItemsProcessed(state.iterations() * count);
}

void BM_WindowHarvest(benchmark::State& state) { Run<TimeWindowHarvest>(state); }
void BM_HarvestWithoutWindow(benchmark::State& state) { Run<TimeHarvestWithoutWindow>(state); }
void BM_WindowAppendsOnly(benchmark::State& state) { Run<TimeAppendsOnly>(state); }

BENCHMARK(BM_WindowHarvest)
    ->Arg(100000)
    ->Arg(200000)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HarvestWithoutWindow)
    ->Arg(100000)
    ->Arg(200000)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowAppendsOnly)
    ->Arg(100000)
    ->Arg(200000)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

// Median of `runs` measurements; a negative value when any run failed.
double Median(std::optional<double> (*measure)(int), int count, int runs) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const std::optional<double> seconds = measure(count);
    if (!seconds) return -1;
    times.push_back(*seconds);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

int PrintSummary(int runs) {
  const double w1 = Median(TimeWindowHarvest, 100000, runs);
  const double w2 = Median(TimeWindowHarvest, 200000, runs);
  const double n1 = Median(TimeHarvestWithoutWindow, 100000, runs);
  const double a1 = Median(TimeAppendsOnly, 100000, runs);
  if (w1 < 0 || w2 < 0 || n1 < 0 || a1 < 0) {
    std::printf("window harvest: SOME RUNS LOST LINES\n");
    return 1;
  }
  std::printf(
      "median of %d, Start to last line: 100,000 addresses %.3f s (target < 3 s), 200,000 %.3f s; "
      "200k / 100k %.2f (linear: 2); window / no window at 100k %.2f (%.3f s without); "
      "100,000 appends alone %.3f s\n",
      runs, w1, w2, w2 / w1, w1 / n1, n1, a1);
  return 0;
}

}  // namespace
}  // namespace vantrel

int main(int argc, char** argv) {
  bool summary = false;
  int runs = 3;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--summary") == 0) summary = true;
    if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc)
      runs = std::max(1, std::atoi(argv[i + 1]));
  }
  // The window is drawn on the offscreen platform, whatever display there may be.
  static int qtArgc = 3;
  static char name[] = "bench_window_append";
  static char platformFlag[] = "-platform";
  static char platform[] = "offscreen";
  static char* qtArgv[] = {name, platformFlag, platform, nullptr};
  vantrel::WebVisitGlobalInit();
  QApplication application(qtArgc, qtArgv);
  vantrel::testing::LoopbackHttpServer server;
  vantrel::server = &server;
  if (summary) return vantrel::PrintSummary(runs);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
