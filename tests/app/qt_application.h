// One QApplication for a whole test program, made before the first test runs. Tests run on its
// thread, which is the GUI thread.
#ifndef VANTREL_TESTS_APP_QT_APPLICATION_H_
#define VANTREL_TESTS_APP_QT_APPLICATION_H_

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <functional>
#include <mutex>
#include <vector>

namespace vantrel::testing {

// Runs the GUI thread's events until `done` is true or `timeoutMs` has passed; true when done.
bool WaitFor(const std::function<bool()>& done, int timeoutMs = 20000);

// Clicks the middle of `target` the way the platform delivers a user's click: through its
// top-level window, so that a window blocked by a modal box does not receive it.
void ClickThroughWindowSystem(QWidget* target);

// What a shown message box looked like.
struct SeenBox {
  QString text;
  QString title;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  Qt::WindowModality modality = Qt::NonModal;
  bool wasActiveModal = false;  // the application's active modal widget when it was shown
};

// Records every message box shown while it lives and closes each one at once (or keeps it open
// while `keepOpen` is set, to be closed by CloseOpenBoxes). The observer is removed on destruction.
class BoxRecorder {
 public:
  BoxRecorder();
  ~BoxRecorder();
  BoxRecorder(const BoxRecorder&) = delete;
  BoxRecorder& operator=(const BoxRecorder&) = delete;

  std::vector<SeenBox> Seen() const;
  std::size_t Count() const;
  void KeepOpen(bool keep);
  // The boxes kept open that are still there, in the order they were shown.
  std::vector<QMessageBox*> OpenBoxes() const;
  // Closes the boxes kept open so far.
  void CloseOpenBoxes();

 private:
  mutable std::mutex mutex_;
  std::vector<SeenBox> seen_;
  std::vector<QPointer<QMessageBox>> open_;
  bool keepOpen_ = false;
};

}  // namespace vantrel::testing

#endif  // VANTREL_TESTS_APP_QT_APPLICATION_H_
