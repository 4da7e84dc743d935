#include "net/marker.h"

#include <gtest/gtest.h>

#include "text/codepage.h"

namespace vantrel {
namespace {

TEST(QuoteMarker, IsTheFiveGbkBytes) { EXPECT_EQ(QuoteMarker(), Text("#\xD2\xFD\xBA\xC5")); }

TEST(TextBetween, Cases) {
  const Text q = QuoteMarker();
  struct Case {
    const char* name;
    Text text;
    Text start;
    Text end;
    int startPosition;
    bool ignoreCase;
    Text expected;
  } cases[] = {
      {"leading blank kept", "Host: a.example; b=1", "Host:", ";", 0, false, " a.example"},
      {"end right after start", "ab", "a", "b", 0, false, ""},
      {"no end marker", "a=1", "a=", ";", 0, false, ""},
      {"end marker only before start", ";a=1", "a=", ";", 0, false, ""},
      {"no start marker", "x;y", "a=", ";", 0, false, ""},
      {"quote markers", "id=\"42\";", "id=" + q, q, 0, false, "42"},
      {"start position skips first", "a=1;b=2;a=3;", "a=", ";", 5, false, "3"},
      {"start position 1 is the beginning", "a=1;b=2;a=3;", "a=", ";", 1, false, "1"},
      {"negative start position", "a=1;b=2;", "a=", ";", -7, false, "1"},
      {"ignore case", "USER-AGENT: X;", "User-Agent:", ";", 0, true, " X"},
      {"exact case by default", "USER-AGENT: X;", "User-Agent:", ";", 0, false, ""},
      {"empty start marker", "abc;d", "", ";", 0, false, "abc"},
      {"empty start marker past the end", "abc;d", "", ";", 9, false, ""},
      {"empty end marker", "abc;d", "a", "", 0, false, ""},
      {"end searched after the start marker", "a;b=1;", "b=", ";", 0, false, "1"},
      {"double-byte text", "k=\xD6\xD0\xCE\xC4;", "k=", ";", 0, false, "\xD6\xD0\xCE\xC4"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Text startBefore = c.start;
    EXPECT_EQ(TextBetween(c.text, c.start, c.end, c.startPosition, c.ignoreCase), c.expected);
    EXPECT_EQ(c.start, startBefore);  // the caller's marker is not rewritten
  }
}

TEST(TextAfterColon, Cases) {
  struct Case {
    const char* name;
    Text line;
    Text expected;
  } cases[] = {
      {"only the first colon separates", "Location: http://y.example.com:8080/p",
       "http://y.example.com:8080/p"},
      {"no colon", "no colon here", ""},
      {"nothing after the colon", "Name:", ""},
      {"blanks trimmed", "Name:  v ", "v"},
      {"tab and line break stay", "Name:\tv\r\n", "\tv\r\n"},
      {"full-width blank trimmed", "Name:\xA1\xA1v", "v"},
      {"empty line", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(TextAfterColon(c.line), c.expected);
  }
}

}  // namespace
}  // namespace vantrel
