#include "match/regex_object.h"

#include <gtest/gtest.h>

#include <string>

#include "match/extract_emails.h"
#include "text/quote_marker.h"

namespace vantrel {
namespace {

TEST(RegexObject, EmailPatternFindsBothAddresses) {
  RegexObject regex;
  ASSERT_TRUE(regex.Create(EmailPattern, "a@b.c x.y@z.w", false, false, true));
  ASSERT_EQ(regex.MatchCount(), 2);
  EXPECT_EQ(regex.MatchText(1), "a@b.c");
  EXPECT_EQ(regex.MatchText(2), "x.y@z.w");
  EXPECT_EQ(regex.MatchText(0), "");
  EXPECT_EQ(regex.MatchText(3), "");
  EXPECT_EQ(regex.MatchText(-1), "");
}

TEST(RegexObject, EmptySubjectRunsAndMatchesNothing) {
  RegexObject regex;
  EXPECT_TRUE(regex.Create(EmailPattern, "", false, false, true));
  EXPECT_EQ(regex.MatchCount(), 0);
  EXPECT_EQ(regex.SubmatchCount(), 0);
}

TEST(RegexObject, InvalidPatternFailsAndReadsEmpty) {
  const char* const invalid[] = {"(", "a)", "[a", "a{3,2}", "*a", "a\\", "(?<=a)b", "(?i)a"};
  for (const char* pattern : invalid) {
    SCOPED_TRACE(pattern);
    RegexObject regex;
    EXPECT_FALSE(regex.Create(pattern, "a(b)c"));
    EXPECT_EQ(regex.MatchCount(), 0);
    EXPECT_EQ(regex.MatchText(1), "");
    EXPECT_EQ(regex.SubmatchCount(), 0);
    EXPECT_EQ(regex.ReplaceMatches("x"), "");
    EXPECT_EQ(regex.GetPattern(), pattern);  // the component holds the pattern it was given
  }
}

TEST(RegexObject, QuoteMarkerStandsForDoubleQuoteOnlyWhenAsked) {
  const Text pattern = QuoteMarker() + "\\w+" + QuoteMarker();
  RegexObject regex;
  ASSERT_TRUE(
      regex.Create(pattern, "say \"hi\" now", std::nullopt, std::nullopt, std::nullopt, true));
  EXPECT_EQ(regex.GetPattern(), "\"\\w+\"");
  ASSERT_EQ(regex.MatchCount(), 1);
  EXPECT_EQ(regex.MatchText(1), "\"hi\"");

  ASSERT_TRUE(regex.Create(pattern, "say \"hi\" now"));
  EXPECT_EQ(regex.GetPattern(), pattern);
  EXPECT_EQ(regex.MatchCount(), 0);
}

TEST(RegexObject, PositionFollowsTheByteSearchFromFirstIndex) {
  struct Case {
    const char* name;
    const char* subject;
    int expectedPosition;
  } cases[] = {
      {"ASCII before the address", "xx a@b.c", 3},
      // First index 3 (two characters and a blank); the search starts at byte offset 2.
      {"two characters and a blank", "\xD6\xD0\xCE\xC4 a@b.c", 5},
      // First index 2; the search starts on the second byte of the first character, loses step
      // and passes over the address.
      {"search out of step",
       "\xD6\xD0\xD6\xD0"
       "a@b.c",
       -2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RegexObject regex;
    ASSERT_TRUE(regex.Create(EmailPattern, c.subject, false, false, true));
    int position = 99;
    EXPECT_EQ(regex.MatchText(1, &position), "a@b.c");
    EXPECT_EQ(position, c.expectedPosition);
  }
}

TEST(RegexObject, PositionOfMissingMatchSearchesForTheEmptyText) {
  RegexObject regex;
  int position = 99;
  EXPECT_EQ(regex.MatchText(1, &position), "");
  EXPECT_EQ(position, -2);  // no subject at all
  ASSERT_TRUE(regex.Create(EmailPattern, "no address", false, false, true));
  EXPECT_EQ(regex.MatchText(1, &position), "");
  EXPECT_EQ(position, 0);  // the empty text is found at the first byte
}

TEST(RegexObject, SubmatchesOfTheEmailPattern) {
  RegexObject regex;
  ASSERT_TRUE(regex.Create(EmailPattern, "a@b.c", false, false, true));
  EXPECT_EQ(regex.SubmatchCount(), 3);
  EXPECT_EQ(regex.SubmatchText(1, 1), "");
  EXPECT_EQ(regex.SubmatchText(1, 0), "");
  EXPECT_EQ(regex.SubmatchText(1, 4), "");
  EXPECT_EQ(regex.SubmatchText(2, 1), "");

  ASSERT_TRUE(regex.Create(EmailPattern, "--\xD6\xD0 x.y@z.w-v", false, false, true));
  EXPECT_EQ(regex.SubmatchText(1, 1), ".y");
  EXPECT_EQ(regex.SubmatchText(1, 2), "");
  EXPECT_EQ(regex.SubmatchText(1, 3), "-v");
  int position = 99;
  EXPECT_EQ(regex.SubmatchText(1, 3, &position), "-v");
  EXPECT_EQ(position, 12);
}

TEST(RegexObject, SubmatchesOnTheGeneralEngine) {
  RegexObject regex;
  ASSERT_TRUE(regex.Create("^(\\w+)\\s(\\w+)?(x)?", "ab cd", true));
  EXPECT_EQ(regex.SubmatchCount(), 3);
  EXPECT_EQ(regex.SubmatchText(1, 1), "ab");
  EXPECT_EQ(regex.SubmatchText(1, 2), "cd");
  EXPECT_EQ(regex.SubmatchText(1, 3), "");
}

TEST(RegexObject, NothingBeforeCreateOrAfterDestroy) {
  RegexObject regex;
  EXPECT_EQ(regex.GetPattern(), "");
  EXPECT_EQ(regex.MatchCount(), 0);
  EXPECT_EQ(regex.SubmatchCount(), 0);
  EXPECT_EQ(regex.ReplaceMatches("x"), "");
  regex.Noop();
  ASSERT_TRUE(regex.Create("b", "abc"));
  regex.Destroy();
  EXPECT_EQ(regex.GetPattern(), "");
  EXPECT_EQ(regex.MatchCount(), 0);
  EXPECT_EQ(regex.MatchText(1), "");
  EXPECT_EQ(regex.ReplaceMatches("x"), "");
}

TEST(RegexObject, AbsentOptionsMeanIgnoreCaseMultilineGlobal) {
  struct Case {
    const char* name;
    std::optional<bool> caseSensitive, multiline, global;
    int expectedCount;
  } cases[] = {
      {"defaults", std::nullopt, std::nullopt, std::nullopt, 2},
      {"case sensitive", true, std::nullopt, std::nullopt, 1},
      {"not multiline", std::nullopt, false, std::nullopt, 1},
      {"not global", std::nullopt, std::nullopt, false, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RegexObject regex;
    ASSERT_TRUE(regex.Create("^b", "b1\nB2", c.caseSensitive, c.multiline, c.global));
    EXPECT_EQ(regex.MatchCount(), c.expectedCount);
  }
}

TEST(RegexObject, PatternLanguage) {
  struct Case {
    const char* name;
    const char* pattern;
    const char* subject;
    int count;
    const char* first;
  } cases[] = {
      {"$ only at the very end", "a$", "a\n", 0, ""},
      {"$ at the end", "a$", "ba", 1, "a"},
      {"\\u escape", "\\u0041+", "xAAy", 1, "AA"},
      {"\\x escape", "\\x41", "xAy", 1, "A"},
      {"\\w is ASCII only", "\\w+", "caf\xA8\xA6!", 1, "caf"},
      {"dot takes a double-byte character", "a.b",
       "a\xD6\xD0"
       "b",
       1,
       "a\xD6\xD0"
       "b"},
      {"dot stops at a line feed", "a.b", "a\nb", 0, ""},
      {"letter escape is the letter", "\\y", "xyz", 1, "y"},
      {"\\v is the vertical tab", "\\v",
       "a\x0b"
       "b\nc",
       1, "\x0b"},
      {"empty class matches nothing", "a[]", "a]", 0, ""},
      {"negated empty class matches anything", "a[^]", "a\n", 1, "a\n"},
      {"double-byte literal in the pattern", "\xD6\xD0+", "x\xD6\xD0\xD6\xD0y", 1,
       "\xD6\xD0\xD6\xD0"},
      {"unset back-reference matches empty", "(a)?\\1b", "b", 1, "b"},
      {"empty matches step one unit", "x*", "ab", 3, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RegexObject regex;
    ASSERT_TRUE(regex.Create(c.pattern, c.subject, false, false, true));
    EXPECT_EQ(regex.MatchCount(), c.count);
    EXPECT_EQ(regex.MatchText(1), c.first);
  }
}

TEST(RegexObject, ReplaceMatchesOnBothEngines) {
  struct Case {
    const char* name;
    const char* pattern;
    const char* subject;
    std::optional<bool> global;
    const char* replacement;
    const char* expected;
  } cases[] = {
      {"groups, linear engine", EmailPattern, "to x.y@z.w, a@b.c!", true, "<$1|$&>",
       "to <.y|x.y@z.w>, <|a@b.c>!"},
      {"groups, general engine", "(\\w+)@(\\w+)\\b", "x@y and p@q", true, "$2@$1", "y@x and q@p"},
      {"first only without global", "o", "foo", false, "0", "f0o"},
      {"before and after", "b", "abc", true, "[$`$']", "a[ac]c"},
      {"empty matches", "x*", "ab", true, "-", "-a-b-"},
      {"word boundaries", "\\b", "ab cd", true, "|", "|ab| |cd|"},
      {"double-byte text kept", "a",
       "\xD6\xD0"
       "a\xCE\xC4",
       true, "\xA3\xC1", "\xD6\xD0\xA3\xC1\xCE\xC4"},
      {"nothing matched", "q", "abc", true, "x", "abc"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RegexObject regex;
    ASSERT_TRUE(regex.Create(c.pattern, c.subject, std::nullopt, std::nullopt, c.global));
    EXPECT_EQ(regex.ReplaceMatches(c.replacement), c.expected);
  }
}

TEST(RegexObject, CreateAgainReplacesEverything) {
  RegexObject regex;
  ASSERT_TRUE(regex.Create(EmailPattern, "a@b.c", false, false, true));
  ASSERT_TRUE(regex.Create("(x)(y)", "xy xy"));
  EXPECT_EQ(regex.GetPattern(), "(x)(y)");
  EXPECT_EQ(regex.MatchCount(), 2);
  EXPECT_EQ(regex.SubmatchCount(), 2);
  EXPECT_FALSE(regex.Create("(", "xy"));
  EXPECT_EQ(regex.MatchCount(), 0);
}

TEST(RegexObject, CloneKeepsAnsweringAfterTheSourceIsGone) {
  auto source = std::make_unique<RegexObject>();
  ASSERT_TRUE(source->Create(EmailPattern, "a@b.c x.y@z.w", false, false, true));
  std::unique_ptr<RegexObject> clone = source->Clone();
  source->Destroy();
  source.reset();
  EXPECT_EQ(clone->GetPattern(), EmailPattern);
  ASSERT_EQ(clone->MatchCount(), 2);
  EXPECT_EQ(clone->MatchText(2), "x.y@z.w");
  EXPECT_EQ(clone->SubmatchText(2, 1), ".y");
  EXPECT_EQ(clone->ReplaceMatches("-"), "- -");
}

TEST(RegexObject, MissingComponentMakesCreateFail) {
  RegexObject regex;
  {
    RegexObject::MissingComponentForTesting missing;
    EXPECT_FALSE(regex.Create(EmailPattern, "a@b.c", false, false, true));
    EXPECT_EQ(regex.GetPattern(), "");
    EXPECT_EQ(regex.MatchCount(), 0);
  }
  EXPECT_TRUE(regex.Create(EmailPattern, "a@b.c", false, false, true));
}

// A runaway search on the general engine reaches its step limit: Create fails instead of hanging.
TEST(RegexObject, RunawayPatternFailsCreate) {
  RegexObject regex;
  EXPECT_FALSE(regex.Create("(a|aa)+$", Text(64, 'a') + "!"));
  EXPECT_EQ(regex.MatchCount(), 0);
}

// A long run of words and dots ahead of the address makes a backtracking search quadratic; the
// e-mail pattern runs on the linear engine and still finds the address.
TEST(RegexObject, EmailPatternSurvivesLongRunsOfWordsAndDots) {
  Text subject;
  for (int i = 0; i < 512 * 1024; ++i) subject += "a.";
  subject += " x.y@z.w";
  RegexObject regex;
  ASSERT_TRUE(regex.Create(EmailPattern, subject, false, false, true));
  ASSERT_EQ(regex.MatchCount(), 1);
  EXPECT_EQ(regex.MatchText(1), "x.y@z.w");
}

}  // namespace
}  // namespace vantrel
