// The patterns that the linear-time engine answers exactly as the general engine does.
//
// A pattern qualifies when it is ASCII and built only from literals, ".", the escapes \w \W \d \D
// and escaped punctuation, bracket classes of ASCII characters with ranges and those escapes,
// groups (capturing or "(?:"), alternation and the quantifiers * + ? {n} {n,} {n,m}, greedy or
// lazy. Anchors, \b, \s, back-references, look-around and everything else are left to the general
// engine. So are the constructs on which the two engines are known to part ways or whose reading
// is doubtful: a quantified item that can match the empty text (captures inside an empty loop
// iteration), empty classes, "[" inside a class, a "{" that is not a quantifier, a range next to a
// class escape, and a quantifier followed by another.
#ifndef VANTREL_MATCH_LINEAR_SUBSET_H_
#define VANTREL_MATCH_LINEAR_SUBSET_H_

#include <string_view>

namespace vantrel {

bool IsLinearSubset(std::string_view pattern);

}  // namespace vantrel

#endif  // VANTREL_MATCH_LINEAR_SUBSET_H_
