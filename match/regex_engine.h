// The private engine interface behind RegexObject: a compiled pattern that finds the matches of a
// subject and, on request, the groups of one match. Offsets and lengths count UTF-16 code units.
//
// Every engine finds matches the same way: left to right, non-overlapping, each search starting
// where the last match ended, one code unit further after an empty match; without `global` only the
// first match is kept.
#ifndef VANTREL_MATCH_REGEX_ENGINE_H_
#define VANTREL_MATCH_REGEX_ENGINE_H_

#include <cstdint>
#include <memory>
#include <vector>

#include "match/subject.h"

namespace vantrel {

// A stretch of the subject; `start` -1 marks a group that took no part in the match.
struct Span {
  std::int32_t start = -1;
  std::int32_t length = 0;
  bool operator==(const Span&) const = default;
};

struct MatchList {
  std::vector<Span> matches;
  // When the engine keeps groups while matching: groupCount spans per match, match by match.
  std::vector<Span> groups;
};

class RegexEngine {
 public:
  virtual ~RegexEngine() = default;

  // True when Execute needs the subject's one-byte image.
  virtual bool NeedsImage() const = 0;
  virtual int GroupCount() const = 0;

  // Fills `out` with the matches; false when matching stopped at a resource limit, in which case
  // nothing is to be trusted.
  virtual bool Execute(const Subject& subject, bool global, MatchList& out) const = 0;

  // The GroupCount() groups of match `index` (0-based) of `list`, which Execute made over
  // `subject`.
  virtual std::vector<Span> Groups(const Subject& subject, const MatchList& list,
                                   std::size_t index) const = 0;
};

struct EngineOptions {
  bool ignoreCase = false;
  bool multiline = false;
};

// The linear-time engine for the patterns it answers exactly as the general engine does; nullptr
// for any other pattern. `pattern` is code-page 936 text.
std::unique_ptr<RegexEngine> MakeLinearEngine(std::string_view pattern, EngineOptions options);

// The general engine; nullptr when the pattern is not valid.
std::unique_ptr<RegexEngine> MakeGeneralEngine(std::string_view pattern, EngineOptions options);

// The linear-time engine when it takes the pattern, the general one otherwise.
std::unique_ptr<RegexEngine> MakeEngine(std::string_view pattern, EngineOptions options);

}  // namespace vantrel

#endif  // VANTREL_MATCH_REGEX_ENGINE_H_
