// vantrel-harvest URL: harvests one page from the command line, printing each address found.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "app/harvest_page.h"
#include "app/print_services.h"
#include "net/web_visit.h"
#include "text/codepage.h"

namespace {

constexpr char kUsage[] = "usage: vantrel-harvest URL\n";

constexpr char kHelp[] =
    "usage: vantrel-harvest URL\n"
    "\n"
    "Fetches the page at URL and prints every e-mail address found on it, one per line, in the\n"
    "order they appear. When none is found, or the page cannot be fetched, the reason goes to\n"
    "standard error and the exit status is 1.\n"
    "\n"
    "options:\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n";

int Usage() {
  std::fputs(kUsage, stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const char* url = nullptr;
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    if (!optionsEnded && arg == "--help") {
      std::fputs(kHelp, stdout);
      return 0;
    }
    if (!optionsEnded && arg == "--version") {
      std::puts("vantrel-harvest " VANTREL_VERSION);
      return 0;
    }
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (!optionsEnded && arg.size() > 1 && arg[0] == '-') return Usage();
    if (url != nullptr) return Usage();
    url = argv[i];
  }
  if (url == nullptr) return Usage();

  vantrel::WebVisitGlobalInit();
  vantrel::PrintServices services(vantrel::GbkFromUtf8(url), stdout, stderr);
  vantrel::HarvestPage(services);
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::fprintf(stderr, "vantrel-harvest: cannot write the addresses: %s\n", std::strerror(errno));
    return 1;
  }
  return services.MessageShown() ? 1 : 0;
}
