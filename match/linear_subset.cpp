#include "match/linear_subset.h"

#include <cstddef>

namespace vantrel {
namespace {

// Deeper nesting than this goes to the general engine, which has its own limit.
constexpr int kMaxDepth = 64;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAsciiAlnum(char c) { return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
// Printable ASCII punctuation, which a backslash makes literal in both engines.
bool IsEscapablePunct(char c) { return c > 0x20 && c < 0x7F && !IsAsciiAlnum(c) && c != '_'; }
bool IsClassEscape(char c) { return c == 'w' || c == 'W' || c == 'd' || c == 'D'; }
bool IsAsciiChar(char c) { return c > 0 && static_cast<unsigned char>(c) < 0x80; }

class SubsetParser {
 public:
  explicit SubsetParser(std::string_view pattern) : p_(pattern) {}

  bool Parse() {
    bool nullable = false;
    return Alternation(0, nullable) && i_ == p_.size();
  }

 private:
  bool AtEnd() const { return i_ >= p_.size(); }
  char Peek(std::size_t ahead = 0) const { return i_ + ahead < p_.size() ? p_[i_ + ahead] : '\0'; }

  bool Alternation(int depth, bool& nullable) {
    if (depth > kMaxDepth) return false;
    if (!Sequence(depth, nullable)) return false;
    while (Peek() == '|') {
      ++i_;
      bool branch = false;
      if (!Sequence(depth, branch)) return false;
      nullable = nullable || branch;
    }
    return true;
  }

  bool Sequence(int depth, bool& nullable) {
    nullable = true;
    while (!AtEnd() && Peek() != '|' && Peek() != ')') {
      bool atomNullable = false;
      if (!Atom(depth, atomNullable)) return false;
      bool quantified = false;
      int min = 1;
      if (!Quantifier(quantified, min)) return false;
      if (quantified && atomNullable) return false;
      nullable = nullable && (atomNullable || min == 0);
    }
    return true;
  }

  bool Atom(int depth, bool& nullable) {
    nullable = false;
    char c = Peek();
    switch (c) {
      case '(': {
        ++i_;
        if (Peek() == '?') {
          if (Peek(1) != ':') return false;
          i_ += 2;
        }
        if (!Alternation(depth + 1, nullable)) return false;
        if (Peek() != ')') return false;
        ++i_;
        return true;
      }
      case '.':
        ++i_;
        return true;
      case '\\': {
        char e = Peek(1);
        if (!IsClassEscape(e) && !IsEscapablePunct(e)) return false;
        i_ += 2;
        return true;
      }
      case '[':
        return Class();
      case '*':
      case '+':
      case '?':
      case '{':
      case '}':
      case ']':
      case '^':
      case '$':
        return false;
      default:
        if (!IsAsciiChar(c)) return false;
        ++i_;
        return true;
    }
  }

  // Reads a decimal count of at most four digits.
  bool Count(int& value) {
    if (!IsDigit(Peek())) return false;
    value = 0;
    int digits = 0;
    while (IsDigit(Peek())) {
      if (++digits > 4) return false;
      value = value * 10 + (Peek() - '0');
      ++i_;
    }
    return true;
  }

  bool Quantifier(bool& quantified, int& min) {
    quantified = true;
    switch (Peek()) {
      case '*':
        min = 0;
        ++i_;
        break;
      case '+':
        min = 1;
        ++i_;
        break;
      case '?':
        min = 0;
        ++i_;
        break;
      case '{': {
        ++i_;
        if (!Count(min)) return false;
        if (Peek() == ',') {
          ++i_;
          int max = 0;
          if (IsDigit(Peek())) {
            if (!Count(max) || max < min) return false;
          }
        }
        if (Peek() != '}') return false;
        ++i_;
        break;
      }
      default:
        quantified = false;
        return true;
    }
    if (Peek() == '?') ++i_;  // lazy
    char next = Peek();
    return next != '*' && next != '+' && next != '?' && next != '{';
  }

  // One class member that can end a range: a plain character or escaped punctuation.
  bool ClassChar(char& value) {
    char c = Peek();
    if (c == '\\') {
      char e = Peek(1);
      if (!IsEscapablePunct(e)) return false;
      value = e;
      i_ += 2;
      return true;
    }
    if (!IsAsciiChar(c) || c == '[' || c == ']') return false;
    value = c;
    ++i_;
    return true;
  }

  bool Class() {
    ++i_;  // '['
    if (Peek() == '^') ++i_;
    if (Peek() == ']') return false;  // empty class: the engines read it differently
    while (!AtEnd() && Peek() != ']') {
      if (Peek() == '\\' && IsClassEscape(Peek(1))) {
        i_ += 2;
        if (Peek() == '-' && Peek(1) != ']') return false;
        continue;
      }
      char low = 0;
      if (!ClassChar(low)) return false;
      if (Peek() == '-' && Peek(1) != ']' && i_ + 1 < p_.size()) {
        ++i_;
        char high = 0;
        if (Peek() == '\\' && IsClassEscape(Peek(1))) return false;
        if (!ClassChar(high) || high < low) return false;
      }
    }
    if (Peek() != ']') return false;
    ++i_;
    return true;
  }

  std::string_view p_;
  std::size_t i_ = 0;
};

}  // namespace

bool IsLinearSubset(std::string_view pattern) { return SubsetParser(pattern).Parse(); }

}  // namespace vantrel
