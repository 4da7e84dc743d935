#include "match/replacement.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

std::string Narrow(const std::u16string& s) { return std::string(s.begin(), s.end()); }

// Subject "xxAByy" with the match "AB" at 2 and groups: 1 = "A", 2 = unset, 3..12 = "B".
TEST(ReplacementTemplate, ExpandsDollarForms) {
  const std::u16string subject = u"xxAByy";
  const Span match{2, 2};
  std::vector<Span> groups = {{2, 1}, {}};
  for (int g = 3; g <= 12; ++g) groups.push_back({3, 1});
  struct Case {
    const char* name;
    std::u16string replacement;
    int groupCount;
    const char* expected;
  } cases[] = {
      {"plain", u"<>", 12, "<>"},
      {"dollar dollar", u"$$", 12, "$"},
      {"whole", u"[$&]", 12, "[AB]"},
      {"before and after", u"$`|$'", 12, "xx|yy"},
      {"one digit", u"$1", 12, "A"},
      {"unset group is empty", u"<$2>", 12, "<>"},
      {"two digits", u"$12", 12, "B"},
      {"leading zero", u"$01", 12, "A"},
      {"two digits beyond the groups fall back to one", u"$13", 12, "A3"},
      {"one digit beyond the groups is literal", u"$5", 2, "$5"},
      {"zero is literal", u"$0$00", 12, "$0$00"},
      {"lone dollar at the end", u"a$", 12, "a$"},
      {"dollar before other text", u"$x$", 12, "$x$"},
      {"no groups at all", u"$1", 0, "$1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ReplacementTemplate t(c.replacement, c.groupCount);
    std::u16string out;
    t.AppendTo(subject, match, groups, out);
    EXPECT_EQ(Narrow(out), c.expected);
  }
}

TEST(ReplacementTemplate, SaysWhetherGroupsAreNeeded) {
  EXPECT_FALSE(ReplacementTemplate(u"$&$`$'$$x", 3).UsesGroups());
  EXPECT_FALSE(ReplacementTemplate(u"$4", 3).UsesGroups());
  EXPECT_TRUE(ReplacementTemplate(u"a$3", 3).UsesGroups());
}

}  // namespace
}  // namespace vantrel
