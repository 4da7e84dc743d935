#include "net/marker.h"

#include "text/text_ops.h"

namespace vantrel {

Text TextBetween(const Text& text, const Text& startMarker, const Text& endMarker,
                 int startPosition, bool ignoreCase) {
  const Text start = ReplaceSubtext(startMarker, QuoteMarker(), "\"", 1, kNoLimit, true);
  const Text end = ReplaceSubtext(endMarker, QuoteMarker(), "\"", 1, kNoLimit, true);

  int p = FindText(text, start, startPosition, ignoreCase);
  if (p != -1) p += TextLength(start);
  // With p at -1 the search runs from the beginning; its result is then not used.
  const int q = FindText(text, end, p, ignoreCase);
  if (p == -1 || q == -1) return Text();
  return TextMid(text, p, q - p);
}

Text TextAfterColon(const Text& line) {
  const int p = FindText(line, ":");
  Text rest;
  if (p != -1) rest = TextRight(line, TextLength(line) - p);
  return TrimBothEnds(rest);
}

}  // namespace vantrel
