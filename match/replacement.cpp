#include "match/replacement.h"

namespace vantrel {
namespace {

int DigitValue(char16_t c) { return c >= u'0' && c <= u'9' ? c - u'0' : -1; }

}  // namespace

void ReplacementTemplate::AddLiteral(std::u16string_view text) {
  if (!pieces_.empty() && pieces_.back().kind == Kind::kLiteral) {
    pieces_.back().literal.append(text);
  } else {
    pieces_.push_back({Kind::kLiteral, std::u16string(text), 0});
  }
}

ReplacementTemplate::ReplacementTemplate(std::u16string_view r, int groupCount) {
  std::size_t i = 0;
  while (i < r.size()) {
    if (r[i] != u'$' || i + 1 >= r.size()) {
      AddLiteral(r.substr(i, 1));
      ++i;
      continue;
    }
    const char16_t next = r[i + 1];
    if (next == u'$') {
      AddLiteral(u"$");
      i += 2;
      continue;
    }
    if (next == u'&' || next == u'`' || next == u'\'') {
      Kind kind = next == u'&' ? Kind::kWhole : next == u'`' ? Kind::kBefore : Kind::kAfter;
      pieces_.push_back({kind, {}, 0});
      i += 2;
      continue;
    }
    const int d1 = DigitValue(next);
    const int d2 = i + 2 < r.size() ? DigitValue(r[i + 2]) : -1;
    if (d1 >= 0 && d2 >= 0) {
      const int two = d1 * 10 + d2;
      if (two >= 1 && two <= groupCount) {
        pieces_.push_back({Kind::kGroup, {}, two});
        usesGroups_ = true;
        i += 3;
        continue;
      }
    }
    if (d1 >= 1 && d1 <= groupCount) {
      pieces_.push_back({Kind::kGroup, {}, d1});
      usesGroups_ = true;
      i += 2;
      continue;
    }
    AddLiteral(u"$");
    ++i;
  }
}

void ReplacementTemplate::AppendTo(std::u16string_view subject, Span match,
                                   const std::vector<Span>& groups, std::u16string& out) const {
  const auto start = static_cast<std::size_t>(match.start);
  const auto end = start + static_cast<std::size_t>(match.length);
  for (const Piece& piece : pieces_) {
    switch (piece.kind) {
      case Kind::kLiteral:
        out.append(piece.literal);
        break;
      case Kind::kWhole:
        out.append(subject.substr(start, end - start));
        break;
      case Kind::kBefore:
        out.append(subject.substr(0, start));
        break;
      case Kind::kAfter:
        out.append(subject.substr(end));
        break;
      case Kind::kGroup: {
        const auto g = static_cast<std::size_t>(piece.group - 1);
        if (g < groups.size() && groups[g].start >= 0)
          out.append(subject.substr(static_cast<std::size_t>(groups[g].start),
                                    static_cast<std::size_t>(groups[g].length)));
        break;
      }
    }
  }
}

}  // namespace vantrel
