#include "match/linear_subset.h"

#include <gtest/gtest.h>

#include "match/extract_emails.h"

namespace vantrel {
namespace {

TEST(IsLinearSubset, TakesOnlyWhatBothEnginesReadAlike) {
  struct Case {
    const char* pattern;
    bool expected;
  } cases[] = {
      {EmailPattern, true},
      {"abc", true},
      {"a.c", true},
      {"\\w+\\W\\d\\D", true},
      {"[a-z0-9_.+-]+", true},
      {"[^\\w@]", true},
      {"[-a]", true},
      {"[a\\-z\\]]", true},
      {"(?:ab|cd)*?e", true},
      {"(a)(b)?(c){2,3}d{4}e{5,}", true},
      {"a|", true},
      {"(a?)", true},
      {"\\.\\*\\?\\(\\)\\[\\{\\|\\\\\\/", true},
      {"", true},
      {"^a", false},
      {"a$", false},
      {"\\ba", false},
      {"\\s", false},
      {"(a)\\1", false},
      {"(?=a)", false},
      {"(?!a)", false},
      {"(?i)a", false},
      {"a*+", false},
      {"a**", false},
      {"a{2}{3}", false},
      {"(a*)*", false},
      {"(a?)+", false},
      {"(a|)+", false},
      {"(?:)*", false},
      {"[]", false},
      {"[^]", false},
      {"[]a]", false},
      {"[[:alpha:]]", false},
      {"[\\w-.]", false},
      {"[a-\\w]", false},
      {"[b-a]", false},
      {"a{", false},
      {"a{,3}", false},
      {"a{3,2}", false},
      {"}", false},
      {"]", false},
      {"\\_", false},
      {"\\u0041", false},
      {"\\x41", false},
      {"\\n", false},
      {"(", false},
      {")", false},
      {"a)", false},
      {"[a", false},
      {"a\\", false},
      {"\xD6\xD0", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pattern);
    EXPECT_EQ(IsLinearSubset(c.pattern), c.expected);
  }
}

TEST(IsLinearSubset, DeepNestingGoesToTheGeneralEngine) {
  std::string deep(100, '(');
  deep += 'a';
  deep += std::string(100, ')');
  EXPECT_FALSE(IsLinearSubset(deep));
  std::string shallow(10, '(');
  shallow += 'a';
  shallow += std::string(10, ')');
  EXPECT_TRUE(IsLinearSubset(shallow));
}

}  // namespace
}  // namespace vantrel
