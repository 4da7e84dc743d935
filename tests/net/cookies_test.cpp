#include "net/cookies.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(MergeCookies, Table) {
  struct Case {
    const char* cookiesBefore;
    const char* newBefore;
    const char* cookiesAfter;
    const char* newAfter;
  } cases[] = {
      {"a=1; b=2", "b=3", "b=3; a=1", "b=3"},
      {"a=1; b=2; c=3", "b=deleted; d=4", "d=4; a=1; c=3", "b=deleted;d=4"},
      {"x=1", "x=deleted", "", "x=deleted"},
      {"a=1; a=2", "", "a=1", ""},
      {"", "a=1; a=2; a=1", "a=1; a=2", "a=1;a=2;a=1"},
      {"sid = x y; lang=en", "lang=fr", "lang=fr; sid=xy", "lang=fr"},
      {"A=1", "a=2", "a=2; A=1", "a=2"},
      {"a=1;;b=2", "", "a=1; ; b=2", ""},
      {"a=1; b=2;", "c=3;", "c=3; a=1; b=2", "c=3;"},
      {"", "", "", ""},
      // Tabs are not blanks and stay inside the items.
      {"t=\t1", "", "t=\t1", ""},
      // Full-width blanks go like ASCII ones.
      {"k=\xA1\xA1v", "", "k=v", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.cookiesBefore) + " | " + c.newBefore);
    Text cookies = c.cookiesBefore;
    Text newCookies = c.newBefore;
    const Text result = MergeCookies(cookies, newCookies);
    EXPECT_EQ(cookies, c.cookiesAfter);
    EXPECT_EQ(result, c.cookiesAfter);
    EXPECT_EQ(newCookies, c.newAfter);
  }
}

TEST(RemoveDuplicateItems, Cases) {
  struct Case {
    const char* name;
    const char* text;
    const char* delimiter;
    const char* expected;
  } cases[] = {
      {"one empty item stays", "x,y,x,,z,,", ",", "x,y,,z"},
      {"empty text", "", ",", ""},
      {"empty delimiter", "a,a", "", "a,a"},
      {"two-byte delimiter", "a; b; a", "; ", "a; b"},
      {"case counts", "A,a,A", ",", "A,a"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Text text = c.text;
    EXPECT_EQ(RemoveDuplicateItems(text, c.delimiter), c.expected);
    EXPECT_EQ(text, c.text);
  }
}

TEST(CookieListRoutines, NamesAndIndexes) {
  EXPECT_EQ(CookieName(" sid =1"), "sid");
  EXPECT_EQ(CookieName("flag"), "flag");
  EXPECT_EQ(CookieName("=v"), "");
  EXPECT_EQ(CookieName("a=b=c"), "a");

  const TextArray items{"a=1", " b =2", "", "c"};
  EXPECT_TRUE(CookieListHasName(items, "b"));
  EXPECT_TRUE(CookieListHasName(items, "c"));
  EXPECT_TRUE(CookieListHasName(items, ""));
  EXPECT_FALSE(CookieListHasName(items, "A"));
  EXPECT_FALSE(CookieListHasName(TextArray(), ""));

  EXPECT_EQ(IndexOfText(items, "a=1"), 1);
  EXPECT_EQ(IndexOfText(items, ""), 3);
  EXPECT_EQ(IndexOfText(items, "b =2"), -1);
  EXPECT_EQ(IndexOfText(TextArray{"x", "x"}, "x"), 1);
  EXPECT_EQ(IndexOfText(TextArray(), ""), -1);
}

}  // namespace
}  // namespace vantrel
