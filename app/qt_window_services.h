// The window services of the main window. Each call runs on the GUI thread: directly when made
// there, otherwise as a blocking queued call that the calling thread waits for. Calls are thus
// handled one at a time, and an append never interleaves with another call. The one exception is
// a worker's append to 超级编辑框1: it is queued and returns at once (see MainWindow::QueueAppend);
// it still reaches the box whole, in order, and before any later call is carried out.
#ifndef VANTREL_APP_QT_WINDOW_SERVICES_H_
#define VANTREL_APP_QT_WINDOW_SERVICES_H_

#include <QPointer>

#include "app/window_services.h"

namespace vantrel {

class MainWindow;

class QtWindowServices final : public WindowServices {
 public:
  explicit QtWindowServices(MainWindow* window);

  Text ReadControlText(Control control) override;
  void WriteControlText(Control control, const Text& text) override;
  void AppendControlText(Control control, const Text& text) override;
  // The box is captioned `title`, or "信息：" without one; see ShowMessageBox.
  int ShowMessage(const Text& message, int style, const std::optional<Text>& title) override;

 private:
  template <class F>
  void OnGuiThread(F&& work);

  QPointer<MainWindow> window_;
};

}  // namespace vantrel

#endif  // VANTREL_APP_QT_WINDOW_SERVICES_H_
