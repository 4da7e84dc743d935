#include "tests/app/loopback_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace vantrel::testing {
namespace {

constexpr int kPollMs = 50;

int BoundLoopbackSocket(int* port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) std::abort();
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) std::abort();
  socklen_t length = sizeof address;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  *port = ntohs(address.sin_port);
  return fd;
}

bool SendAll(int fd, const std::string& data) {
  std::size_t sent = 0;
  while (sent < data.size()) {
    const ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

const char* Reason(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 404:
      return "Not Found";
    case 500:
      return "Internal Server Error";
    default:
      return "Status";
  }
}

}  // namespace

LoopbackHttpServer::LoopbackHttpServer() {
  listener_ = BoundLoopbackSocket(&port_);
  if (::listen(listener_, 64) != 0) std::abort();
  acceptor_ = std::thread([this] { AcceptLoop(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
  stopping_ = true;
  acceptor_.join();
  for (std::thread& handler : handlers_) handler.join();
  ::close(listener_);
}

void LoopbackHttpServer::Serve(const std::string& path, HttpResponse response) {
  ServeInTurn(path, {std::move(response)});
}

void LoopbackHttpServer::ServeInTurn(const std::string& path, std::vector<HttpResponse> responses) {
  std::lock_guard<std::mutex> lock(mutex_);
  routes_[path] = std::move(responses);
  turns_[path] = 0;
}

std::string LoopbackHttpServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

HttpResponse LoopbackHttpServer::ResponseFor(const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto route = routes_.find(path);
  if (route == routes_.end() || route->second.empty()) {
    return HttpResponse{404, "text/plain", "not found", false};
  }
  std::size_t& turn = turns_[path];
  const std::size_t index = std::min(turn, route->second.size() - 1);
  ++turn;
  return route->second[index];
}

void LoopbackHttpServer::AcceptLoop() {
  while (!stopping_) {
    pollfd waiting{listener_, POLLIN, 0};
    if (::poll(&waiting, 1, kPollMs) <= 0) continue;
    const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection < 0) continue;
    handlers_.emplace_back([this, connection] { Handle(connection); });
  }
}

void LoopbackHttpServer::Handle(int connection) {
  std::string request;
  char buffer[4096];
  while (request.find("\r\n\r\n") == std::string::npos && !stopping_) {
    pollfd waiting{connection, POLLIN, 0};
    if (::poll(&waiting, 1, kPollMs) <= 0) continue;
    const ssize_t n = ::recv(connection, buffer, sizeof buffer, 0);
    if (n <= 0) break;
    request.append(buffer, static_cast<std::size_t>(n));
  }
  // "GET /path HTTP/1.1"
  const std::size_t first = request.find(' ');
  const std::size_t second = request.find(' ', first + 1);
  if (first != std::string::npos && second != std::string::npos) {
    ++requests_;
    const HttpResponse response = ResponseFor(request.substr(first + 1, second - first - 1));
    if (response.hang) {
      while (!stopping_) ::poll(nullptr, 0, kPollMs);
    } else {
      std::string head =
          "HTTP/1.1 " + std::to_string(response.status) + " " + Reason(response.status) + "\r\n";
      if (!response.contentType.empty()) head += "Content-Type: " + response.contentType + "\r\n";
      head += "Content-Length: " + std::to_string(response.body.size()) + "\r\n";
      head += "Connection: close\r\n\r\n";
      if (SendAll(connection, head)) SendAll(connection, response.body);
    }
  }
  ::shutdown(connection, SHUT_WR);
  ::close(connection);
}

int UnusedLoopbackPort() {
  int port = 0;
  const int fd = BoundLoopbackSocket(&port);
  ::close(fd);
  return port;
}

}  // namespace vantrel::testing
