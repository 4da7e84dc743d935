// The linear-time engine against the general engine: for every pattern the linear engine takes,
// both must find the same matches and the same groups. Subjects are generated from a fixed seed;
// a failure names the round, the options and the subject, so it can be replayed.
#include "match/regex_engine.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "match/extract_emails.h"
#include "text/codepage.h"

namespace vantrel {
namespace {

constexpr std::uint32_t kSeed = 0x5EED2026;
constexpr int kRounds = 300;

// Pieces of GBK text: word characters of both cases, the e-mail punctuation, blanks, line breaks,
// double-byte characters, the single-byte euro sign and a stray lead byte (which decodes to "?").
const std::string kPieces[] = {
    "a",    "b",  "c",   "x",     "A",       "B",  "Z",    "0",  "7",        "_",        "-",
    "+",    ".",  "@",   "@",     " ",       "\t", "\r\n", "\n", "\xD6\xD0", "\xA3\xC1", "\x80",
    "\x81", "ab", "a.b", "x@y.z", "A.B@C.D", "..", "--",   "__", "a-b+c",
};

std::string MakeSubject(std::mt19937& random) {
  std::string text;
  const int count = static_cast<int>(random() % 48);
  for (int k = 0; k < count; ++k) text += kPieces[random() % std::size(kPieces)];
  return text;
}

std::string Printable(const std::string& s) {
  std::string out;
  for (unsigned char c : s) {
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  return out;
}

struct Found {
  std::vector<Span> matches;
  std::vector<std::vector<Span>> groups;
};

Found RunEngine(const RegexEngine& engine, const Subject& subject, bool global) {
  MatchList list;
  EXPECT_TRUE(engine.Execute(subject, global, list));
  Found found{list.matches, {}};
  for (std::size_t i = 0; i < list.matches.size(); ++i)
    found.groups.push_back(engine.Groups(subject, list, i));
  return found;
}

const char* const kPatterns[] = {
    EmailPattern,
    "\\w+",
    "\\W+",
    "\\d+\\.?\\d*",
    "\\D\\d",
    "a.c",
    ".+@",
    ".*?x",
    "[a-c]+",
    "[^a-c@]+",
    "[\\W_]+",
    "[^\\W]+",
    "[^\\D]",
    "[Z-a]+",
    "[.@-]",
    "(a|ab)(c|bcd)?",
    "(\\w+)@(\\w+)",
    "(\\w)(\\w)?(\\w)?",
    "(?:ab|a)+?b",
    "(a)|(b)|(x)",
    "\\w{2,3}",
    "\\w{2,}?",
    "(\\w{2})+",
    "(.)(.)",
    "a*",
    "a?",
    "(a?)",
    "a|",
    "(a|b)?c",
    "a{0}b",
    "(a){0}b",
    "x*?",
    "A\\.B",
    "([-+.]\\w+)*@",
    "((a)|(b))+",
    "(\\w+\\.)+\\w+",
};

TEST(Engines, LinearEngineTakesEveryTablePattern) {
  for (const char* pattern : kPatterns) {
    SCOPED_TRACE(pattern);
    EXPECT_NE(MakeLinearEngine(pattern, {}), nullptr);
  }
}

TEST(Engines, LinearAndGeneralEnginesAgree) {
  for (const char* pattern : kPatterns) {
    for (bool ignoreCase : {true, false}) {
      for (bool global : {true, false}) {
        const EngineOptions options{.ignoreCase = ignoreCase, .multiline = false};
        auto linear = MakeLinearEngine(pattern, options);
        auto general = MakeGeneralEngine(pattern, options);
        ASSERT_NE(linear, nullptr) << pattern;
        ASSERT_NE(general, nullptr) << pattern;
        ASSERT_EQ(linear->GroupCount(), general->GroupCount()) << pattern;
        std::mt19937 random(kSeed);
        for (int round = 0; round < kRounds; ++round) {
          const std::string text = MakeSubject(random);
          SCOPED_TRACE(std::string("pattern ") + pattern + (ignoreCase ? " ignoreCase" : "") +
                       (global ? " global" : "") + " round " + std::to_string(round) +
                       " subject \"" + Printable(text) + "\"");
          const Subject withImage(text, true);
          const Found a = RunEngine(*linear, withImage, global);
          const Found b = RunEngine(*general, withImage, global);
          ASSERT_EQ(a.matches, b.matches);
          ASSERT_EQ(a.groups, b.groups);
        }
      }
    }
  }
}

// Patterns drawn at random from the linear subset's elements (nested groups, alternation, lazy and
// counted quantifiers, classes with escapes), each compared over generated subjects.
class PatternMaker {
 public:
  explicit PatternMaker(std::uint32_t seed) : random_(seed) {}

  std::string Alternation(int depth) {
    std::string out = Sequence(depth);
    if (Chance(4)) out += "|" + Sequence(depth);
    return out;
  }

 private:
  bool Chance(int oneIn) { return random_() % static_cast<std::uint32_t>(oneIn) == 0; }
  template <std::size_t N>
  const char* Pick(const char* const (&items)[N]) {
    return items[random_() % N];
  }

  std::string Sequence(int depth) {
    std::string out;
    const int count = 1 + static_cast<int>(random_() % 3);
    for (int i = 0; i < count; ++i) out += Atom(depth) + Quantifier();
    return out;
  }

  std::string Atom(int depth) {
    static const char* const kSimple[] = {"a", "b", "x", "A",   "@",   "\\.", "-",   "\\+",
                                          "_", "0", ".", "\\w", "\\W", "\\d", "\\D", " "};
    static const char* const kClassItems[] = {"a-c", "x",   "@",   "\\w", "\\d", "\\W",
                                              "_",   "\\.", "A-Z", "0-9", "+",   " "};
    const auto kind = static_cast<std::uint32_t>(random_() % 10);
    if (kind < 6 || depth >= 3) return Pick(kSimple);
    if (kind < 8) {
      std::string out = Chance(3) ? "[^" : "[";
      const int items = 1 + static_cast<int>(random_() % 3);
      for (int i = 0; i < items; ++i) out += Pick(kClassItems);
      if (Chance(4)) out += "-";
      return out + "]";
    }
    return std::string(Chance(3) ? "(?:" : "(") + Alternation(depth + 1) + ")";
  }

  std::string Quantifier() {
    static const char* const kQuantifiers[] = {"*", "+", "?", "{2}", "{1,2}", "{0,2}", "{2,}"};
    if (Chance(2)) return "";
    std::string out = Pick(kQuantifiers);
    if (Chance(3)) out += "?";
    return out;
  }

  std::mt19937 random_;
};

TEST(Engines, RandomSubsetPatternsAgree) {
  PatternMaker maker(kSeed);
  int compared = 0;
  for (int p = 0; p < 400; ++p) {
    const std::string pattern = maker.Alternation(0);
    const bool ignoreCase = p % 2 == 0;
    auto linear = MakeLinearEngine(pattern, {.ignoreCase = ignoreCase});
    if (!linear) continue;  // outside the subset (an empty-matching loop, mostly)
    auto general = MakeGeneralEngine(pattern, {.ignoreCase = ignoreCase});
    ASSERT_NE(general, nullptr) << pattern;
    ++compared;
    std::mt19937 random(kSeed + static_cast<std::uint32_t>(p));
    for (int round = 0; round < 60; ++round) {
      const std::string text = MakeSubject(random);
      SCOPED_TRACE("pattern " + pattern + (ignoreCase ? " ignoreCase" : "") + " round " +
                   std::to_string(round) + " subject \"" + Printable(text) + "\"");
      const Subject subject(text, true);
      const Found a = RunEngine(*linear, subject, true);
      const Found b = RunEngine(*general, subject, true);
      ASSERT_EQ(a.matches, b.matches);
      ASSERT_EQ(a.groups, b.groups);
    }
  }
  EXPECT_GT(compared, 200);  // the generator must mostly stay inside the subset
}

// The placeholder byte stands for every non-ASCII code unit; it must not be taken for a letter
// when case is ignored, nor for a word character or digit.
TEST(Engines, NonAsciiCodeUnitsMatchOnlyDotAndNegations) {
  const std::string text = "\xD6\xD0\x80\xA3\xC1";  // 中 € Ａ
  struct Case {
    const char* pattern;
    int expected;
  } cases[] = {{".", 3},   {"\\W", 3},       {"\\D", 3},   {"[^a]", 3},
               {"\\w", 0}, {"[\\x00-z]", 0}, {"[a-z]", 0}, {"\\d", 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pattern);
    auto general = MakeGeneralEngine(c.pattern, {.ignoreCase = true});
    ASSERT_NE(general, nullptr);
    const Subject subject(text, true);
    MatchList list;
    ASSERT_TRUE(general->Execute(subject, true, list));
    EXPECT_EQ(static_cast<int>(list.matches.size()), c.expected);
    if (auto linear = MakeLinearEngine(c.pattern, {.ignoreCase = true})) {
      MatchList linearList;
      ASSERT_TRUE(linear->Execute(subject, true, linearList));
      EXPECT_EQ(linearList.matches, list.matches);
    }
  }
}

TEST(Engines, MakeEnginePrefersTheLinearEngine) {
  auto email = MakeEngine(EmailPattern, {.ignoreCase = true});
  ASSERT_NE(email, nullptr);
  EXPECT_TRUE(email->NeedsImage());
  auto anchored = MakeEngine("^\\w+$", {});
  ASSERT_NE(anchored, nullptr);
  EXPECT_FALSE(anchored->NeedsImage());
  EXPECT_EQ(MakeEngine("(", {}), nullptr);
}

// A pattern with catastrophic backtracking stops at the step limit: Execute fails at once
// instead of running for ever.
TEST(Engines, GeneralEngineStopsARunawaySearch) {
  auto engine = MakeGeneralEngine("(a|aa)+$", {});
  ASSERT_NE(engine, nullptr);
  const Subject subject(std::string(64, 'a') + "!", false);
  MatchList list;
  EXPECT_FALSE(engine->Execute(subject, true, list));
}

}  // namespace
}  // namespace vantrel
