#include "match/subject.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "text/codepage.h"

namespace vantrel {
namespace {

// The image made in the conversion pass must agree with the plain conversion, code unit by code
// unit, whatever mix of ASCII, double-byte, stray and single high bytes the text holds.
TEST(Subject, UnitsAndImageAgreeWithPlainConversion) {
  const std::string pieces[] = {"a",    "Z",        "@",        ".",        " ",
                                "\r\n", "abcdefgh", "\xD6\xD0", "\xA3\xC1", "\x80",
                                "\x81", "\x81@",    "\xFF",     "\xD6",     "0123456789"};
  std::mt19937 random(20261211);
  for (int round = 0; round < 500; ++round) {
    std::string text;
    const int count = static_cast<int>(random() % 40);
    for (int k = 0; k < count; ++k) text += pieces[random() % std::size(pieces)];
    SCOPED_TRACE("round " + std::to_string(round));
    const Subject subject(text, true);
    const std::u16string expected = GbkToUtf16Units(text);
    ASSERT_EQ(subject.Units(), expected);
    ASSERT_EQ(subject.Image().size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
      const char want = expected[i] < 0x80 ? static_cast<char>(expected[i]) : kImagePlaceholder;
      ASSERT_EQ(subject.Image()[i], want) << "unit " << i;
    }
    EXPECT_EQ(subject.GbkText(), Utf16UnitsToGbk(expected));
    const Subject withoutImage(text, false);
    for (std::size_t start = 0; start < expected.size(); start += 3) {
      const std::size_t length = std::min<std::size_t>(5, expected.size() - start);
      const Text want = Utf16UnitsToGbk(std::u16string_view(expected).substr(start, length));
      ASSERT_EQ(subject.TextOf(start, length), want) << "from " << start;
      ASSERT_EQ(withoutImage.TextOf(start, length), want) << "from " << start;
    }
  }
}

// Any bytes at all (but zero): every lead, trail and stray byte combination decodes as the plain
// conversion does.
TEST(Subject, ArbitraryBytesDecodeAsPlainConversion) {
  std::mt19937 random(936);
  for (int round = 0; round < 200; ++round) {
    std::string text(static_cast<std::size_t>(random() % 600), 'x');
    for (char& c : text) c = static_cast<char>(1 + random() % 255);
    SCOPED_TRACE("round " + std::to_string(round));
    const Subject subject(text, true);
    const std::u16string expected = GbkToUtf16Units(text);
    ASSERT_EQ(subject.Units(), expected);
    for (std::size_t i = 0; i < expected.size(); ++i)
      ASSERT_EQ(subject.Image()[i],
                expected[i] < 0x80 ? static_cast<char>(expected[i]) : kImagePlaceholder);
  }
}

TEST(Subject, StopsAtZeroByteAndMakesImageOnlyOnRequest) {
  const Subject withZero(std::string_view("ab\0\xD6\xD0", 5), true);
  EXPECT_EQ(withZero.Units(), u"ab");
  EXPECT_EQ(withZero.Image(), "ab");
  const Subject leadBeforeZero(std::string_view("abcdefgh\xD6\0x", 11), true);
  EXPECT_EQ(leadBeforeZero.Units(), u"abcdefgh?");
  const Subject noImage("\xD6\xD0x", false);
  EXPECT_EQ(noImage.Units(), u"\u4E2Dx");
  EXPECT_TRUE(noImage.Image().empty());
  const Subject empty("", true);
  EXPECT_EQ(empty.Size(), 0u);
  EXPECT_TRUE(empty.GbkText().empty());
}

}  // namespace
}  // namespace vantrel
