// An HTTPS test server (tls_server.py) with a certificate for 127.0.0.1 made at test time by
// openssl, started on first use and stopped when the test program ends.
#ifndef VANTREL_TESTS_NET_TLS_FIXTURE_H_
#define VANTREL_TESTS_NET_TLS_FIXTURE_H_

#include <string>

namespace vantrel::testing {

struct TlsServer {
  int port = 0;
  std::string certificateFile;  // the server's self-signed certificate, to trust in tests
  // "https://127.0.0.1:PORT"
  std::string Origin() const { return "https://127.0.0.1:" + std::to_string(port); }
};

// The running server; the test fails (port 0) when it cannot be started.
const TlsServer& Tls();

}  // namespace vantrel::testing

#endif  // VANTREL_TESTS_NET_TLS_FIXTURE_H_
