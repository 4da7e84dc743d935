#include "app/message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QMetaObject>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <cstdio>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

#include "app/qt_text.h"
#include "app/window_services.h"
#include "text/codepage.h"
#include "text/values.h"

namespace vantrel {
namespace {

std::mutex observerMutex;
MessageBoxObserver observer;

void NotifyShown(QMessageBox& box) {
  MessageBoxObserver current;
  {
    std::lock_guard<std::mutex> lock(observerMutex);
    current = observer;
  }
  if (current) current(box);
}

QMessageBox::Icon IconOf(int style) {
  switch (style & 0xF0) {
    case 0x10:
      return QMessageBox::Critical;
    case 0x20:
      return QMessageBox::Question;
    case 0x30:
      return QMessageBox::Warning;
    case 0x40:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

void Configure(QMessageBox& box, const QString& message, const QString& caption, int style) {
  box.setIcon(IconOf(style));
  box.setWindowTitle(caption);
  box.setText(message);
  box.setStandardButtons(QMessageBox::Ok);
}

int ShowModalOnGuiThread(const QString& message, const QString& caption, int style,
                         QWidget* owner) {
  // With an owner the box blocks that window alone, as a box shown by the window's own thread
  // does; boxes that workers have up are other threads' windows and stay usable.
  QMessageBox box(owner);
  Configure(box, message, caption, style);
  box.setWindowModality(owner != nullptr ? Qt::WindowModal : Qt::ApplicationModal);
  QTimer::singleShot(0, &box, [&box] { NotifyShown(box); });
  box.exec();
  return 1;
}

int ShowForWorker(const QString& message, const QString& caption, int style) {
  auto closed = std::make_shared<std::promise<void>>();
  std::future<void> waiting = closed->get_future();
  QMetaObject::invokeMethod(
      qApp,
      [message, caption, style, closed] {
        auto* box = new QMessageBox;
        Configure(*box, message, caption, style);
        box->setWindowModality(Qt::NonModal);
        box->setAttribute(Qt::WA_DeleteOnClose);
        auto once = std::make_shared<std::atomic<bool>>(false);
        QObject::connect(box, &QDialog::finished, [closed, once](int) {
          if (!once->exchange(true)) closed->set_value();
        });
        box->show();
        NotifyShown(*box);
      },
      Qt::QueuedConnection);
  waiting.wait();
  return 1;
}

void ReportFatalInBox(const Text& report) {
  const std::string utf8 = GbkToUtf8(View(report));
  std::fprintf(stderr, "%s\n", utf8.c_str());
  std::fflush(stderr);
  static const Text caption = GbkFromUtf8("错误");
  ShowMessageBox(QStringFromText(report), QStringFromText(caption), kMbIconError);
}

}  // namespace

int ShowMessageBox(const QString& message, const QString& caption, int style, QWidget* owner) {
  if (qApp == nullptr) return 1;
  if (QThread::currentThread() == qApp->thread()) {
    return ShowModalOnGuiThread(message, caption, style, owner);
  }
  return ShowForWorker(message, caption, style);
}

void SetMessageBoxObserver(MessageBoxObserver newObserver) {
  std::lock_guard<std::mutex> lock(observerMutex);
  observer = std::move(newObserver);
}

void InstallFatalErrorBox() { SetFatalReporter(&ReportFatalInBox); }

}  // namespace vantrel
