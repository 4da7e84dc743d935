// Message boxes of the window program. Whatever thread asks, the GUI thread shows the box.
#ifndef VANTREL_APP_MESSAGE_BOX_H_
#define VANTREL_APP_MESSAGE_BOX_H_

#include <functional>

class QMessageBox;
class QString;
class QWidget;

namespace vantrel {

// Shows `message` under `caption` with the icon that `style` names (kMbIconError: the error icon)
// and an OK button, and returns 1 once the box is closed. Asked on the GUI thread, the box is
// modal: `owner` (the main window) takes no input while it is up, or, without an owner, no window
// of the program does; boxes that workers have up stay usable. Asked on any other thread, the GUI
// thread shows the box without blocking any window, so other harvests go on, and the calling
// thread waits until it is closed. Without a QApplication nothing is shown and the result is 1.
int ShowMessageBox(const QString& message, const QString& caption, int style,
                   QWidget* owner = nullptr);

// Test seam: called on the GUI thread with each box right after it is shown, for instance to read
// it and close it. An empty observer (the default) leaves boxes to the user.
using MessageBoxObserver = std::function<void(QMessageBox& box)>;
void SetMessageBoxObserver(MessageBoxObserver observer);

// Makes FatalError write its report to standard error and show it in an error box captioned
// "错误", from whichever thread raised it, before the process ends with exit code -1.
void InstallFatalErrorBox();

}  // namespace vantrel

#endif  // VANTREL_APP_MESSAGE_BOX_H_
