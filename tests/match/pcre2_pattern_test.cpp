#include "match/pcre2_pattern.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

std::string Narrow(const std::u16string& s) { return std::string(s.begin(), s.end()); }

TEST(ToPcre2Pattern, RewritesWhereTheLanguagesDiffer) {
  struct Case {
    const char* name;
    std::u16string pattern;
    std::u16string expected;
  } cases[] = {
      {"unchanged", u"\\w+([-+.]\\w+)*@\\d\\s\\b(?:x)(?=y)(?!z)",
       u"\\w+([-+.]\\w+)*@\\d\\s\\b(?:x)(?=y)(?!z)"},
      {"vertical tab", u"a\\vb[\\v]", u"a\\x0bb[\\x0b]"},
      {"letters without meaning", u"\\y\\A\\z\\Z\\G\\K\\Q\\E\\R\\h\\p\\X", u"yAzZGKQERhpX"},
      {"\\B in a class is B", u"\\B[\\B]", u"\\B[B]"},
      {"bracket inside a class", u"[[:a:]]", u"[\\[:a:]]"},
      {"empty classes close at once", u"[]a][^]b]", u"[]a][^]b]"},
      {"escaped bracket ends no class", u"[\\]x]", u"[\\]x]"},
      {"brace that is no quantifier", u"a{x}{,2}", u"a{x}{,2}"},
      {"control escape", u"\\cA\\c1", u"\\cA\\\\c1"},
      {"unicode and hex escapes kept", u"\\u0041\\x41", u"\\u0041\\x41"},
      {"lazy quantifiers", u"a*?b+?c??d{2,3}?", u"a*?b+?c??d{2,3}?"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::optional<std::u16string> out = ToPcre2Pattern(c.pattern);
    ASSERT_TRUE(out.has_value());
    EXPECT_EQ(Narrow(*out), Narrow(c.expected));
  }
}

TEST(ToPcre2Pattern, RejectsWhatThePatternLanguageDoesNotHave) {
  const std::u16string rejected[] = {u"(?<=a)b", u"(?<n>a)", u"(?i)a", u"(?>a)", u"(?#c)",
                                     u"(*UTF)a", u"a*+",     u"a++",   u"a?+",   u"a{2}+",
                                     u"a*{2}",   u"a\\",     u"(?"};
  for (const std::u16string& p : rejected) {
    SCOPED_TRACE(Narrow(p));
    EXPECT_FALSE(ToPcre2Pattern(p).has_value());
  }
}

}  // namespace
}  // namespace vantrel
