// The linear-time engine: RE2 in Latin-1 mode over the subject's one-byte image.
#include <re2/re2.h>

#include <string>

#include "match/linear_subset.h"
#include "match/regex_engine.h"

namespace vantrel {
namespace {

// Room for RE2's compiled program and its DFA state cache; a cache that fills up too often makes
// RE2 fall back to its slower (still linear) matcher.
constexpr std::int64_t kRe2MaxMemory = 64 << 20;

// The image as RE2 text; never a null pointer, so that an empty group that took part in a match is
// told apart from one that did not even in the empty subject.
re2::StringPiece ImageText(const Subject& subject, std::size_t length) {
  static const char kEmpty[1] = {0};
  const std::string_view image = subject.Image();
  return re2::StringPiece(image.data() != nullptr ? image.data() : kEmpty, length);
}

class LinearEngine final : public RegexEngine {
 public:
  LinearEngine(std::string_view pattern, const RE2::Options& options)
      : re_(re2::StringPiece(pattern.data(), pattern.size()), options) {}

  bool ok() const { return re_.ok(); }
  bool NeedsImage() const override { return true; }
  int GroupCount() const override { return re_.NumberOfCapturingGroups(); }

  bool Execute(const Subject& subject, bool global, MatchList& out) const override {
    const std::size_t n = subject.Image().size();
    const re2::StringPiece text = ImageText(subject, n);
    std::size_t pos = 0;
    while (pos <= n) {
      // Only the whole match: asking for groups here would roughly double the cost.
      re2::StringPiece m;
      if (!re_.Match(text, pos, n, RE2::UNANCHORED, &m, 1)) break;
      const auto start = static_cast<std::size_t>(m.data() - text.data());
      out.matches.push_back(
          {static_cast<std::int32_t>(start), static_cast<std::int32_t>(m.size())});
      if (!global) break;
      pos = start + m.size() + (m.empty() ? 1 : 0);
    }
    return true;
  }

  // Runs the pattern again, anchored at the match's start, over the subject cut at the match's
  // end. With leftmost-first matching the preferred match from that start is the one found
  // before, so the groups are the ones it had.
  std::vector<Span> Groups(const Subject& subject, const MatchList& list,
                           std::size_t index) const override {
    const int groups = GroupCount();
    std::vector<Span> result(static_cast<std::size_t>(groups));
    const Span whole = list.matches[index];
    const auto end = static_cast<std::size_t>(whole.start + whole.length);
    const re2::StringPiece text = ImageText(subject, end);
    std::vector<re2::StringPiece> sub(static_cast<std::size_t>(groups) + 1);
    if (!re_.Match(text, static_cast<std::size_t>(whole.start), end, RE2::ANCHOR_START, sub.data(),
                   groups + 1))
      return result;
    for (int g = 1; g <= groups; ++g) {
      const re2::StringPiece& s = sub[static_cast<std::size_t>(g)];
      if (s.data() == nullptr) continue;
      result[static_cast<std::size_t>(g - 1)] = {static_cast<std::int32_t>(s.data() - text.data()),
                                                 static_cast<std::int32_t>(s.size())};
    }
    return result;
  }

 private:
  RE2 re_;
};

}  // namespace

std::unique_ptr<RegexEngine> MakeLinearEngine(std::string_view pattern, EngineOptions options) {
  if (!IsLinearSubset(pattern)) return nullptr;
  RE2::Options re2Options;
  re2Options.set_encoding(RE2::Options::EncodingLatin1);
  re2Options.set_case_sensitive(!options.ignoreCase);
  re2Options.set_log_errors(false);
  re2Options.set_max_mem(kRe2MaxMemory);
  // Multiline changes only ^ and $, which the subset leaves out.
  auto engine = std::make_unique<LinearEngine>(pattern, re2Options);
  if (!engine->ok()) return nullptr;
  return engine;
}

}  // namespace vantrel
