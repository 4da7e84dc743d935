#include "text/values.h"

#include <gtest/gtest.h>

#include "text/codepage.h"

namespace vantrel {
namespace {

TEST(CompareText, OrdersByUnsignedBytes) {
  struct Case {
    const char* name;
    Text left, right;
    int expected;
  } cases[] = {
      {"empty equals empty literal", Text(), Text(""), 0},
      {"a after empty", "a", "", 1},
      {"empty before a", "", "a", -1},
      {"capital before small", "A", "a", -1},
      {"longer after its prefix", "ab", "a", 1},
      {"double-byte after ASCII", "\xD6\xD0", "z", 1},
      {"equal", "abc", "abc", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(CompareText(c.left, c.right), c.expected);
  }
}

TEST(ConcatText, JoinsInOrderSkippingEmptyParts) {
  EXPECT_EQ(ConcatText({"ab", "", "c"}), "abc");
  EXPECT_EQ(ConcatText({"", ""}), "");
  Text self = "x";
  self = ConcatText({self, "y", self});  // a part may be the variable assigned to
  EXPECT_EQ(self, "xyx");
}

TEST(ConcatBytes, JoinsBytesWithZeros) {
  EXPECT_TRUE(ConcatBytes(Bytes(), Bytes()).empty());
  EXPECT_EQ(ConcatBytes(Bytes{0, 1}, Bytes{2}), (Bytes{0, 1, 2}));
}

TEST(BytesEqual, ComparesCountAndBytes) {
  EXPECT_TRUE(BytesEqual(Bytes(), Bytes{}));
  EXPECT_FALSE(BytesEqual(Bytes{0}, Bytes()));
  EXPECT_FALSE(BytesEqual(Bytes{1, 2}, Bytes{1, 3}));
  EXPECT_TRUE(BytesEqual(Bytes{1, 2}, Bytes{1, 2}));
}

TEST(TextArray, AppendStoresCopies) {
  TextArray items;
  EXPECT_EQ(ArrayCount(items), 0);
  Text source = "a";
  AppendItem(items, source);
  source = "b";
  AppendItem(items, source);
  source = "changed";
  ASSERT_EQ(ArrayCount(items), 2);
  EXPECT_EQ(items[1], "a");
  EXPECT_EQ(items[2], "b");
}

TEST(FatalErrorReport, HasCodeAndMessageLinesOnlyWhenGiven) {
  EXPECT_EQ(GbkToUtf8(FatalErrorReport(0, Text())), "运行时出错!\r\n\r\n");
  EXPECT_EQ(GbkToUtf8(FatalErrorReport(4, GbkFromUtf8("信息"))),
            "运行时出错!\r\n\r\n错误代码：4\r\n\r\n错误信息：信息\r\n");
  EXPECT_EQ(GbkToUtf8(FatalErrorReport(0, "m")), "运行时出错!\r\n\r\n错误信息：m\r\n");
}

using FatalErrorDeathTest = ::testing::Test;

TEST_F(FatalErrorDeathTest, IndexBelowOneEndsWithCode4) {
  TextArray items{"a", "b"};
  EXPECT_EXIT((void)items[0], ::testing::ExitedWithCode(255),
              "错误代码：4\r\n\r\n错误信息：数组成员引用下标必须大于等于1");
}

TEST_F(FatalErrorDeathTest, IndexAboveCountEndsWithCode1) {
  TextArray items{"a", "b"};
  EXPECT_EXIT((void)items[3], ::testing::ExitedWithCode(255),
              "错误代码：1\r\n\r\n错误信息：数组成员引用下标超出定义范围");
}

TEST_F(FatalErrorDeathTest, FailedAllocationIsReportedNotCrashed) {
  EXPECT_EXIT(CheckedAllocate(SIZE_MAX / 4), ::testing::ExitedWithCode(255),
              "错误信息：分配 [0-9]+ 字节内存失败!");
}

TEST_F(FatalErrorDeathTest, ConcatenationBeyondThirtyTwoBitsIsReported) {
  // The size is checked before any byte is read, so the parts need not exist in full.
  static const char byte = 'x';
  std::string_view huge(&byte, static_cast<std::size_t>(kMaxValueSize));
  EXPECT_EXIT(ConcatText({huge, "ab"}), ::testing::ExitedWithCode(255),
              "分配 2147483650 字节内存失败!");
}

TEST_F(FatalErrorDeathTest, InstalledReporterReceivesTheReport) {
  EXPECT_EXIT(
      {
        SetFatalReporter([](const Text& report) {
          std::fputs(("reported:" + GbkToUtf8(report)).c_str(), stderr);
        });
        FatalError(7, "boom");
      },
      ::testing::ExitedWithCode(255), "reported:运行时出错!\r\n\r\n错误代码：7");
}

}  // namespace
}  // namespace vantrel
