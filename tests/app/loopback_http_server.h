// A small HTTP/1.1 server on 127.0.0.1 at an ephemeral port, for tests and benchmarks. Each
// connection gets one response and is closed. Paths are served from a table set by the test.
#ifndef VANTREL_TESTS_APP_LOOPBACK_HTTP_SERVER_H_
#define VANTREL_TESTS_APP_LOOPBACK_HTTP_SERVER_H_

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vantrel::testing {

struct HttpResponse {
  int status = 200;
  std::string contentType = "text/html";  // empty: no Content-Type line
  std::string body;
  bool hang = false;  // read the request, then send nothing until the server stops
};

class LoopbackHttpServer {
 public:
  LoopbackHttpServer();
  ~LoopbackHttpServer();
  LoopbackHttpServer(const LoopbackHttpServer&) = delete;
  LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

  // Serves `response` at `path` (such as "/page") for every request.
  void Serve(const std::string& path, HttpResponse response);
  // Serves the responses at `path` in turn, one per request, the last one again once all are used.
  void ServeInTurn(const std::string& path, std::vector<HttpResponse> responses);

  int Port() const { return port_; }
  std::string Url(const std::string& path) const;
  // Requests answered or held so far.
  int Requests() const { return requests_.load(); }

 private:
  void AcceptLoop();
  void Handle(int connection);
  HttpResponse ResponseFor(const std::string& path);

  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::atomic<int> requests_{0};
  std::mutex mutex_;
  std::map<std::string, std::vector<HttpResponse>> routes_;
  std::map<std::string, std::size_t> turns_;
  std::vector<std::thread> handlers_;
  std::thread acceptor_;
};

// A loopback port on which nothing listens: bound, then released.
int UnusedLoopbackPort();

}  // namespace vantrel::testing

#endif  // VANTREL_TESTS_APP_LOOPBACK_HTTP_SERVER_H_
