#include "tests/net/loopback_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <stdexcept>

namespace vantrel::testing {
namespace {

constexpr int kPollMs = 50;

int ListenOnLoopback(int& port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) throw std::runtime_error("socket");
  const int one = 1;
  setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(fd, SOMAXCONN) != 0) {
    close(fd);
    throw std::runtime_error("bind/listen");
  }
  socklen_t length = sizeof address;
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  port = ntohs(address.sin_port);
  return fd;
}

// Waits until `fd` is readable; false when `stopping` is set first.
bool WaitReadable(int fd, const std::atomic<bool>& stopping) {
  while (!stopping) {
    pollfd p{fd, POLLIN, 0};
    const int ready = poll(&p, 1, kPollMs);
    if (ready > 0) return true;
  }
  return false;
}

std::size_t ContentLength(const std::string& head) {
  std::string lower = head;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  const std::size_t at = lower.find("\r\ncontent-length:");
  if (at == std::string::npos) return 0;
  return static_cast<std::size_t>(std::strtoull(lower.c_str() + at + 17, nullptr, 10));
}

}  // namespace

bool Connection::Send(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t sent = send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

bool Connection::SendFill(std::size_t count, char fill) {
  const std::string chunk(std::size_t{1} << 20, fill);
  while (count > 0) {
    const std::size_t n = std::min(count, chunk.size());
    if (!Send(std::string_view(chunk).substr(0, n))) return false;
    count -= n;
  }
  return true;
}

void Connection::Stall() {
  char buffer[512];
  while (WaitReadable(fd_, stopping_)) {
    if (recv(fd_, buffer, sizeof buffer, 0) <= 0) return;
  }
}

void Connection::Reset() {
  const linger hard{1, 0};
  setsockopt(fd_, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
  shutdown(fd_, SHUT_RD);
  closeAfter_ = true;
}

LoopbackServer::LoopbackServer(Handler handler) : handler_(std::move(handler)) {
  listenFd_ = ListenOnLoopback(port_);
  acceptThread_ = std::thread([this] { AcceptLoop(); });
}

LoopbackServer::~LoopbackServer() {
  stopping_ = true;
  acceptThread_.join();
  close(listenFd_);
  std::vector<std::thread> threads;
  {
    std::lock_guard<std::mutex> guard(lock_);
    threads.swap(connections_);
  }
  for (std::thread& t : threads) t.join();
}

std::string LoopbackServer::Origin() const { return "http://127.0.0.1:" + std::to_string(port_); }

std::vector<std::string> LoopbackServer::Requests() const {
  std::lock_guard<std::mutex> guard(lock_);
  return requests_;
}

void LoopbackServer::AcceptLoop() {
  while (WaitReadable(listenFd_, stopping_)) {
    const int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    std::lock_guard<std::mutex> guard(lock_);
    connections_.emplace_back([this, fd] { Serve(fd); });
  }
}

void LoopbackServer::Serve(int fd) {
  std::string pending;
  char buffer[64 * 1024];
  Connection connection(fd, stopping_);
  while (!connection.closeAfter()) {
    // One request: the head up to the empty line, then Content-Length bytes of body.
    std::size_t headEnd;
    while ((headEnd = pending.find("\r\n\r\n")) == std::string::npos) {
      if (!WaitReadable(fd, stopping_)) break;
      const ssize_t got = recv(fd, buffer, sizeof buffer, 0);
      if (got <= 0) break;
      pending.append(buffer, static_cast<std::size_t>(got));
    }
    if (headEnd == std::string::npos) break;
    const std::size_t total = headEnd + 4 + ContentLength(pending.substr(0, headEnd + 2));
    while (pending.size() < total) {
      if (!WaitReadable(fd, stopping_)) break;
      const ssize_t got = recv(fd, buffer, sizeof buffer, 0);
      if (got <= 0) break;
      pending.append(buffer, static_cast<std::size_t>(got));
    }
    if (pending.size() < total) break;
    const std::string request = pending.substr(0, total);
    pending.erase(0, total);
    {
      std::lock_guard<std::mutex> guard(lock_);
      requests_.push_back(request);
    }
    handler_(connection, request);
  }
  close(fd);
}

std::string Response(std::string_view statusLine, std::string_view headerLines,
                     std::string_view body) {
  std::string out(statusLine);
  out += "\r\n";
  out += headerLines;
  out += "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
  out += body;
  return out;
}

int UnusedPort() {
  int port = 0;
  close(ListenOnLoopback(port));
  return port;
}

}  // namespace vantrel::testing
