// ExtractEmails over a 64 MB GBK page with 200,000 addresses, into a recording window, against
// `rg -o -i` with the same pattern on the same bytes in the same run; and ExtractEmails over 1 MB
// and 4 MB of "a." repeated followed by one address. Pages come from bench/make_page.py (fixed
// seed) and live in a temporary folder for the run only.
//
// Prints Google Benchmark's table (median of the repetitions) and then the ratios with their
// targets: ExtractEmails / rg at most 2; 4 MB / 1 MB at most 5 with both well under a second.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "app/window_services.h"
#include "match/extract_emails.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

// The window as a harvest sees it: each append joins the text to the box in place.
class RecordingWindow : public WindowServices {
 public:
  Text ReadControlText(Control) override { return box; }
  void WriteControlText(Control, const Text& text) override { box = text; }
  void AppendControlText(Control, const Text& text) override {
    box += text;
    ++appends;
  }
  int ShowMessage(const Text&, int, const std::optional<Text>&) override {
    ++messages;
    return 1;
  }
  Text box;
  long appends = 0;
  long messages = 0;
};

struct Pages {
  fs::path folder;
  fs::path big;
  Text bigText;
  Text linear1;
  Text linear4;
};
Pages pages;

Text ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  const std::string bytes = s.str();
  return Text(bytes.data(), bytes.size());
}

void MakePage(const std::string& arguments, const fs::path& path) {
  const std::string command = "python3 '" VANTREL_MAKE_PAGE "' " +
                              arguments.substr(0, arguments.find(' ')) + " '" + path.string() +
                              "'" + arguments.substr(arguments.find(' '));
  if (std::system(command.c_str()) != 0) {
    std::fprintf(stderr, "bench: %s failed\n", command.c_str());
    std::exit(1);
  }
}

void ExtractInto(benchmark::State& state, const Text& page) {
  long count = 0;
  for (auto _ : state) {
    RecordingWindow window;
    count = ExtractEmails(page, window);
    benchmark::DoNotOptimize(window.box.data());
  }
  state.counters["addresses"] = static_cast<double>(count);
}

void BM_ExtractEmails64MB(benchmark::State& state) { ExtractInto(state, pages.bigText); }
void BM_Linear1MB(benchmark::State& state) { ExtractInto(state, pages.linear1); }
void BM_Linear4MB(benchmark::State& state) { ExtractInto(state, pages.linear4); }

void BM_Ripgrep64MB(benchmark::State& state) {
  const fs::path out = pages.folder / "rg.out";
  // Output goes to a file: rg stops at the first match when it writes to /dev/null.
  const std::string command = std::string("rg -o -i '") + EmailPattern + "' '" +
                              pages.big.string() + "' > '" + out.string() + "'";
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) {
      state.SkipWithError("rg failed");
      return;
    }
  }
  std::ifstream in(out);
  long lines = 0;
  for (std::string line; std::getline(in, line);) ++lines;
  state.counters["addresses"] = static_cast<double>(lines);
}

constexpr int kRepetitions = 5;

BENCHMARK(BM_ExtractEmails64MB)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(kRepetitions);
BENCHMARK(BM_Ripgrep64MB)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(kRepetitions);
BENCHMARK(BM_Linear1MB)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(20)
    ->Repetitions(kRepetitions);
BENCHMARK(BM_Linear4MB)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(20)
    ->Repetitions(kRepetitions);

// Keeps the median real and CPU times (seconds) of each benchmark while the console shows the
// table. On shared cores the CPU time is the steadier of the two for the linearity ratio.
class MedianReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
        medians[run.run_name.function_name] =
            run.real_accumulated_time / static_cast<double>(run.iterations);
        cpuMedians[run.run_name.function_name] =
            run.cpu_accumulated_time / static_cast<double>(run.iterations);
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> medians;
  std::map<std::string, double> cpuMedians;
};

}  // namespace
}  // namespace vantrel

int main(int argc, char** argv) {
  using namespace vantrel;
  benchmark::Initialize(&argc, argv);
  pages.folder = fs::temp_directory_path() / ("vantrel-match-bench-" + std::to_string(getpid()));
  fs::create_directories(pages.folder);
  pages.big = pages.folder / "page64.html";
  MakePage("mixed 64 200000", pages.big);
  MakePage("linear 1", pages.folder / "linear1.html");
  MakePage("linear 4", pages.folder / "linear4.html");
  pages.bigText = ReadFile(pages.big);
  pages.linear1 = ReadFile(pages.folder / "linear1.html");
  pages.linear4 = ReadFile(pages.folder / "linear4.html");

  MedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  fs::remove_all(pages.folder);

  auto find = [](const std::map<std::string, double>& m, const char* name) {
    auto it = m.find(name);
    return it == m.end() ? 0.0 : it->second;
  };
  auto median = [&](const char* name) { return find(reporter.medians, name); };
  const double extract = median("BM_ExtractEmails64MB");
  const double rg = median("BM_Ripgrep64MB");
  const double one = median("BM_Linear1MB");
  const double four = median("BM_Linear4MB");
  std::printf("\nExtractEmails 64 MB / rg -o -i: %.2f (target <= 2)\n",
              rg > 0 ? extract / rg : 0.0);
  const double oneCpu = find(reporter.cpuMedians, "BM_Linear1MB");
  const double fourCpu = find(reporter.cpuMedians, "BM_Linear4MB");
  std::printf(
      "Linearity 4 MB / 1 MB: %.2f real, %.2f CPU (target <= 5); 1 MB %.1f ms, 4 MB %.1f ms\n",
      one > 0 ? four / one : 0.0, oneCpu > 0 ? fourCpu / oneCpu : 0.0, one * 1000, four * 1000);
  benchmark::Shutdown();
  return 0;
}
