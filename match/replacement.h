// The replacement text of "Replace", with the classic scripting object's "$" syntax, expanded the
// same way whichever engine found the matches:
//   $$        a single "$"
//   $&        the whole match
//   $`  $'    the subject before the match, the subject after it
//   $nn $n    group nn (01-99) when the pattern has that many groups, else group n (1-9) followed
//             by the second digit as text; a group that took no part gives nothing
// Any other "$" (including $0, $00 and a group number beyond the pattern's groups) is literal.
#ifndef VANTREL_MATCH_REPLACEMENT_H_
#define VANTREL_MATCH_REPLACEMENT_H_

#include <string>
#include <string_view>
#include <vector>

#include "match/regex_engine.h"

namespace vantrel {

class ReplacementTemplate {
 public:
  ReplacementTemplate(std::u16string_view replacement, int groupCount);

  // True when the expansion refers to a group, so the groups of each match must be fetched.
  bool UsesGroups() const { return usesGroups_; }

  // Appends the expansion for `match` of `subject`; `groups` holds the match's groups (it may be
  // empty when UsesGroups() is false).
  void AppendTo(std::u16string_view subject, Span match, const std::vector<Span>& groups,
                std::u16string& out) const;

 private:
  enum class Kind { kLiteral, kWhole, kBefore, kAfter, kGroup };
  struct Piece {
    Kind kind;
    std::u16string literal;  // kLiteral
    int group = 0;           // kGroup, 1-based
  };
  void AddLiteral(std::u16string_view text);

  std::vector<Piece> pieces_;
  bool usesGroups_ = false;
};

}  // namespace vantrel

#endif  // VANTREL_MATCH_REPLACEMENT_H_
