// RegexObject: one regular expression run over one subject text, with access to the matches.
//
// The pattern language is that of the classic scripting regular-expression object (JavaScript
// style: \w is [A-Za-z0-9_], \uhhhh and \xhh escapes, "." is anything but a line feed). The subject
// is held as UTF-16 code units, so a match's first index counts code units. Every operation that
// cannot do its work returns the empty value (the empty text, 0, false) and reports nothing.
//
// Patterns that a linear-time engine answers exactly run there (RE2); all others run on PCRE2 under
// step and memory limits, and a search that reaches a limit makes Create fail rather than hang.
#ifndef VANTREL_MATCH_REGEX_OBJECT_H_
#define VANTREL_MATCH_REGEX_OBJECT_H_

#include <memory>
#include <optional>

#include "text/values.h"

namespace vantrel {

class RegexComponent;
struct MatchCollection;
class Subject;

class RegexObject {
 public:
  RegexObject();
  virtual ~RegexObject();
  RegexObject(const RegexObject&) = delete;
  RegexObject& operator=(const RegexObject&) = delete;

  // Releases the component, the matches and the subject; every reading operation then gives its
  // empty value.
  virtual void Destroy();

  // A new object that shares this one's component and matches and holds the same subject.
  virtual std::unique_ptr<RegexObject> Clone() const;

  // Sets up a component for `pattern` (absent options: case-insensitive, multiline, global; the
  // quote marker left alone) and runs it over `subject`. True when matching could be run, whether
  // or not anything matched; false when the component is missing, the pattern is not valid or the
  // search reached a limit. Replaces everything an earlier Create set.
  virtual bool Create(const Text& pattern, const Text& subject,
                      std::optional<bool> caseSensitive = std::nullopt,
                      std::optional<bool> multiline = std::nullopt,
                      std::optional<bool> global = std::nullopt,
                      std::optional<bool> replaceQuoteMarker = std::nullopt);

  virtual void Noop();

  // The pattern the component holds (after the quote-marker substitution); empty without one.
  virtual Text GetPattern() const;

  // The subject with every match (only the first when not global) replaced by the expansion of
  // `replacement`; empty when matching could not be run.
  virtual Text ReplaceMatches(const Text& replacement);

  virtual int MatchCount() const;

  // The text of match `index` (1-based), empty when out of range. With `position`: the 0-based
  // byte offset of the first occurrence of that text in the code-page 936 subject at or after
  // 1-based byte position f, f being the match's first index in code units; -2 when the search
  // finds nothing (it walks characters from byte f, so it can lose step and pass the match).
  virtual Text MatchText(int index, int* position = nullptr) const;

  // The text of group `submatchIndex` of match `matchIndex` (both 1-based); empty for a group that
  // took no part and for numbers out of range. `position` as for MatchText, searching from the
  // whole match's first index.
  virtual Text SubmatchText(int matchIndex, int submatchIndex, int* position = nullptr) const;

  // The number of groups of the first match; 0 without a match.
  virtual int SubmatchCount() const;

  // Test-only: while one of these lives, Create behaves as if the component could not be created.
  class MissingComponentForTesting {
   public:
    MissingComponentForTesting();
    ~MissingComponentForTesting();
    MissingComponentForTesting(const MissingComponentForTesting&) = delete;
    MissingComponentForTesting& operator=(const MissingComponentForTesting&) = delete;
  };

 private:
  // The 0-based slot of match `index` (1-based), or false when there is none.
  bool FindMatch(int index, std::size_t& slot) const;
  int PositionOf(const Text& text, int firstIndex) const;

  std::shared_ptr<const RegexComponent> component_;  // the compiled pattern and its settings
  std::shared_ptr<const MatchCollection> matches_;   // the matches of the last Create
  std::shared_ptr<const Subject> subject_;           // the subject of the last Create
};

}  // namespace vantrel

#endif  // VANTREL_MATCH_REGEX_OBJECT_H_
