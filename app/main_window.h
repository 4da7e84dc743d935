// The main window: a URL box, a result box, Start and About, at fixed places in a fixed-size
// window centred on the primary screen. Start runs one harvest on a new thread per press; About
// shows the author credit. The window also carries the window services that harvests use.
#ifndef VANTREL_APP_MAIN_WINDOW_H_
#define VANTREL_APP_MAIN_WINDOW_H_

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QWidget>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "app/window_services.h"

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace vantrel {

class CaptionLabel;

// The outer size of the window, frame and caption bar included.
inline constexpr int kWindowWidth = 462;
inline constexpr int kWindowHeight = 394;

// Where the window's outer rectangle starts on a screen of `screen` size:
// ((width − 462) / 2, (height − 394) / 2), each division truncated toward zero.
QPoint CentredOrigin(const QSize& screen);

// The one line of the About box.
const Text& AuthorCredit();

class MainWindow final : public QWidget {
 public:
  // What one press of Start runs on its new thread.
  using HarvestRoutine = std::function<void(WindowServices&)>;

  explicit MainWindow(HarvestRoutine harvest);
  ~MainWindow() override;

  // The services for this window, callable from any thread.
  WindowServices& Services();

  // The widget of `control`.
  QWidget* ControlWidget(Control control) const;

  // Places the window's outer rectangle centred on `screen` (the whole screen, not its work area).
  void PlaceOnScreen(const QRect& screen);

  // The click handlers of 按钮1 and 按钮2.
  void OnStartClicked();
  void OnAboutClicked();

  // GUI thread only: the whole text of a control as code-page 936, with the result box's line
  // breaks as "\r\n"; replacing it; joining text to its end, in time proportional to `text`.
  // Each first takes in the appends queued so far, so it sees and keeps their order.
  Text ControlText(Control control);
  void SetControlText(Control control, const Text& text);
  void AppendToControl(Control control, const Text& text);

  // Any thread: queues `text` to be joined to the end of 超级编辑框1 and returns without waiting.
  // Queued texts reach the box whole and in the order they were queued, in one insertion per
  // batch, before any other read, write or append of a control is carried out.
  void QueueAppend(const Text& text);

  // Runs `onClosed` when the user closes the window.
  void SetOnClosed(std::function<void()> onClosed);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void FitOuterSize();
  void FlushQueuedAppends();
  void InsertAtEnd(std::string_view gbk);

  HarvestRoutine harvest_;
  std::function<void()> onClosed_;
  std::unique_ptr<WindowServices> services_;
  QPushButton* startButton_ = nullptr;   // 按钮1
  QLineEdit* urlBox_ = nullptr;          // 编辑框1
  QPlainTextEdit* resultBox_ = nullptr;  // 超级编辑框1
  QPushButton* aboutButton_ = nullptr;   // 按钮2
  CaptionLabel* label_ = nullptr;        // 标签1
  bool frameFitted_ = false;
  std::mutex queuedMutex_;
  std::string queued_;  // code-page 936 text waiting for the GUI thread
};

}  // namespace vantrel

#endif  // VANTREL_APP_MAIN_WINDOW_H_
