#include "match/regex_object.h"

#include <atomic>
#include <string>
#include <vector>

#include "match/regex_engine.h"
#include "match/replacement.h"
#include "match/subject.h"
#include "text/codepage.h"
#include "text/quote_marker.h"
#include "text/text_ops.h"

namespace vantrel {

// The component: the pattern as written, its settings, and the engine compiled for it (none when
// the pattern is not valid; that only shows when matching is run).
class RegexComponent {
 public:
  Text pattern;
  bool ignoreCase = true;
  bool multiline = true;
  bool global = true;
  std::shared_ptr<const RegexEngine> engine;
};

// The result of one execution: the matches and what they were found with and in.
struct MatchCollection {
  std::shared_ptr<const RegexEngine> engine;
  std::shared_ptr<const Subject> subject;
  MatchList list;
};

namespace {

std::atomic<int> missingComponentScopes{0};

Text SpanText(const Subject& subject, Span span) {
  if (span.start < 0) return Text();
  return subject.TextOf(static_cast<std::size_t>(span.start),
                        static_cast<std::size_t>(span.length));
}

}  // namespace

RegexObject::MissingComponentForTesting::MissingComponentForTesting() { ++missingComponentScopes; }
RegexObject::MissingComponentForTesting::~MissingComponentForTesting() { --missingComponentScopes; }

RegexObject::RegexObject() = default;
RegexObject::~RegexObject() = default;

void RegexObject::Destroy() {
  component_.reset();
  matches_.reset();
  subject_.reset();
}

std::unique_ptr<RegexObject> RegexObject::Clone() const {
  auto copy = std::make_unique<RegexObject>();
  copy->component_ = component_;
  copy->matches_ = matches_;
  // The subject never changes once made, so sharing it is the same as copying it.
  copy->subject_ = subject_;
  return copy;
}

bool RegexObject::Create(const Text& pattern, const Text& subject,
                         std::optional<bool> caseSensitive, std::optional<bool> multiline,
                         std::optional<bool> global, std::optional<bool> replaceQuoteMarker) {
  component_.reset();
  matches_.reset();
  subject_.reset();
  if (missingComponentScopes.load() > 0) return false;

  auto component = std::make_shared<RegexComponent>();
  component->ignoreCase = !caseSensitive.value_or(false);
  component->multiline = multiline.value_or(true);
  component->global = global.value_or(true);
  component->pattern =
      replaceQuoteMarker.value_or(false)
          ? ReplaceSubtext(View(pattern), View(QuoteMarker()), "\"", 1, kNoLimit, true)
          : pattern;
  component->engine = MakeEngine(View(component->pattern), {.ignoreCase = component->ignoreCase,
                                                            .multiline = component->multiline});
  component_ = component;

  const bool withImage = component->engine && component->engine->NeedsImage();
  auto held = std::make_shared<const Subject>(View(subject), withImage);
  subject_ = held;
  if (!component->engine) return false;

  auto matches = std::make_shared<MatchCollection>();
  matches->engine = component->engine;
  matches->subject = held;
  if (!component->engine->Execute(*held, component->global, matches->list)) return false;
  matches_ = matches;
  return true;
}

void RegexObject::Noop() {}

Text RegexObject::GetPattern() const { return component_ ? component_->pattern : Text(); }

Text RegexObject::ReplaceMatches(const Text& replacement) {
  if (!component_ || !matches_) return Text();
  const RegexEngine& engine = *matches_->engine;
  const Subject& subject = *matches_->subject;
  const std::u16string_view units = subject.Units();
  const ReplacementTemplate expansion(GbkToUtf16Units(View(replacement)), engine.GroupCount());
  std::u16string out;
  out.reserve(units.size());
  std::size_t last = 0;
  const std::vector<Span> noGroups;
  const std::vector<Span>& matches = matches_->list.matches;
  for (std::size_t i = 0; i < matches.size(); ++i) {
    const auto start = static_cast<std::size_t>(matches[i].start);
    out.append(units.substr(last, start - last));
    if (expansion.UsesGroups()) {
      expansion.AppendTo(units, matches[i], engine.Groups(subject, matches_->list, i), out);
    } else {
      expansion.AppendTo(units, matches[i], noGroups, out);
    }
    last = start + static_cast<std::size_t>(matches[i].length);
  }
  out.append(units.substr(last));
  return Utf16UnitsToGbk(out);
}

int RegexObject::MatchCount() const {
  return matches_ ? static_cast<int>(matches_->list.matches.size()) : 0;
}

bool RegexObject::FindMatch(int index, std::size_t& slot) const {
  if (!matches_ || index < 1 || index > MatchCount()) return false;
  slot = static_cast<std::size_t>(index - 1);
  return true;
}

// The search the position out-parameter is defined by: the match text looked for in the code-page
// 936 subject from byte position `firstIndex`, made 0-based (-1 from FindText becomes -2).
int RegexObject::PositionOf(const Text& text, int firstIndex) const {
  static const Text kNoSubject;
  const Text& subjectText = subject_ ? subject_->GbkText() : kNoSubject;
  return FindText(View(subjectText), View(text), firstIndex) - 1;
}

Text RegexObject::MatchText(int index, int* position) const {
  Text result;
  int firstIndex = 0;
  std::size_t slot = 0;
  if (FindMatch(index, slot)) {
    const Span span = matches_->list.matches[slot];
    result = SpanText(*matches_->subject, span);
    firstIndex = span.start;
  }
  if (position) *position = PositionOf(result, firstIndex);
  return result;
}

Text RegexObject::SubmatchText(int matchIndex, int submatchIndex, int* position) const {
  Text result;
  int firstIndex = 0;
  std::size_t slot = 0;
  if (FindMatch(matchIndex, slot)) {
    firstIndex = matches_->list.matches[slot].start;
    const RegexEngine& engine = *matches_->engine;
    if (submatchIndex >= 1 && submatchIndex <= engine.GroupCount()) {
      const std::vector<Span> groups = engine.Groups(*matches_->subject, matches_->list, slot);
      result = SpanText(*matches_->subject, groups[static_cast<std::size_t>(submatchIndex - 1)]);
    }
  }
  if (position) *position = PositionOf(result, firstIndex);
  return result;
}

int RegexObject::SubmatchCount() const {
  if (MatchCount() == 0) return 0;
  return matches_->engine->GroupCount();
}

}  // namespace vantrel
