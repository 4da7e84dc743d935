#include "net/url.h"

#include <algorithm>

#include "net/marker.h"
#include "text/text_ops.h"

namespace vantrel {
namespace {

const Text kHttp = "http://";
const Text kHttps = "https://";

// The host text in the default mode, port still attached.
Text DefaultModeHost(Text u, bool rootDomain) {
  if (u.empty() || u.back() != '/') u += '/';
  if (TextLeft(u, 8) == kHttps) {
    u = TextBetween(u, kHttps, "/");
  } else {
    if (FindText(u, kHttp) == -1) u = ConcatText({View(kHttp), View(u)});
    u = TextBetween(u, kHttp, "/");
  }
  if (rootDomain) {
    const TextArray pieces = SplitText(u, ".");
    const int n = ArrayCount(pieces);
    if (n > 1) u = ConcatText({View(pieces[n - 1]), ".", View(pieces[n])});
  }
  return u;
}

// The host text in the level mode, port still attached.
Text LevelModeHost(Text u, bool rootDomain, int levels) {
  u = ReplaceSubtext(u, kHttp, "", 1, kNoLimit, true);
  u = ReplaceSubtext(u, kHttps, "", 1, kNoLimit, true);
  const int slash = FindText(u, "/");
  if (slash != -1) u = TextLeft(u, slash - 1);

  const int length = TextLength(u);
  int h = length;
  // Once no dot is left, h stays -1: stop there rather than count out the remaining levels.
  for (int i = 0; i < levels && h != -1; ++i) h = FindTextReverse(u, ".", h);
  const int m = FindTextReverse(u, ".", h);
  if (rootDomain) return TextRight(u, length - m);
  if (m != -1) {
    const int k = FindTextReverse(u, ".", m);
    if (k != -1) u = TextRight(u, length - k);
  }
  return u;
}

}  // namespace

Text UrlGetDomain(const Text& url, bool rootDomain, bool keepPort, std::optional<int> levels) {
  Text u = ToLowerCase(url);
  u = levels ? LevelModeHost(std::move(u), rootDomain, std::max(*levels, 0))
             : DefaultModeHost(std::move(u), rootDomain);
  if (keepPort) return u;
  const int colon = FindText(u, ":");
  if (colon != -1) return TextLeft(u, colon - 1);
  return u;
}

int UrlGetPort(const Text& url) {
  const Text host = UrlGetDomain(url, false, true);
  const int colon = FindTextReverse(host, ":");
  if (colon != -1) return ToInteger(TextRight(host, TextLength(host) - colon));
  return ToLowerCase(TextLeft(url, 5)) == "https" ? 443 : 80;
}

Text UrlGetPath(const Text& url) {
  const Text host = UrlGetDomain(url);
  const int a = FindText(url, host, 1, true);
  const int b = FindText(url, "/", a, true);
  if (b == -1) return "/";
  return TextRight(url, TextLength(url) - b + 1);
}

}  // namespace vantrel
