#include "tests/net/tls_fixture.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

extern char** environ;

namespace vantrel::testing {
namespace {

class TlsProcess {
 public:
  TlsProcess() {
    char pattern[] = "/tmp/vantrel-net-tls-XXXXXX";
    if (mkdtemp(pattern) == nullptr) return;
    folder_ = pattern;
    server_.certificateFile = folder_ + "/cert.pem";
    const std::string key = folder_ + "/key.pem";
    const std::string make =
        "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 1"
        " -subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1 -keyout " +
        key + " -out " + server_.certificateFile + " >/dev/null 2>&1";
    if (std::system(make.c_str()) != 0) return;

    int out[2];
    if (pipe(out) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    const std::string script = VANTREL_NET_TEST_DIR "/tls_server.py";
    std::string certificate = server_.certificateFile;
    std::string keyArgument = key;
    char python[] = "python3";
    char* argv[] = {python, const_cast<char*>(script.c_str()), certificate.data(),
                    keyArgument.data(), nullptr};
    const int spawned = posix_spawnp(&pid_, "python3", &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned != 0) {
      pid_ = -1;
      close(out[0]);
      return;
    }
    // The script prints its port once it listens.
    FILE* stream = fdopen(out[0], "r");
    char line[32] = {};
    if (stream != nullptr && std::fgets(line, sizeof line, stream) != nullptr) {
      server_.port = std::atoi(line);
    }
    if (stream != nullptr) std::fclose(stream);
  }

  ~TlsProcess() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
    if (!folder_.empty()) {
      std::error_code ignored;
      std::filesystem::remove_all(folder_, ignored);
    }
  }

  const TlsServer& server() const { return server_; }

 private:
  std::string folder_;
  pid_t pid_ = -1;
  TlsServer server_;
};

}  // namespace

const TlsServer& Tls() {
  static TlsProcess process;
  return process.server();
}

}  // namespace vantrel::testing
