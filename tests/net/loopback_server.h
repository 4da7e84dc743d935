// A plain-TCP HTTP test server on 127.0.0.1 at an ephemeral port. It records the exact bytes of
// every request it receives and answers through a handler the test gives it, one thread per
// connection, so a handler may also stall, reset or send garbage.
#ifndef VANTREL_TESTS_NET_LOOPBACK_SERVER_H_
#define VANTREL_TESTS_NET_LOOPBACK_SERVER_H_

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace vantrel::testing {

// One accepted connection, as a handler sees it.
class Connection {
 public:
  Connection(int fd, const std::atomic<bool>& stopping) : fd_(fd), stopping_(stopping) {}
  // Sends all of `bytes`; false when the peer is gone.
  bool Send(std::string_view bytes);
  // Sends `count` copies of `fill` in large writes.
  bool SendFill(std::size_t count, char fill);
  // Waits without answering until the peer closes or the server stops.
  void Stall();
  // Closes the connection with a TCP reset.
  void Reset();
  // Closes the connection after the handler returns instead of waiting for another request.
  void Close() { closeAfter_ = true; }
  bool closeAfter() const { return closeAfter_; }

 private:
  int fd_;
  const std::atomic<bool>& stopping_;
  bool closeAfter_ = false;
};

class LoopbackServer {
 public:
  // Receives each request (head and body bytes exactly as they came) and answers it.
  using Handler = std::function<void(Connection& connection, const std::string& request)>;

  explicit LoopbackServer(Handler handler);
  ~LoopbackServer();
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  int port() const { return port_; }
  // "http://127.0.0.1:PORT"
  std::string Origin() const;
  std::vector<std::string> Requests() const;

 private:
  void AcceptLoop();
  void Serve(int fd);

  Handler handler_;
  int listenFd_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::thread acceptThread_;
  mutable std::mutex lock_;
  std::vector<std::thread> connections_;
  std::vector<std::string> requests_;
};

// A canned response: the status line, the header lines, Content-Length and the body.
std::string Response(std::string_view statusLine, std::string_view headerLines,
                     std::string_view body);

// A port on 127.0.0.1 that nothing listens on (bound, then released).
int UnusedPort();

}  // namespace vantrel::testing

#endif  // VANTREL_TESTS_NET_LOOPBACK_SERVER_H_
