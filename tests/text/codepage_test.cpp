#include "text/codepage.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

Bytes B(std::initializer_list<int> values) {
  Bytes b;
  for (int v : values) b.push_back(static_cast<std::uint8_t>(v));
  return b;
}

TEST(GbkToUtf16, LengthsAndTerminators) {
  EXPECT_EQ(GbkToUtf16("abc"), B({0x61, 0, 0x62, 0, 0x63, 0, 0, 0}));
  EXPECT_EQ(GbkToUtf16Bytes("abc"), B({0x61, 0, 0x62, 0, 0x63, 0, 0, 0}));
  EXPECT_EQ(GbkToUtf16Bytes("abc", true), B({0x61, 0, 0x62, 0, 0x63, 0}));
  EXPECT_EQ(GbkToUtf16("\xD6\xD0"), B({0x2D, 0x4E, 0, 0}));
  EXPECT_TRUE(GbkToUtf16("").empty());
  EXPECT_TRUE(GbkToUtf16Bytes("").empty());
  EXPECT_TRUE(GbkToUtf16Bytes("", true).empty());
}

TEST(Utf16ToGbk, EndsAtZeroUnitAndIgnoresOddByte) {
  struct Case {
    const char* name;
    Bytes input;
    Text expected;
  } cases[] = {
      {"one Chinese character", B({0x2D, 0x4E, 0, 0}), "\xD6\xD0"},
      {"empty", Bytes(), ""},
      {"zero unit ends the text", B({0x61, 0, 0, 0, 0x62, 0}), "a"},
      {"odd final byte ignored", B({0x61, 0, 0x62}), "a"},
      {"no terminator needed", B({0x61, 0, 0x62, 0}), "ab"},
      {"euro sign is byte 80", B({0xAC, 0x20}), "\x80"},
      {"no code-page form becomes ?", B({0x00, 0xAC}), "?"},          // U+AC00, a Hangul syllable
      {"surrogate pair is one ?", B({0x3D, 0xD8, 0x00, 0xDE}), "?"},  // U+1F600
      {"lone surrogate is ?", B({0x3D, 0xD8, 0x61, 0}), "?a"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Utf16ToGbk(c.input), c.expected);
  }
}

// A byte that does not begin a valid code-page 936 character becomes one "?" (U+003F), and the
// conversion goes on with the next byte, so an ASCII letter after a stray lead byte survives.
TEST(GbkToUtf16Units, InvalidBytesBecomeQuestionMarkOneEach) {
  EXPECT_EQ(GbkToUtf16Units("\x81\x20"
                            "a"),
            u"? a");
  EXPECT_EQ(GbkToUtf16Units("\xFF"
                            "b"),
            u"?b");
  EXPECT_EQ(GbkToUtf16Units("x\xD6"), u"x?");  // a lead byte at the very end
  EXPECT_EQ(GbkToUtf16Units("\xD6\xD0\xA1\xA1\xA3\xB1"), u"中\u3000１");
  EXPECT_EQ(GbkToUtf16Units("ab\0cd"), u"ab");
}

TEST(CodePage, RoundTripOfEveryValidDoubleByteCharacter) {
  int checked = 0;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      Text one{static_cast<char>(lead), static_cast<char>(trail)};
      std::u16string units = GbkToUtf16Units(one);
      if (units.size() != 1 || units[0] == u'?') continue;
      ++checked;
      ASSERT_EQ(Utf16UnitsToGbk(units), one) << std::hex << lead << " " << trail;
    }
  }
  EXPECT_GT(checked, 20000);  // GBK defines about 21,886 double-byte characters
}

TEST(CodePage, Utf8AndOtherCharsets) {
  EXPECT_EQ(GbkFromUtf8("中a"),
            "\xD6\xD0"
            "a");
  EXPECT_EQ(GbkToUtf8("\xD6\xD0"
                      "a"),
            "中a");
  EXPECT_EQ(GbkFromUtf8("a\xFF"
                        "b"),
            "a?b");
  Text out = "unchanged";
  EXPECT_FALSE(ConvertToGbk("x", "NO-SUCH-CHARSET", out));
  EXPECT_EQ(out, "unchanged");
  ASSERT_TRUE(ConvertToGbk("caf\xE9 \xA4", "ISO-8859-15", out));
  EXPECT_EQ(out, "caf\xA8\xA6 \x80");  // é has a pinyin form in GBK; the euro sign is 80
}

}  // namespace
}  // namespace vantrel
