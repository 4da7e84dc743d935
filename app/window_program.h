// The window program from start to end: the application, the main window centred on the primary
// screen, the event loop, and the end of the process when the window is closed.
#ifndef VANTREL_APP_WINDOW_PROGRAM_H_
#define VANTREL_APP_WINDOW_PROGRAM_H_

#include <functional>

#include "app/main_window.h"

namespace vantrel {

// Runs the window program and ends the process: exit code 0 once the user closes the window, at
// once, whatever harvests are still running (they are neither waited for nor told). FatalError
// shows its report in a box captioned "错误" and ends the process with exit code -1; when no
// display can be reached the report "载入启动窗口失败" goes to standard error alone. `started`,
// when given, runs on the GUI thread once the window is shown (a hook for process tests).
[[noreturn]] void RunWindowProgram(int& argc, char** argv, MainWindow::HarvestRoutine harvest,
                                   const std::function<void(MainWindow&)>& started = {});

}  // namespace vantrel

#endif  // VANTREL_APP_WINDOW_PROGRAM_H_
