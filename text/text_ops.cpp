#include "text/text_ops.h"

#include <algorithm>
#include <cstring>

namespace vantrel {
namespace {

using Size = std::size_t;

inline unsigned char ByteAt(std::string_view s, Size i) { return static_cast<unsigned char>(s[i]); }

inline unsigned char Fold(unsigned char b) { return (b >= 'A' && b <= 'Z') ? b + 32 : b; }

// Whether the `sub.size()` bytes of `text` at `at` equal `sub`.
inline bool EqualAt(std::string_view text, Size at, std::string_view sub, bool ignoreCase) {
  if (!ignoreCase) return std::memcmp(text.data() + at, sub.data(), sub.size()) == 0;
  for (Size k = 0; k < sub.size(); ++k)
    if (Fold(ByteAt(text, at + k)) != Fold(ByteAt(sub, k))) return false;
  return true;
}

inline bool IsLead(unsigned char b) { return b >= 0x80; }

// Whether a blank (0x20 or A1 A1) starts at `i`; its length goes to `length`.
inline bool BlankAt(std::string_view s, Size i, Size& length) {
  if (ByteAt(s, i) == 0x20) {
    length = 1;
    return true;
  }
  if (ByteAt(s, i) == 0xA1 && i + 1 < s.size() && ByteAt(s, i + 1) == 0xA1) {
    length = 2;
    return true;
  }
  return false;
}

Text Slice(std::string_view text, Size from, Size count) { return Text(text.data() + from, count); }

}  // namespace

int TextLength(std::string_view text) { return static_cast<int>(text.size()); }

int BytesLength(const Bytes& bytes) { return static_cast<int>(bytes.size()); }

int FindText(std::string_view text, std::string_view subText, int startPosition, bool ignoreCase) {
  const Size length = text.size();
  const Size s = subText.size();
  const Size start = startPosition >= 2 ? static_cast<Size>(startPosition) : 1;
  if (start > length) return -1;
  if (s == 0) return 1;
  Size i = start - 1;
  // Only the first byte can be tested without comparing: skip cheaply when it cannot match.
  const unsigned char first = ignoreCase ? Fold(ByteAt(subText, 0)) : ByteAt(subText, 0);
  while (length - i >= s) {
    unsigned char b = ByteAt(text, i);
    if ((ignoreCase ? Fold(b) : b) == first && EqualAt(text, i, subText, ignoreCase))
      return static_cast<int>(i + 1);
    if (IsLead(b)) {
      if (i + 1 >= length) return -1;
      i += 2;
    } else {
      i += 1;
    }
  }
  return -1;
}

int FindTextReverse(std::string_view text, std::string_view subText,
                    std::optional<int> startPosition, bool ignoreCase) {
  const Size length = text.size();
  Size window = length;
  if (startPosition) {
    window = *startPosition <= 1 ? 0 : std::min(length, static_cast<Size>(*startPosition) - 1);
  }
  const Size s = subText.size();
  if (s == 0) return window >= 1 ? 1 : -1;
  int last = -1;
  Size i = 0;
  while (i < window && window - i >= s) {
    if (EqualAt(text, i, subText, ignoreCase)) last = static_cast<int>(i + 1);
    if (IsLead(ByteAt(text, i))) {
      if (i + 1 >= length) break;
      i += 2;
    } else {
      i += 1;
    }
  }
  return last;
}

Text TextLeft(std::string_view text, int count) {
  if (count <= 0) return Text();
  return Slice(text, 0, std::min(text.size(), static_cast<Size>(count)));
}

Text TextRight(std::string_view text, int count) {
  if (count <= 0) return Text();
  Size n = std::min(text.size(), static_cast<Size>(count));
  return Slice(text, text.size() - n, n);
}

Text TextMid(std::string_view text, int startPosition, int count) {
  if (startPosition < 1 || static_cast<Size>(startPosition) > text.size() || count <= 0)
    return Text();
  Size from = static_cast<Size>(startPosition) - 1;
  return Slice(text, from, std::min(text.size() - from, static_cast<Size>(count)));
}

Text ReplaceSubtext(std::string_view text, std::string_view subText, std::string_view replacement,
                    int startPosition, int count, bool caseSensitive) {
  const Size length = text.size();
  const Size s = subText.size();
  const Size start = startPosition >= 1 ? static_cast<Size>(startPosition) : 1;
  if (length == 0 || s == 0 || start > length || count == 0) return Text(text.data(), length);

  const bool ignoreCase = !caseSensitive;
  Text result;
  result.reserve(length);
  result.append(text.data(), start - 1);
  Size i = start - 1;
  int replaced = 0;
  while (length - i >= s) {
    if (EqualAt(text, i, subText, ignoreCase)) {
      result.append(replacement.data(), replacement.size());
      i += s;
      ++replaced;
      if (count > 0 && replaced == count) break;
      continue;
    }
    if (IsLead(ByteAt(text, i))) {
      if (i + 1 >= length) {  // an incomplete final character is dropped here
        i = length;
        break;
      }
      result.append(text.data() + i, 2);
      i += 2;
    } else {
      result.push_back(text[i]);
      i += 1;
    }
  }
  result.append(text.data() + i, length - i);
  return result;
}

TextArray SplitText(std::string_view text, std::string_view delimiter,
                    std::optional<int> maxItems) {
  TextArray items;
  const int limit = maxItems ? std::max(*maxItems, 0) : -1;
  if (text.empty() || limit == 0) return items;
  if (delimiter.empty()) {
    items.Append(Text(text.data(), text.size()));
    return items;
  }
  const Size length = text.size();
  const Size d = delimiter.size();
  Size i = 0;
  Size itemStart = 0;
  while (length - i >= d) {
    if (EqualAt(text, i, delimiter, false)) {
      items.Append(Slice(text, itemStart, i - itemStart));
      i += d;
      itemStart = i;
      if (limit > 0 && items.Count() == limit) return items;
      continue;
    }
    if (IsLead(ByteAt(text, i))) {
      if (i + 1 >= length) break;
      i += 2;
    } else {
      i += 1;
    }
  }
  if (itemStart < length) items.Append(Slice(text, itemStart, length - itemStart));
  return items;
}

Text TrimBothEnds(std::string_view text) {
  const Size length = text.size();
  Size begin = 0;
  Size blank = 0;
  while (begin < length && BlankAt(text, begin, blank)) begin += blank;

  Size end = length;
  Size runStart = length;  // start of the current run of blanks; `length` when not in a run
  Size j = begin;
  while (j < length) {
    if (BlankAt(text, j, blank)) {
      if (runStart == length) runStart = j;
      j += blank;
      continue;
    }
    if (IsLead(ByteAt(text, j)) && j + 1 >= length) {
      // An incomplete final character: the result ends just before it, blanks before it stay.
      runStart = length;
      end = j;
      break;
    }
    runStart = length;
    j += IsLead(ByteAt(text, j)) ? 2 : 1;
  }
  if (runStart != length) end = runStart;
  if (end <= begin) return Text();
  return Slice(text, begin, end - begin);
}

Text RemoveAllSpaces(std::string_view text) {
  const Size length = text.size();
  Text result;
  result.reserve(length);
  Size i = 0;
  Size blank = 0;
  while (i < length) {
    if (BlankAt(text, i, blank)) {
      i += blank;
    } else if (IsLead(ByteAt(text, i))) {
      if (i + 1 >= length) break;  // an incomplete final character is dropped
      result.append(text.data() + i, 2);
      i += 2;
    } else {
      result.push_back(text[i]);
      i += 1;
    }
  }
  return result;
}

Text ToLowerCase(std::string_view text) {
  const Size length = text.size();
  Text result(text.data(), length);
  Size i = 0;
  while (i < length) {
    unsigned char b = ByteAt(text, i);
    if (IsLead(b)) {
      i += 2;  // both bytes of a double-byte character stay as they are
    } else {
      result[i] = static_cast<char>(Fold(b));
      i += 1;
    }
  }
  return result;
}

int ToInteger(std::string_view text) {
  const Size length = text.size();
  // 1. Full-width forms become ASCII.
  Text normal;
  normal.reserve(length);
  for (Size i = 0; i < length;) {
    unsigned char b = ByteAt(text, i);
    if (!IsLead(b)) {
      normal.push_back(static_cast<char>(b));
      i += 1;
      continue;
    }
    if (i + 1 >= length) break;  // an incomplete final character is dropped
    unsigned char t = ByteAt(text, i + 1);
    if (b == 0xA3 && t >= 0xA1 && t <= 0xFE) {
      normal.push_back(static_cast<char>(t - 0x80));
    } else if (b == 0xA1 && t == 0xA1) {
      normal.push_back(' ');
    } else if (b == 0xA1 && t == 0xAB) {
      normal.push_back('~');
    } else if (b == 0xA1 && (t == 0xEE || t == 0xEF)) {
      normal.push_back('*');
    } else {
      normal.append(text.data() + i, 2);
    }
    i += 2;
  }
  // 2-4. White space, sign, digits with 32-bit wrap-around.
  Size i = 0;
  while (i < normal.size() && ((normal[i] >= 0x09 && normal[i] <= 0x0D) || normal[i] == ' ')) ++i;
  bool negative = false;
  if (i < normal.size() && (normal[i] == '+' || normal[i] == '-')) {
    negative = normal[i] == '-';
    ++i;
  }
  std::uint32_t value = 0;
  for (; i < normal.size() && normal[i] >= '0' && normal[i] <= '9'; ++i)
    value = value * 10u + static_cast<std::uint32_t>(normal[i] - '0');
  if (negative) value = 0u - value;
  return static_cast<int>(value);
}

Text BlankText(int count) {
  if (count <= 0) return Text();
  return Text(static_cast<Size>(count), ' ');
}

Bytes BlankBytes(int count) {
  if (count <= 0) return Bytes();
  return Bytes(static_cast<Size>(count), 0);
}

Bytes BytesLeft(const Bytes& bytes, int count) {
  Size n = count <= 0 ? 0 : std::min(bytes.size(), static_cast<Size>(count));
  return Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
}

Bytes TextToBytes(std::string_view text) { return Bytes(text.begin(), text.end()); }

Text BytesToText(const Bytes& bytes) {
  if (bytes.empty()) return Text();  // an empty vector may hold no storage at all
  const void* zero = std::memchr(bytes.data(), 0, bytes.size());
  Size n = zero ? static_cast<Size>(static_cast<const std::uint8_t*>(zero) - bytes.data())
                : bytes.size();
  return Text(reinterpret_cast<const char*>(bytes.data()), n);
}

Text ReadTextFromBytes(const Bytes& bytes) { return BytesToText(bytes); }

Text CharFromCode(int code) {
  if ((code & 0xFF) == 0) return Text();
  return Text(1, static_cast<char>(code & 0xFF));
}

int BitOr(std::initializer_list<int> values) {
  std::uint32_t result = 0;
  for (int v : values) result |= static_cast<std::uint32_t>(v);
  return static_cast<int>(result);
}

}  // namespace vantrel
