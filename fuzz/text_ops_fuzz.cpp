// Invariants of the text operations over arbitrary bytes.
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "text/text_ops.h"

using namespace vantrel;

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

// Whether byte index `at` is a character boundary of a walk that starts at index `from`.
bool IsBoundary(std::string_view text, std::size_t from, std::size_t at) {
  std::size_t i = from;
  while (i < at) i += static_cast<unsigned char>(text[i]) >= 0x80 ? 2 : 1;
  return i == at;
}

Text Join(const TextArray& items, std::string_view delimiter) {
  Text joined;
  for (int i = 1; i <= ArrayCount(items); ++i) {
    if (i > 1) joined.append(delimiter);
    joined += items[i];
  }
  return joined;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Layout: one byte for the sub-text length, one for the start position, then the bytes.
  if (size < 2) return 0;
  std::string_view all(reinterpret_cast<const char*>(data) + 2, size - 2);
  if (all.find('\0') != std::string_view::npos) return 0;  // a Text never holds a zero byte
  std::size_t subLength = std::min<std::size_t>(data[0] % 8, all.size());
  std::string_view sub = all.substr(0, subLength);
  std::string_view text = all.substr(subLength);
  int start = static_cast<int8_t>(data[1]);
  const std::size_t length = text.size();

  // FindText: -1 or a real occurrence on a character boundary of the walk.
  int found = FindText(text, sub, start);
  if (found != -1 && !sub.empty()) {
    std::size_t from = start >= 2 ? static_cast<std::size_t>(start) - 1 : 0;
    std::size_t at = static_cast<std::size_t>(found) - 1;
    Check(at >= from && at + sub.size() <= length);
    Check(text.substr(at, sub.size()) == sub);
    Check(IsBoundary(text, from, at));
  }

  // FindTextReverse: -1 or an occurrence lying wholly before `start`.
  int last = FindTextReverse(text, sub, start);
  if (last != -1 && !sub.empty()) {
    std::size_t at = static_cast<std::size_t>(last) - 1;
    Check(start >= 2 && at + sub.size() <= static_cast<std::size_t>(start) - 1);
    Check(text.substr(at, sub.size()) == sub);
    Check(IsBoundary(text, 0, at));
  }

  // SplitText without a limit: the pieces joined give the text back, less a trailing delimiter.
  if (!sub.empty()) {
    Text joined = Join(SplitText(text, sub), sub);
    Check(joined == text || (Text(joined) + Text(sub.data(), sub.size())) == text);
  }

  // ReplaceSubtext deleting occurrences never grows the text; replacing keeps the prefix.
  Text deleted = ReplaceSubtext(text, sub, "", start, kNoLimit, data[1] & 1);
  Check(deleted.size() <= length);
  if (start > 1 && !sub.empty() && static_cast<std::size_t>(start) <= length)
    Check(std::string_view(deleted).substr(0, static_cast<std::size_t>(start) - 1) ==
          text.substr(0, static_cast<std::size_t>(start) - 1));

  // Trimming yields a piece of the text; lower-casing keeps the length; removing blanks shrinks.
  Text trimmed = TrimBothEnds(text);
  Check(text.find(trimmed) != std::string_view::npos);
  Check(ToLowerCase(text).size() == length);
  Check(RemoveAllSpaces(text).size() <= length);
  (void)ToInteger(text);
  Check(TextMid(text, start, static_cast<int>(data[0])).size() <= length);
  return 0;
}
