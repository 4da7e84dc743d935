// Harvest of one large page into the window on the offscreen platform, from the press of Start to
// the last line in the result box, at 100,000 and 200,000 addresses: when appends cost time in
// proportion to the appended text, the second takes about twice the first. Beside it, the same
// harvest without a window (services that only count) and the appends alone.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QThread>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>

#include "app/harvest_page.h"
#include "app/main_window.h"
#include "net/web_visit.h"
#include "tests/app/loopback_http_server.h"

namespace vantrel {
namespace {

testing::LoopbackHttpServer* server = nullptr;

// A page of `addresses` distinct addresses among ordinary words, about 40 bytes per address.
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

std::string PageUrl(int addresses) {
  const std::string path = "/page" + std::to_string(addresses);
  static std::mutex mutex;
  static std::set<int> served;
  std::lock_guard<std::mutex> lock(mutex);
  if (served.insert(addresses).second) {
    server->Serve(path, {200, "text/html; charset=utf-8", MakePage(addresses)});
  }
  return server->Url(path);
}

// Runs the GUI thread's events until the worker is `done` and the result box of `window` holds
// `lines` lines (the last one ended by a line break, so one more block than lines). False when
// that does not happen within a minute.
bool SpinUntilLines(MainWindow& window, const std::atomic<bool>& done, int lines) {
  const QTextDocument* document =
      static_cast<QPlainTextEdit*>(window.ControlWidget(Control::超级编辑框1))->document();
  const auto limit = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  while (!done.load() || document->blockCount() < lines + 1) {
    if (std::chrono::steady_clock::now() > limit) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  return document->blockCount() == lines + 1;
}

void BM_WindowHarvest(benchmark::State& state) {
  const int addresses = static_cast<int>(state.range(0));
  const std::string url = PageUrl(addresses);
  for (auto _ : state) {
    std::atomic<bool> done{false};
    MainWindow window([&done](WindowServices& services) {
      HarvestPage(services);
      done = true;
    });
    window.show();
    window.SetControlText(Control::编辑框1, MakeText(url));
    QCoreApplication::processEvents();
    const auto start = std::chrono::steady_clock::now();
    window.OnStartClicked();
    const bool complete = SpinUntilLines(window, done, addresses);
    const auto end = std::chrono::steady_clock::now();
    state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    if (!complete) {
      state.SkipWithError("the box does not hold one line per address");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations() * addresses);
}

// The same road without a window: services that only count the appended lines.
class CountingServices final : public WindowServices {
 public:
  explicit CountingServices(std::string url) : url_(MakeText(url)) {}
  Text ReadControlText(Control control) override {
    return control == Control::编辑框1 ? url_ : Text();
  }
  void WriteControlText(Control, const Text&) override {}
  void AppendControlText(Control, const Text& text) override {
    bytes_ += text.size();
    ++lines_;
  }
  int ShowMessage(const Text&, int, const std::optional<Text>&) override { return 1; }
  long lines_ = 0;
  std::size_t bytes_ = 0;

 private:
  Text url_;
};

void BM_HarvestWithoutWindow(benchmark::State& state) {
  const int addresses = static_cast<int>(state.range(0));
  const std::string url = PageUrl(addresses);
  for (auto _ : state) {
    CountingServices services(url);
    const auto start = std::chrono::steady_clock::now();
    HarvestPage(services);
    const auto end = std::chrono::steady_clock::now();
    state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    if (services.lines_ != addresses) {
      state.SkipWithError("wrong number of addresses");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations() * addresses);
}

// The appends alone: one worker appending one address line at a time into the window.
void BM_WindowAppendsOnly(benchmark::State& state) {
  const int lines = static_cast<int>(state.range(0));
  for (auto _ : state) {
    MainWindow window(nullptr);
    window.show();
    QCoreApplication::processEvents();
    std::atomic<bool> done{false};
    const auto start = std::chrono::steady_clock::now();
    std::thread worker([&] {
      for (int i = 0; i < lines; ++i) {
        window.Services().AppendControlText(
            Control::超级编辑框1, MakeText("user" + std::to_string(i) + "@mail.example.com\r\n"));
      }
      done = true;
    });
    const bool complete = SpinUntilLines(window, done, lines);
    const auto end = std::chrono::steady_clock::now();
    worker.join();
    state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    if (!complete) {
      state.SkipWithError("the box does not hold one line per append");
      break;
    }
  }
  state.SetItemsProcessed(state.iterations() * lines);
}

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
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(200000)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantrel

int main(int argc, char** argv) {
  // The window is drawn on the offscreen platform, whatever display there may be.
  static int qtArgc = 3;
  static char name[] = "window_harvest_bench";
  static char platformFlag[] = "-platform";
  static char platform[] = "offscreen";
  static char* qtArgv[] = {name, platformFlag, platform, nullptr};
  vantrel::WebVisitGlobalInit();
  QApplication application(qtArgc, qtArgv);
  vantrel::testing::LoopbackHttpServer server;
  vantrel::server = &server;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
