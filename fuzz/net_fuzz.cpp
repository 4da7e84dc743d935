// Invariants of the URL, marker and cookie routines over arbitrary text.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string_view>

#include "net/cookies.h"
#include "net/marker.h"
#include "net/url.h"
#include "text/text_ops.h"

using namespace vantrel;

namespace {

#define Check(ok) CheckAt(ok, __LINE__)
void CheckAt(bool ok, int line) {
  if (!ok) {
    std::fprintf(stderr, "invariant failed at line %d\n", line);
    std::abort();
  }
}

bool Contains(std::string_view haystack, std::string_view needle) {
  return haystack.find(needle) != std::string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  std::string_view all(reinterpret_cast<const char*>(data) + 3, size - 3);
  if (Contains(all, std::string_view("\0", 1))) return 0;  // a Text never holds a zero byte
  std::size_t cut1 = std::min<std::size_t>(data[0] % 6, all.size());
  std::size_t cut2 = std::min<std::size_t>(cut1 + data[1] % 6, all.size());
  Text start(all.substr(0, cut1));
  Text end(all.substr(cut1, cut2 - cut1));
  Text text(all.substr(cut2));
  const bool flag = data[2] & 1;

  // URL dissection: the host is lower case (capitals survive only as second bytes of double-byte
  // characters, which lower-casing leaves alone) and, without keepPort, holds no colon at a
  // character boundary; the path is "/" or a tail of the URL that starts with "/".
  Text host = UrlGetDomain(text, flag, false);
  Check(ToLowerCase(host) == host && FindText(host, ":") == -1);
  Text withLevels = UrlGetDomain(text, flag, data[2] & 2, static_cast<int8_t>(data[0]));
  Check(ToLowerCase(withLevels) == withLevels);
  Text path = UrlGetPath(text);
  Check(!path.empty() && path[0] == '/');
  Check(path == "/" || (path.size() <= text.size() &&
                        std::string_view(text).substr(text.size() - path.size()) == path));
  (void)UrlGetPort(text);

  // Marker extraction: a non-empty result stands in the text between the two markers.
  if (!Contains(start, "#") && !Contains(end, "#")) {
    Text between = TextBetween(text, start, end, static_cast<int8_t>(data[1]), false);
    if (!between.empty()) Check(Contains(text, start + between + end));
  }
  Check(Contains(text, TextAfterColon(text)));

  // Cookie merging: no blanks left in either string (a 0x20 second byte is no blank), no deleted
  // item and no repeated item.
  Text cookies = text;
  Text newCookies = start + end;
  Text merged = MergeCookies(cookies, newCookies);
  Check(merged == cookies);
  Check(RemoveAllSpaces(newCookies) == newCookies);
  TextArray items = SplitText(cookies, "; ");
  std::set<Text> seen;
  for (const Text& item : items) {
    Check(RemoveAllSpaces(item) == item);
    Check(item.size() < 8 || std::string_view(item).substr(item.size() - 8) != "=deleted");
    Check(seen.insert(item).second);
  }
  return 0;
}
