#include "net/cookies.h"

#include "text/text_ops.h"

namespace vantrel {

Text MergeCookies(Text& cookies, Text& newCookies) {
  cookies = RemoveAllSpaces(cookies);
  newCookies = RemoveAllSpaces(newCookies);

  const TextArray stored = SplitText(cookies, ";");
  TextArray merged = SplitText(newCookies, ";");
  // The test runs against the growing list, so of stored items sharing a name only the first
  // one can join.
  for (const Text& item : stored) {
    if (!CookieListHasName(merged, CookieName(item))) AppendItem(merged, item);
  }

  cookies.clear();
  for (const Text& item : merged) {
    if (TextRight(item, 8) == "=deleted") continue;
    cookies += item;
    cookies += "; ";
  }
  cookies = TextLeft(cookies, TextLength(cookies) - 2);
  cookies = RemoveDuplicateItems(cookies, "; ");
  return cookies;
}

Text CookieName(const Text& item) {
  const int equals = FindText(item, "=");
  return TrimBothEnds(equals == -1 ? View(item) : View(TextLeft(item, equals - 1)));
}

bool CookieListHasName(const TextArray& items, const Text& name) {
  for (const Text& item : items) {
    if (CompareText(CookieName(item), name) == 0) return true;
  }
  return false;
}

Text RemoveDuplicateItems(const Text& text, const Text& delimiter) {
  TextArray seen;
  Text output;
  for (const Text& item : SplitText(text, delimiter)) {
    if (IndexOfText(seen, item) != -1) continue;
    AppendItem(seen, item);
    output += item;
    output += delimiter;
  }
  return TextLeft(output, TextLength(output) - TextLength(delimiter));
}

int IndexOfText(const TextArray& items, const Text& text) {
  int index = 1;
  for (const Text& item : items) {
    if (CompareText(item, text) == 0) return index;
    ++index;
  }
  return -1;
}

}  // namespace vantrel
