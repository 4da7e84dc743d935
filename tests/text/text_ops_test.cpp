#include "text/text_ops.h"

#include <gtest/gtest.h>

#include <optional>

namespace vantrel {
namespace {

TEST(TextLength, CountsBytes) {
  EXPECT_EQ(TextLength(""), 0);
  EXPECT_EQ(TextLength("\xD6\xD0\xCE\xC4"), 4);
  EXPECT_EQ(BytesLength(Bytes{0, 0, 1}), 3);
}

TEST(FindText, WindowsSteppingAndCase) {
  struct Case {
    const char* name;
    const char* text;
    const char* sub;
    int start;
    bool ignoreCase;
    int expected;
  } cases[] = {
      {"first", "abcabc", "bc", 1, false, 2},
      {"from 3", "abcabc", "bc", 3, false, 5},
      {"start 0 means 1", "abcabc", "bc", 0, false, 2},
      {"negative start means 1", "abcabc", "bc", -5, false, 2},
      {"start past end", "abcabc", "bc", 7, false, -1},
      {"last byte", "abcabc", "c", 6, false, 6},
      {"empty sub", "abc", "", 1, false, 1},
      {"empty sub from 3 gives 1", "abc", "", 3, false, 1},
      {"empty sub past end", "abc", "", 4, false, -1},
      {"empty in empty", "", "", 1, false, -1},
      {"folded", "User-Agent: x", "user-agent:", 1, true, 1},
      {"exact", "User-Agent: x", "user-agent:", 1, false, -1},
      {"no match on a second byte",
       "\xB0"
       "AB",
       "AB", 1, false, -1},
      {"after a double-byte character",
       "\xB0"
       "AB",
       "B", 1, false, 3},
      {"after two characters",
       "\xD6\xD0\xD6\xD0"
       "a",
       "a", 1, false, 5},
      {"out of step passes over",
       "\xD6\xD0\xD6\xD0"
       "a",
       "a", 2, false, -1},
      {"incomplete final character ends", "a\xB0", "x", 1, false, -1},
      {"incomplete final character compared", "a\xB0", "\xB0", 1, false, 2},
      {"fold only ASCII", "\xB0\x41", "\xB0\x61", 1, true, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FindText(c.text, c.sub, c.start, c.ignoreCase), c.expected);
  }
}

TEST(FindTextReverse, WindowEndsBeforeStart) {
  struct Case {
    const char* name;
    const char* text;
    const char* sub;
    std::optional<int> start;
    int expected;
  } cases[] = {
      {"whole text", "a.b.c", ".", std::nullopt, 4},
      {"start 5", "a.b.c", ".", 5, 4},
      {"start 4 excludes position 4", "a.b.c", ".", 4, 2},
      {"start 2", "a.b.c", ".", 2, -1},
      {"start 1", "a.b.c", ".", 1, -1},
      {"start beyond", "a.b.c", ".", 99, 4},
      {"overlapping", "aaa", "aa", std::nullopt, 2},
      {"empty sub", "abc", "", std::nullopt, 1},
      {"empty sub empty window", "abc", "", 1, -1},
      {"steps over double-byte",
       "\xB0."
       "a.",
       ".", std::nullopt, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FindTextReverse(c.text, c.sub, c.start), c.expected);
  }
  EXPECT_EQ(FindTextReverse("A.a", "a", std::nullopt, true), 3);
}

TEST(Cutting, CountsPlainBytes) {
  EXPECT_EQ(TextLeft("abc", 5), "abc");
  EXPECT_EQ(TextLeft("abc", 0), "");
  EXPECT_EQ(TextLeft("abc", -1), "");
  EXPECT_EQ(TextRight("abc", 2), "bc");
  EXPECT_EQ(TextRight("abc", -2), "");
  EXPECT_EQ(TextMid("abcdef", 2, 3), "bcd");
  EXPECT_EQ(TextMid("abcdef", 5, 10), "ef");
  EXPECT_EQ(TextMid("abcdef", 0, 2), "");
  EXPECT_EQ(TextMid("abcdef", 7, 1), "");
  EXPECT_EQ(TextMid("abcdef", 2, 0), "");
  EXPECT_EQ(TextLeft("\xD6\xD0", 1), "\xD6");  // may cut a character in two
}

TEST(ReplaceSubtext, LimitsStartAndCase) {
  struct Case {
    const char* name;
    const char* text;
    const char* sub;
    const char* replacement;
    int start, count;
    bool caseSensitive;
    const char* expected;
  } cases[] = {
      {"all", "a-b-c", "-", "+", 1, kNoLimit, true, "a+b+c"},
      {"count 1", "a-b-c", "-", "+", 1, 1, true, "a+b-c"},
      {"count 0", "a-b-c", "-", "+", 1, 0, true, "a-b-c"},
      {"from 3", "a-b-c", "-", "+", 3, kNoLimit, true, "a-b+c"},
      {"start 0 means 1", "a-b-c", "-", "+", 0, kNoLimit, true, "a+b+c"},
      {"start past end", "a-b-c", "-", "+", 6, kNoLimit, true, "a-b-c"},
      {"delete", "a-b-c", "-", "", 1, kNoLimit, true, "abc"},
      {"exact case", "Abc-abc", "abc", "x", 1, kNoLimit, true, "Abc-x"},
      {"folded", "Abc-abc", "abc", "x", 1, kNoLimit, false, "x-x"},
      {"no overlap", "aaa", "aa", "b", 1, kNoLimit, true, "ba"},
      {"replacement not rescanned", "ab", "a", "aa", 1, kNoLimit, true, "aab"},
      {"empty sub", "abc", "", "x", 1, kNoLimit, true, "abc"},
      {"not inside a double-byte character", "\xB0\x41\x41", "A", "x", 1, kNoLimit, true,
       "\xB0\x41x"},
      {"incomplete final character dropped by one-byte scan", "ab\xB0", "x", "y", 1, kNoLimit, true,
       "ab"},
      {"incomplete final character kept by longer scan", "ab\xB0", "xy", "z", 1, kNoLimit, true,
       "ab\xB0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ReplaceSubtext(c.text, c.sub, c.replacement, c.start, c.count, c.caseSensitive),
              c.expected);
  }
}

TEST(SplitText, PiecesBetweenDelimiters) {
  struct Case {
    const char* name;
    const char* text;
    std::optional<const char*> delimiter;
    std::optional<int> maxItems;
    TextArray expected;
  } cases[] = {
      {"default comma", "a,b", std::nullopt, std::nullopt, {"a", "b"}},
      {"empty middle item", "a,,b", ",", std::nullopt, {"a", "", "b"}},
      {"leading delimiter", ",a", ",", std::nullopt, {"", "a"}},
      {"trailing delimiter", "a,b,", ",", std::nullopt, {"a", "b"}},
      {"no delimiter", "abc", ";", std::nullopt, {"abc"}},
      {"empty text", "", ";", std::nullopt, {}},
      {"empty delimiter", "a;b", "", std::nullopt, {"a;b"}},
      {"limit", "a;b;c", ";", 2, {"a", "b"}},
      {"limit 0", "a;b;c", ";", 0, {}},
      {"negative limit", "a;b;c", ";", -1, {}},
      {"two-byte delimiter", "a\r\nb\r\n\r\nc", "\r\n", std::nullopt, {"a", "b", "", "c"}},
      {"not inside a double-byte character", "\xB0;;b", ";", std::nullopt, {"\xB0;", "b"}},
      {"incomplete final character kept in last item",
       "a;b\xB0",
       ";",
       std::nullopt,
       {"a", "b\xB0"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TextArray got = c.delimiter ? SplitText(c.text, *c.delimiter, c.maxItems) : SplitText(c.text);
    EXPECT_EQ(got, c.expected);
  }
}

TEST(Blanks, TrimRemoveAndLower) {
  struct Case {
    const char* name;
    const char* text;
    const char* trimmed;
  } trims[] = {
      {"ASCII and full-width blanks", "\x20\xA1\xA1\x61\x20\x62\xA1\xA1\x20", "a b"},
      {"blanks only", " \xA1\xA1 ", ""},
      {"tab and line breaks are not blanks", "\x09\x61\x0D\x0A", "\x09\x61\x0D\x0A"},
      {"incomplete final character cut, blanks before it stay", " a \xB0", "a "},
      {"lone incomplete character", "\xA1", ""},
      {"blank second byte is not a blank", "a\xB0\x20", "a\xB0\x20"},
  };
  for (const Case& c : trims) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(TrimBothEnds(c.text), c.trimmed);
  }
  EXPECT_EQ(RemoveAllSpaces("\x61\x20\xA1\xA1\x62"), "ab");
  EXPECT_EQ(RemoveAllSpaces("a\tb\r\n"), "a\tb\r\n");
  EXPECT_EQ(RemoveAllSpaces("\xB0\x20 x\xB0"), "\xB0\x20x");
  EXPECT_EQ(ToLowerCase("ABC-xyz"), "abc-xyz");
  EXPECT_EQ(ToLowerCase("\xB0\x41Z"), "\xB0\x41z");
  EXPECT_EQ(ToLowerCase("A\xB0"), "a\xB0");
}

TEST(ToInteger, FullWidthSignsAndWrap) {
  struct Case {
    const char* text;
    int expected;
  } cases[] = {
      {"  -42abc", -42},
      {"8080", 8080},
      {"abc", 0},
      {"", 0},
      {"0x1F", 0},
      {"12.7", 12},
      {"\xA3\xB1\xA3\xB2", 12},
      {"4294967297", 1},
      {"\t\n+7", 7},
      {"\xA1\xA1\xA3\xAD\xA3\xB5", -5},  // full-width blank, minus and 5
      {"2147483648", INT32_MIN},
      {"1\xB0", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ToInteger(c.text), c.expected);
  }
}

TEST(Making, BlanksBytesAndConversions) {
  EXPECT_EQ(BlankText(3), "   ");
  EXPECT_EQ(BlankText(0), "");
  EXPECT_EQ(BlankBytes(4), (Bytes{0, 0, 0, 0}));
  EXPECT_TRUE(BlankBytes(-1).empty());
  EXPECT_EQ(BytesLeft(Bytes{1, 2, 3}, 2), (Bytes{1, 2}));
  EXPECT_EQ(BytesLeft(Bytes{1, 2, 3}, 9), (Bytes{1, 2, 3}));
  EXPECT_TRUE(BytesLeft(Bytes{1, 2, 3}, -1).empty());
  EXPECT_EQ(TextToBytes("ab"), (Bytes{0x61, 0x62}));
  EXPECT_EQ(BytesToText(Bytes{0x61, 0x62, 0, 0x63}), "ab");
  EXPECT_EQ(BytesToText(Bytes{0, 0x61}), "");
  EXPECT_EQ(BytesToText(Bytes()), "");  // no storage at all
  EXPECT_EQ(ReadTextFromBytes(Bytes{0x61, 0x62}), "ab");
  EXPECT_EQ(CharFromCode(0), "");
  EXPECT_EQ(CharFromCode(65), "A");
  EXPECT_EQ(CharFromCode(0xB0), "\xB0");
  EXPECT_EQ(BitOr({1, 2, 4}), 7);
  EXPECT_EQ(BitOr({6, 3}), 7);
  EXPECT_EQ(BitOr({static_cast<int>(0x80000000u), 0x10}), static_cast<int>(0x80000010u));
}

}  // namespace
}  // namespace vantrel
