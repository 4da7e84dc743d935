#include "match/extract_emails.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <vector>

#include "match/regex_object.h"
#include "text/codepage.h"

namespace vantrel {
namespace {

// Records what a harvest does to the window. Appends happen in place, as the window does them.
class RecordingServices : public WindowServices {
 public:
  Text ReadControlText(Control control) override {
    ++reads;
    return texts[control];
  }
  void WriteControlText(Control control, const Text& text) override {
    ++writes;
    texts[control] = text;
  }
  void AppendControlText(Control control, const Text& text) override {
    appended.push_back(text);
    texts[control] += text;
  }
  int ShowMessage(const Text& message, int style, const std::optional<Text>& title) override {
    messages.push_back({message, style, title});
    return 1;
  }

  struct Message {
    Text text;
    int style;
    std::optional<Text> title;
  };
  std::map<Control, Text> texts;
  std::vector<Text> appended;
  std::vector<Message> messages;
  int reads = 0;
  int writes = 0;
};

const Text& NoMatch() {
  static const Text text = GbkFromUtf8("匹配失败，请检检查正则语句是否有误，数量：0");
  return text;
}
const Text& CreateFailed() {
  static const Text text = GbkFromUtf8("正则创建失败，请检查正则表达式语句是否有误！");
  return text;
}

TEST(EmailPattern, IsTheFixedPattern) {
  EXPECT_EQ(std::strlen(EmailPattern), 43u);
  EXPECT_STREQ(EmailPattern, "\\w+([-+.]\\w+)*@\\w+([-.]\\w+)*\\.\\w+([-.]\\w+)*");
}

TEST(ExtractEmails, AppendsEachAddressWithLineBreak) {
  struct Case {
    const char* name;
    Text boxBefore;
    Text page;
    int expected;
    Text boxAfter;
  } cases[] = {
      {"two addresses, empty box", "", "mail a@b.c or x.y@z.w", 2, "a@b.c\r\nx.y@z.w\r\n"},
      {"joined to old text", "old", "see a@b.c", 1, "olda@b.c\r\n"},
      {"repeats kept", "", "a@b.c, a@b.c; a@b.c", 3, "a@b.c\r\na@b.c\r\na@b.c\r\n"},
      {"letter case kept", "", "Write to A.B@C.D today", 1, "A.B@C.D\r\n"},
      {"among double-byte text", "",
       "\xD6\xD0\xCE\xC4"
       "mail:user-1+tag@mail.example-host.cn\xA3\xAC",
       1, "user-1+tag@mail.example-host.cn\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingServices services;
    services.texts[Control::超级编辑框1] = c.boxBefore;
    EXPECT_EQ(ExtractEmails(c.page, services), c.expected);
    EXPECT_EQ(services.texts[Control::超级编辑框1], c.boxAfter);
    EXPECT_EQ(static_cast<int>(services.appended.size()), c.expected);  // one append per match
    EXPECT_TRUE(services.messages.empty());
    // The read-join-write of each append is the window's one atomic service, never done here.
    EXPECT_EQ(services.reads, 0);
    EXPECT_EQ(services.writes, 0);
  }
}

TEST(ExtractEmails, SamePageTwiceListsItTwice) {
  RecordingServices services;
  const Text page = "mail a@b.c or x.y@z.w";
  EXPECT_EQ(ExtractEmails(page, services), 2);
  EXPECT_EQ(ExtractEmails(page, services), 2);
  EXPECT_EQ(services.texts[Control::超级编辑框1], "a@b.c\r\nx.y@z.w\r\na@b.c\r\nx.y@z.w\r\n");
}

TEST(ExtractEmails, NoAddressShowsTheNoMatchMessage) {
  for (const char* page : {"no at sign here", "", "a@b", "@b.c"}) {
    SCOPED_TRACE(page);
    RecordingServices services;
    services.texts[Control::超级编辑框1] = "kept";
    EXPECT_EQ(ExtractEmails(page, services), 0);
    EXPECT_EQ(services.texts[Control::超级编辑框1], "kept");
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text, NoMatch());
    EXPECT_EQ(services.messages[0].style, 16);
    EXPECT_FALSE(services.messages[0].title.has_value());
  }
}

TEST(ExtractEmails, MissingComponentShowsTheCreateMessage) {
  RecordingServices services;
  services.texts[Control::超级编辑框1] = "kept";
  {
    RegexObject::MissingComponentForTesting missing;
    EXPECT_EQ(ExtractEmails("a@b.c", services), 0);
  }
  EXPECT_EQ(services.texts[Control::超级编辑框1], "kept");
  ASSERT_EQ(services.messages.size(), 1u);
  EXPECT_EQ(services.messages[0].text, CreateFailed());
  EXPECT_EQ(services.messages[0].style, 16);
  EXPECT_FALSE(services.messages[0].title.has_value());
}

}  // namespace
}  // namespace vantrel
