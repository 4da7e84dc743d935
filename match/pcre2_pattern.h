// Rewrites a pattern of the object's pattern language (the JavaScript-style language of the classic
// scripting regular-expression object) into PCRE2 syntax, to be compiled with PCRE2_ALT_BSUX and
// PCRE2_ALLOW_EMPTY_CLASS, which already give \uhhhh, \xhh and the empty classes [] and [^] their
// JavaScript meaning.
//
// The rewriting covers the remaining places where the two languages read the same text differently:
//   - \v is the vertical tab (in PCRE2 it is a class of vertical white space);
//   - a backslash before a letter with no meaning of its own stands for that letter (\y is "y");
//     PCRE2-only escapes such as \A \z \Z \G \K \Q \E \R \h \p \X are therefore plain letters;
//   - "[" inside a class is a literal bracket, never the start of a POSIX class name;
//   - group syntax other than "(?:", "(?=" and "(?!", a "(*" verb and a possessive quantifier
//     ("a*+", "a{2}+") are errors, as they are in the pattern language.
#ifndef VANTREL_MATCH_PCRE2_PATTERN_H_
#define VANTREL_MATCH_PCRE2_PATTERN_H_

#include <optional>
#include <string>
#include <string_view>

namespace vantrel {

// The PCRE2 form of `pattern`, or nothing when the pattern is not valid in the pattern language.
std::optional<std::u16string> ToPcre2Pattern(std::u16string_view pattern);

}  // namespace vantrel

#endif  // VANTREL_MATCH_PCRE2_PATTERN_H_
