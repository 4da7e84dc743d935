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

void RunWindowProgram(int& argc, char** argv, MainWindow::HarvestRoutine harvest,
                      const std::function<void(MainWindow&)>& started) {
  // The application lives until the process ends; it is never torn down, since harvests may
  // still be using the window when the user closes it.
  auto* application = new QApplication(argc, argv);
  InstallFatalErrorBox();
  application->setWindowIcon(QIcon(QStringLiteral(":/vantrel/vantrel.svg")));

  QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) {
    static const Text message = GbkFromUtf8("载入启动窗口失败");
    FatalError(0, message);
  }
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
