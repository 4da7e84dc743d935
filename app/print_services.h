// Window services for the command line: the URL box holds the URL given, appended result text
// goes to standard output and messages go to standard error, all in UTF-8.
#ifndef VANTREL_APP_PRINT_SERVICES_H_
#define VANTREL_APP_PRINT_SERVICES_H_

#include <cstdio>
#include <mutex>

#include "app/window_services.h"

namespace vantrel {

class PrintServices final : public WindowServices {
 public:
  // `url` is the code-page 936 text that 编辑框1 reads as.
  PrintServices(Text url, std::FILE* out, std::FILE* err);

  // 编辑框1 gives the URL; every other control reads as empty, since what was printed is gone.
  Text ReadControlText(Control control) override;
  // Text written or appended to 超级编辑框1 is printed with each "\r\n" as "\n"; writes to the
  // URL box replace the URL; other controls are ignored.
  void WriteControlText(Control control, const Text& text) override;
  void AppendControlText(Control control, const Text& text) override;
  // Prints the message and a line break to the error stream; returns 1 (OK).
  int ShowMessage(const Text& message, int style, const std::optional<Text>& title) override;

  // True once any message was shown.
  bool MessageShown() const;

 private:
  void Print(const Text& text);

  mutable std::mutex mutex_;
  Text url_;
  std::FILE* out_;
  std::FILE* err_;
  bool messageShown_ = false;
};

}  // namespace vantrel

#endif  // VANTREL_APP_PRINT_SERVICES_H_
