#include "match/pcre2_pattern.h"

#include <cstddef>

namespace vantrel {
namespace {

bool IsAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Escapes that keep their meaning in PCRE2 (outside and inside classes). \b inside a class is the
// backspace in both languages; \B inside a class is a plain "B".
bool KeepsMeaning(char16_t c, bool inClass) {
  switch (c) {
    case u'd':
    case u'D':
    case u'w':
    case u'W':
    case u's':
    case u'S':
    case u't':
    case u'n':
    case u'r':
    case u'f':
    case u'c':
    case u'x':
    case u'u':
    case u'b':
      return true;
    case u'B':
      return !inClass;
    default:
      return IsDigit(c);
  }
}

// Length of a well-formed quantifier {n}, {n,} or {n,m} starting at `i`, or 0.
std::size_t BraceQuantifierLength(std::u16string_view p, std::size_t i) {
  std::size_t j = i + 1;
  std::size_t digits = 0;
  while (j < p.size() && IsDigit(p[j])) ++j, ++digits;
  if (digits == 0) return 0;
  if (j < p.size() && p[j] == u',') {
    ++j;
    while (j < p.size() && IsDigit(p[j])) ++j;
  }
  if (j < p.size() && p[j] == u'}') return j + 1 - i;
  return 0;
}

}  // namespace

std::optional<std::u16string> ToPcre2Pattern(std::u16string_view p) {
  std::u16string out;
  out.reserve(p.size() + 8);
  bool inClass = false;
  bool afterQuantifier = false;  // the last item was a quantifier (with its lazy "?")
  std::size_t i = 0;
  while (i < p.size()) {
    const char16_t c = p[i];
    if (c == u'\\') {
      if (i + 1 >= p.size()) return std::nullopt;  // a trailing backslash
      const char16_t e = p[i + 1];
      if (e == u'v') {
        out += u"\\x0b";
      } else if (e == u'c' && !(i + 2 < p.size() && IsAsciiLetter(p[i + 2]))) {
        out += u"\\\\c";  // \c without a control letter is a backslash and a "c"
      } else if (IsAsciiLetter(e) && !KeepsMeaning(e, inClass)) {
        out += e;
      } else {
        out += c;
        out += e;
      }
      i += 2;
      afterQuantifier = false;
      continue;
    }
    if (inClass) {
      if (c == u']') inClass = false;
      if (c == u'[') {
        out += u"\\[";
      } else {
        out += c;
      }
      ++i;
      continue;
    }
    switch (c) {
      case u'[': {
        inClass = true;
        out += c;
        ++i;
        if (i < p.size() && p[i] == u'^') out += p[i++];
        // [] and [^] end at once: the first "]" closes the class.
        if (i < p.size() && p[i] == u']') {
          out += p[i++];
          inClass = false;
        }
        afterQuantifier = false;
        continue;
      }
      case u'(':
        if (i + 1 < p.size() && p[i + 1] == u'*') return std::nullopt;
        if (i + 1 < p.size() && p[i + 1] == u'?') {
          if (i + 2 >= p.size()) return std::nullopt;
          const char16_t kind = p[i + 2];
          if (kind != u':' && kind != u'=' && kind != u'!') return std::nullopt;
          out.append(p.substr(i, 3));
          i += 3;
          afterQuantifier = false;
          continue;
        }
        out += c;
        ++i;
        afterQuantifier = false;
        continue;
      case u'*':
      case u'+':
      case u'?':
        if (afterQuantifier && c == u'+') return std::nullopt;  // possessive
        out += c;
        ++i;
        afterQuantifier = true;
        continue;
      case u'{': {
        std::size_t length = BraceQuantifierLength(p, i);
        if (length == 0) {
          out += c;  // a brace that is no quantifier is a literal
          ++i;
          afterQuantifier = false;
          continue;
        }
        if (afterQuantifier) return std::nullopt;
        out.append(p.substr(i, length));
        i += length;
        afterQuantifier = true;
        continue;
      }
      default:
        out += c;
        ++i;
        afterQuantifier = false;
        continue;
    }
  }
  return out;
}

}  // namespace vantrel
