#include "app/window_program.h"

#include <QApplication>
#include <QIcon>
#include <QScreen>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "app/message_box.h"
#include "text/codepage.h"

namespace vantrel {

namespace {

// False when no window can open: on X11 and Wayland the toolkit needs a display to connect to, and
// without one it would end the process with an abort instead of the system's own report. A
// platform chosen explicitly (QT_QPA_PLATFORM, such as "offscreen") is left to the toolkit.
bool DisplayReachable() {
  return std::getenv("QT_QPA_PLATFORM") != nullptr || std::getenv("DISPLAY") != nullptr ||
         std::getenv("WAYLAND_DISPLAY") != nullptr;
}

[[noreturn]] void WindowCannotBeCreated() {
  static const Text message = GbkFromUtf8("载入启动窗口失败");
  FatalError(0, message);
}

}  // namespace

void RunWindowProgram(int& argc, char** argv, MainWindow::HarvestRoutine harvest,
                      const std::function<void(MainWindow&)>& started) {
  if (!DisplayReachable()) WindowCannotBeCreated();
  // The application lives until the process ends; it is never torn down, since harvests may
  // still be using the window when the user closes it.
  auto* application = new QApplication(argc, argv);
  InstallFatalErrorBox();
  application->setWindowIcon(QIcon(QStringLiteral(":/vantrel/vantrel.svg")));

  QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) WindowCannotBeCreated();
  auto* window = new MainWindow(std::move(harvest));
  window->PlaceOnScreen(screen->geometry());
  window->SetOnClosed([] { QCoreApplication::exit(0); });
  window->show();
  if (started) started(*window);

  const int code = QApplication::exec();
  // Nothing is torn down: running harvests end with the process, wherever they stand.
  std::fflush(nullptr);
  std::_Exit(code);
}

}  // namespace vantrel
