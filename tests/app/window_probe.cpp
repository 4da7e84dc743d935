// The window program driven from inside, for process tests. Every message box is written to
// standard output as "box: <caption>: <text>" and closed at once.
//
//   window_probe close URL     types URL, presses Start, and closes the window once a line
//                              arrives on standard input
//   window_probe fatal-worker  a worker thread raises a fatal error
//   window_probe fatal-gui     the GUI thread raises a fatal error
#include <QMessageBox>
#include <QMetaObject>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "app/harvest_page.h"
#include "app/message_box.h"
#include "app/start_thread.h"
#include "app/window_program.h"
#include "net/web_visit.h"
#include "text/codepage.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const std::string mode = argv[1];
  const std::string url = argc > 2 ? argv[2] : "";
  vantrel::WebVisitGlobalInit();
  vantrel::SetMessageBoxObserver([](QMessageBox& box) {
    std::printf("box: %s: %s\n", box.windowTitle().toStdString().c_str(),
                box.text().toStdString().c_str());
    std::fflush(stdout);
    box.done(QMessageBox::Ok);
  });
  vantrel::RunWindowProgram(argc, argv, &vantrel::HarvestPage, [&](vantrel::MainWindow& window) {
    static const vantrel::Text fatal = vantrel::GbkFromUtf8("测试用的致命错误");
    if (mode == "close") {
      window.SetControlText(vantrel::Control::编辑框1, vantrel::GbkFromUtf8(url));
      window.OnStartClicked();
      std::thread([&window] {
        char line[64];
        if (std::fgets(line, sizeof line, stdin) != nullptr) {
          QMetaObject::invokeMethod(
              &window, [&window] { window.close(); }, Qt::QueuedConnection);
        }
      }).detach();
    } else if (mode == "fatal-worker") {
      vantrel::StartThread([] { vantrel::FatalError(0, fatal); });
    } else if (mode == "fatal-gui") {
      QTimer::singleShot(0, &window, [] { vantrel::FatalError(0, fatal); });
    }
  });
}
