#include "app/qt_window_services.h"

#include <QMetaObject>
#include <QThread>
#include <utility>

#include "app/main_window.h"
#include "app/message_box.h"
#include "app/qt_text.h"
#include "text/codepage.h"

namespace vantrel {

QtWindowServices::QtWindowServices(MainWindow* window) : window_(window) {}

template <class F>
void QtWindowServices::OnGuiThread(F&& work) {
  MainWindow* window = window_.data();
  if (window == nullptr) {
    static const Text message = GbkFromUtf8("指定窗口尚未载入");
    FatalError(0, message);
  }
  if (QThread::currentThread() == window->thread()) {
    work(*window);
    return;
  }
  QMetaObject::invokeMethod(
      window, [window, &work] { work(*window); }, Qt::BlockingQueuedConnection);
}

Text QtWindowServices::ReadControlText(Control control) {
  Text result;
  OnGuiThread([&](MainWindow& window) { result = window.ControlText(control); });
  return result;
}

void QtWindowServices::WriteControlText(Control control, const Text& text) {
  OnGuiThread([&](MainWindow& window) { window.SetControlText(control, text); });
}

void QtWindowServices::AppendControlText(Control control, const Text& text) {
  // A worker's appends to the result box are queued and taken in by the GUI thread in batches, so
  // a harvest does not wait for the window once per address; every other call takes them in first.
  MainWindow* target = window_.data();
  if (control == Control::超级编辑框1 && target != nullptr &&
      QThread::currentThread() != target->thread()) {
    target->QueueAppend(text);
    return;
  }
  OnGuiThread([&](MainWindow& window) { window.AppendToControl(control, text); });
}

int QtWindowServices::ShowMessage(const Text& message, int style,
                                  const std::optional<Text>& title) {
  const Text& caption = title ? *title : DefaultMessageTitle();
  // The window owns a box shown on its own thread; a worker's box has no owner.
  const bool onGuiThread = window_ != nullptr && QThread::currentThread() == window_->thread();
  return ShowMessageBox(QStringFromText(message), QStringFromText(caption), style,
                        onGuiThread ? window_.data() : nullptr);
}

}  // namespace vantrel
