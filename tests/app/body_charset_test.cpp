#include "app/body_charset.h"

#include <gtest/gtest.h>

#include <string>

#include "text/codepage.h"

namespace vantrel {
namespace {

Bytes BodyOf(std::string_view bytes) { return MakeBytes(bytes); }

// "联系邮箱：admin@example.com" in UTF-8 and in GBK.
const std::string kUtf8Contact =
    "\xE8\x81\x94\xE7\xB3\xBB\xE9\x82\xAE\xE7\xAE\xB1\xEF\xBC\x9A"
    "admin@example.com";
const std::string kGbkContact = std::string(View(GbkFromUtf8(kUtf8Contact)));

TEST(CharsetFromHeadersTest, ReadsTheCharsetOfTheLastContentTypeLine) {
  struct Row {
    const char* name;
    const char* headers;
    const char* charset;
  };
  const Row rows[] = {
      {"plain", "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\n\r\n", "utf-8"},
      {"quoted", "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=\"GBK\"\r\n", "GBK"},
      {"any case and blanks", "HTTP/1.1 200 OK\r\ncontent-TYPE:text/html;CharSet = Big5\r\n",
       "Big5"},
      {"no charset", "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n", ""},
      {"no Content-Type", "HTTP/1.1 200 OK\r\nX-Charset: charset=utf-8\r\n", ""},
      {"not a charset parameter", "HTTP/1.1 200 OK\r\nContent-Type: text/html; xcharset=koi8-r\r\n",
       ""},
      {"last line wins", "Content-Type: text/html; charset=utf-8\r\nContent-Type: text/html\r\n",
       ""},
      {"no response: blanks", "                                        ", ""},
      {"empty", "", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(CharsetFromHeaders(row.headers), row.charset);
  }
}

TEST(CharsetFromMetaTest, ReadsBothMetaFormsNearTheStart) {
  struct Row {
    const char* name;
    std::string body;
    const char* charset;
  };
  const Row rows[] = {
      {"meta charset", "<html><head><meta charset=\"utf-8\"></head>", "utf-8"},
      {"unquoted, upper case", "<HTML><HEAD><META CHARSET=UTF-8>", "UTF-8"},
      {"http-equiv", "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\" />",
       "gb2312"},
      {"single quotes", "<meta charset='windows-1252'>", "windows-1252"},
      {"first meta without one", "<meta name=\"x\" content=\"y\"><meta charset=\"big5\">", "big5"},
      {"charset outside a meta tag", "<p>charset=utf-8</p>", ""},
      {"too far from the start", std::string(kMetaScanBytes, ' ') + "<meta charset=\"utf-8\">", ""},
      {"none", "<html><body>hello</body></html>", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(CharsetFromMeta(row.body), row.charset);
  }
}

TEST(IsUtf8WithNonAsciiTest, AcceptsOnlyWellFormedUtf8WithNonAsciiBytes) {
  struct Row {
    const char* name;
    std::string bytes;
    bool expected;
  };
  const Row rows[] = {
      {"Chinese", kUtf8Contact, true},
      {"four-byte character", "\xF0\x9F\x98\x80", true},
      {"ASCII only", "admin@example.com", false},
      {"empty", "", false},
      {"GBK", kGbkContact, false},
      {"overlong slash", "\xC0\xAF", false},
      {"overlong three-byte", "\xE0\x80\xAF", false},
      {"surrogate", "\xED\xA0\x80", false},
      {"above U+10FFFF", "\xF4\x90\x80\x80", false},
      {"cut short", "\xE8\x81", false},
      {"stray continuation", "a\x80", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(IsUtf8WithNonAscii(row.bytes), row.expected);
  }
}

TEST(PageTextFromBodyTest, DecodesByTheDeclaredOrEvidentCharset) {
  const std::string gbkText = kGbkContact;
  struct Row {
    const char* name;
    std::string body;
    std::string headers;
    std::string expected;  // code page 936
  };
  const Row rows[] = {
      // The fault this mends: read as code page 936, "：" in UTF-8 ends in a lead byte that
      // swallows the "a" of "admin".
      {"UTF-8 by header", kUtf8Contact, "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=UTF-8",
       gbkText},
      {"UTF-8 by meta", "<meta charset=\"utf-8\">" + kUtf8Contact, "",
       "<meta charset=\"utf-8\">" + gbkText},
      {"UTF-8 by its bytes", kUtf8Contact, "HTTP/1.1 200 OK\r\nContent-Type: text/html", gbkText},
      {"UTF-8 byte-order mark dropped", "\xEF\xBB\xBF" + kUtf8Contact, "", gbkText},
      {"UTF-16 with a byte-order mark",
       std::string("\xFF\xFE"
                   "a\0@\0b\0.\0c\0",
                   12),
       "", "a@b.c"},
      {"GBK page as it is", gbkText, "Content-Type: text/html; charset=gbk", gbkText},
      {"GB2312 label on GBK bytes", gbkText, "Content-Type: text/html; charset=GB2312", gbkText},
      {"no sign at all", gbkText, "", gbkText},
      {"ISO-8859-1 converted", "caf\xE9 x@y.z", "Content-Type: text/html; charset=iso-8859-1",
       std::string("caf\xA8\xA6 x@y.z")},
      {"unmappable becomes ?", "\xE2\x82\xAC\xE2\x98\x83 a@b.c",
       "Content-Type: text/html; charset=utf-8", std::string("\x80? a@b.c")},
      {"header outranks meta", "<meta charset=\"utf-8\">" + gbkText,
       "Content-Type: text/html; charset=gbk", "<meta charset=\"utf-8\">" + gbkText},
      {"unknown name counts as no sign", kUtf8Contact,
       "Content-Type: text/html; charset=x-no-such-set", gbkText},
      {"ASCII label on UTF-8 bytes", kUtf8Contact, "Content-Type: text/plain; charset=us-ascii",
       gbkText},
      {"zero byte ends the text", std::string("a@b.c\0x@y.z", 11), "", "a@b.c"},
      {"zero byte ends UTF-8 text", kUtf8Contact + std::string("\0\xFF", 2), "", gbkText},
      {"empty body", "", "Content-Type: text/html; charset=utf-8", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(PageTextFromBody(BodyOf(row.body), row.headers), MakeText(row.expected));
  }
}

}  // namespace
}  // namespace vantrel
