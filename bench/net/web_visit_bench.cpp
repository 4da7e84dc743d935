// WebVisit fetching a 64 MB body from a loopback server, against `curl -s -o /dev/null` on the
// same URL in the same run.
//
// The server is a child process that answers every request with the same 64 MB body. Each
// measurement runs in a fresh child process so that its peak memory (ru_maxrss) is its own:
//   - WebVisit: the time of the call alone, and the child's peak RSS;
//   - curl: its own transfer time (-w %{time_total}), the wall time of the whole command, and its
//     peak RSS.
// The rounds alternate between the two; the medians are compared. Targets: time ratio at most 1.3,
// WebVisit's peak RSS at most 2.5 times the body.
//
// Usage: bench_web_visit [--runs N] [--summary]
#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "net/web_visit.h"

namespace {

constexpr std::size_t kBody = std::size_t{64} << 20;

// Serves the body to every request, one connection at a time; never returns.
[[noreturn]] void Serve(int listener) {
  const std::string chunk(std::size_t{1} << 20, 'b');
  const std::string head = "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(kBody) +
                           "\r\nConnection: close\r\n\r\n";
  for (;;) {
    const int fd = accept(listener, nullptr, nullptr);
    if (fd < 0) continue;
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos) {
      const ssize_t got = recv(fd, buffer, sizeof buffer, 0);
      if (got <= 0) break;
      request.append(buffer, static_cast<std::size_t>(got));
    }
    bool ok = send(fd, head.data(), head.size(), MSG_NOSIGNAL) > 0;
    for (std::size_t sent = 0; ok && sent < kBody; sent += chunk.size()) {
      const char* p = chunk.data();
      std::size_t left = chunk.size();
      while (ok && left > 0) {
        const ssize_t n = send(fd, p, left, MSG_NOSIGNAL);
        ok = n > 0;
        if (ok) {
          p += n;
          left -= static_cast<std::size_t>(n);
        }
      }
    }
    close(fd);
  }
}

struct Sample {
  double seconds = 0;
  double wallSeconds = 0;  // curl: the whole command, from start to exit
  long peakKiB = 0;
  bool ok = false;
};

// Runs WebVisit in a child; the child reports the call's time through a pipe.
Sample MeasureWebVisit(const std::string& url) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return {};
  const pid_t child = fork();
  if (child == 0) {
    close(pipeFds[0]);
    vantrel::WebVisitGlobalInit();
    const vantrel::Text target(url.data(), url.size());
    const auto start = std::chrono::steady_clock::now();
    const vantrel::Bytes body = vantrel::WebVisit(target);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double report[2] = {seconds, static_cast<double>(body.size())};
    const ssize_t written = write(pipeFds[1], report, sizeof report);
    _exit(written == sizeof report ? 0 : 1);
  }
  close(pipeFds[1]);
  double report[2] = {0, 0};
  const bool read_ok = read(pipeFds[0], report, sizeof report) == sizeof report;
  close(pipeFds[0]);
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  Sample s;
  s.seconds = report[0];
  s.peakKiB = usage.ru_maxrss;
  s.ok = read_ok && WIFEXITED(status) && WEXITSTATUS(status) == 0 &&
         report[1] == static_cast<double>(kBody);
  return s;
}

// Runs curl in a child; curl reports its transfer time on standard output.
Sample MeasureCurl(const std::string& url) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return {};
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    dup2(pipeFds[1], STDOUT_FILENO);
    close(pipeFds[0]);
    close(pipeFds[1]);
    execlp("curl", "curl", "-s", "-o", "/dev/null", "-w", "%{time_total} %{size_download}",
           url.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  close(pipeFds[1]);
  char text[128] = {};
  std::size_t used = 0;
  ssize_t got;
  while (used + 1 < sizeof text &&
         (got = read(pipeFds[0], text + used, sizeof text - 1 - used)) > 0)
    used += static_cast<std::size_t>(got);
  close(pipeFds[0]);
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  Sample s;
  s.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  double size = 0;
  s.ok = std::sscanf(text, "%lf %lf", &s.seconds, &size) == 2 && WIFEXITED(status) &&
         WEXITSTATUS(status) == 0 && size == static_cast<double>(kBody);
  s.peakKiB = usage.ru_maxrss;
  return s;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 7;
  bool summary = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--summary") == 0) summary = true;
    if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc)
      runs = std::max(1, std::atoi(argv[++i]));
  }

  const int listener = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (listener < 0 || bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(listener, 8) != 0 ||
      getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    std::perror("bench_web_visit: listen");
    return 1;
  }
  const pid_t server = fork();
  if (server == 0) Serve(listener);
  close(listener);
  const std::string url = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/big";

  std::vector<double> visitTimes, curlTimes, curlWalls, visitPeaks, curlPeaks;
  bool ok = true;
  MeasureWebVisit(url);  // warm-up: page cache, loopback buffers
  MeasureCurl(url);
  for (int i = 0; i < runs; ++i) {
    const Sample v = MeasureWebVisit(url);
    const Sample c = MeasureCurl(url);
    ok = ok && v.ok && c.ok;
    visitTimes.push_back(v.seconds);
    curlTimes.push_back(c.seconds);
    curlWalls.push_back(c.wallSeconds);
    visitPeaks.push_back(static_cast<double>(v.peakKiB) * 1024);
    curlPeaks.push_back(static_cast<double>(c.peakKiB) * 1024);
  }
  kill(server, SIGTERM);
  waitpid(server, nullptr, 0);

  const double vt = Median(visitTimes), ct = Median(curlTimes), cw = Median(curlWalls);
  const double vp = Median(visitPeaks), cp = Median(curlPeaks);
  const double body = static_cast<double>(kBody);
  if (summary) {
    std::printf(
        "64 MB body, median of %d: WebVisit call %.3f s; curl transfer %.3f s, curl command "
        "%.3f s; time ratio %.2f against the transfer, %.2f against the command (target <= 1.3); "
        "peak RSS / body: WebVisit %.2f (target <= 2.5), curl %.2f%s\n",
        runs, vt, ct, cw, vt / ct, vt / cw, vp / body, cp / body, ok ? "" : "; SOME RUNS FAILED");
  } else {
    std::printf("64 MB loopback body, %d rounds (after one warm-up each), medians:\n", runs);
    std::printf("  WebVisit call        %.3f s  (min %.3f, max %.3f)\n", vt,
                *std::min_element(visitTimes.begin(), visitTimes.end()),
                *std::max_element(visitTimes.begin(), visitTimes.end()));
    std::printf("  curl -s -o /dev/null %.3f s  (min %.3f, max %.3f)\n", ct,
                *std::min_element(curlTimes.begin(), curlTimes.end()),
                *std::max_element(curlTimes.begin(), curlTimes.end()));
    std::printf("  curl command, start to exit %.3f s  (min %.3f, max %.3f)\n", cw,
                *std::min_element(curlWalls.begin(), curlWalls.end()),
                *std::max_element(curlWalls.begin(), curlWalls.end()));
    std::printf(
        "  time ratio WebVisit / curl transfer: %.2f, / curl command: %.2f (target <= 1.3)\n",
        vt / ct, vt / cw);
    std::printf("  peak RSS / body: WebVisit process %.2f (target <= 2.5), curl process %.2f\n",
                vp / body, cp / body);
    if (!ok) std::printf("  SOME RUNS FAILED: a body did not arrive whole\n");
  }
  return ok ? 0 : 1;
}
