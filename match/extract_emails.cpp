#include "match/extract_emails.h"

#include "match/regex_object.h"
#include "text/codepage.h"

namespace vantrel {

const char EmailPattern[] = "\\w+([-+.]\\w+)*@\\w+([-.]\\w+)*\\.\\w+([-.]\\w+)*";
static_assert(sizeof EmailPattern == 43 + 1);

namespace {

const Text& CreateFailedMessage() {
  static const Text message = GbkFromUtf8("正则创建失败，请检查正则表达式语句是否有误！");
  return message;
}

const Text& NoMatchMessage() {
  static const Text message = GbkFromUtf8("匹配失败，请检检查正则语句是否有误，数量：0");
  return message;
}

constexpr int kMessageStyle = kMbOk | kMbIconError;  // 16

int AppendMatches(RegexObject& regex, const Text& text, WindowServices& services) {
  if (!regex.Create(EmailPattern, text, false, false, true, true)) {
    services.ShowMessage(CreateFailedMessage(), kMessageStyle);
    return 0;
  }
  const int count = regex.MatchCount();
  if (count == 0) {
    services.ShowMessage(NoMatchMessage(), kMessageStyle);
    return 0;
  }
  for (int i = 1; i <= count; ++i) {
    const Text m = regex.MatchText(i);
    services.AppendControlText(Control::超级编辑框1, ConcatText({View(m), "\r\n"}));
  }
  return count;
}

}  // namespace

int ExtractEmails(const Text& text, WindowServices& services) {
  RegexObject regex;
  const int result = AppendMatches(regex, text, services);
  regex.Destroy();
  return result;
}

}  // namespace vantrel
