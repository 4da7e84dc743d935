#include "app/print_services.h"

#include <string>
#include <utility>

#include "text/codepage.h"

namespace vantrel {
namespace {

// UTF-8 of `text` with each "\r\n" (and a lone "\r") written as "\n".
std::string TerminalText(const Text& text) {
  std::string utf8 = GbkToUtf8(View(text));
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    if (utf8[i] == '\r') {
      out.push_back('\n');
      if (i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
    } else {
      out.push_back(utf8[i]);
    }
  }
  return out;
}

}  // namespace

PrintServices::PrintServices(Text url, std::FILE* out, std::FILE* err)
    : url_(std::move(url)), out_(out), err_(err) {}

Text PrintServices::ReadControlText(Control control) {
  std::lock_guard<std::mutex> lock(mutex_);
  return control == Control::编辑框1 ? url_ : Text();
}

void PrintServices::WriteControlText(Control control, const Text& text) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (control == Control::编辑框1) {
    url_ = text;
  } else if (control == Control::超级编辑框1) {
    Print(text);
  }
}

void PrintServices::AppendControlText(Control control, const Text& text) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (control == Control::编辑框1) {
    url_ += text;
  } else if (control == Control::超级编辑框1) {
    Print(text);
  }
}

int PrintServices::ShowMessage(const Text& message, int /*style*/,
                               const std::optional<Text>& /*title*/) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string line = TerminalText(message);
  line.push_back('\n');
  std::fflush(out_);
  std::fwrite(line.data(), 1, line.size(), err_);
  std::fflush(err_);
  messageShown_ = true;
  return 1;
}

bool PrintServices::MessageShown() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return messageShown_;
}

void PrintServices::Print(const Text& text) {
  std::string printed = TerminalText(text);
  std::fwrite(printed.data(), 1, printed.size(), out_);
}

}  // namespace vantrel
