// The one seam between the core and any front end: how a harvest reaches the window.
//
// A front end (the Qt window, the command-line tool, a test's recorder) implements these services.
// Every service may be called from any thread. Texts are code-page 936. This header includes
// nothing from Qt, so the core and the command-line tool build without it.
#ifndef VANTREL_APP_WINDOW_SERVICES_H_
#define VANTREL_APP_WINDOW_SERVICES_H_

#include <optional>

#include "text/values.h"

namespace vantrel {

// The controls of the main window, named as the window description names them.
enum class Control { 标签1, 编辑框1, 超级编辑框1, 按钮1, 按钮2 };

// Message-box style flags the system uses.
inline constexpr int kMbOk = 0;
inline constexpr int kMbIconError = 0x10;
inline constexpr int kMbSystemModal = 0x1000;
inline constexpr int kMbTaskModal = 0x2000;

class WindowServices {
 public:
  virtual ~WindowServices() = default;

  // A fresh copy of the whole current text of `control`.
  virtual Text ReadControlText(Control control) = 0;

  // Replaces the whole text of `control` by `text`.
  virtual void WriteControlText(Control control, const Text& text) = 0;

  // Reads the whole text of `control`, joins `text` to its end and writes the result back, as one
  // step that no other call to these services interleaves with. Two harvests appending at once
  // therefore never lose each other's lines.
  virtual void AppendControlText(Control control, const Text& text) = 0;

  // Shows `message` in a modal message box and returns once it is closed. `style` holds
  // message-box flags (kMbIconError shows the error icon); `title` absent means "信息：".
  // Returns the button pressed (1, OK), which no caller uses.
  virtual int ShowMessage(const Text& message, int style,
                          const std::optional<Text>& title = std::nullopt) = 0;
};

// The default message-box title, "信息：", in code page 936.
const Text& DefaultMessageTitle();

}  // namespace vantrel

#endif  // VANTREL_APP_WINDOW_SERVICES_H_
