#include "tests/app/qt_application.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QPointer>
#include <QTest>
#include <QThread>
#include <memory>

#include "app/message_box.h"

// Fontconfig, which Qt uses to find fonts, keeps caches that it does not free at exit; leak
// checking in the test programs leaves them aside.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace vantrel::testing {
namespace {

class QtEnvironment final : public ::testing::Environment {
 public:
  void SetUp() override {
    static int argc = 1;
    static char name[] = "vantrel_app_test";
    static char* argv[] = {name, nullptr};
    application_ = std::make_unique<QApplication>(argc, argv);
  }
  void TearDown() override { application_.reset(); }

 private:
  std::unique_ptr<QApplication> application_;
};

[[maybe_unused]] const ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

}  // namespace

bool WaitFor(const std::function<bool()>& done, int timeoutMs) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > timeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(1);
  }
  return true;
}

void ClickThroughWindowSystem(QWidget* target) {
  QWidget* top = target->window();
  QTest::mouseClick(top->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                    target->mapTo(top, target->rect().center()));
}

BoxRecorder::BoxRecorder() {
  SetMessageBoxObserver([this](QMessageBox& box) {
    SeenBox seen{box.text(), box.windowTitle(), box.icon(), box.windowModality(),
                 QApplication::activeModalWidget() == &box};
    bool keep = false;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      seen_.push_back(seen);
      keep = keepOpen_;
      if (keep) open_.emplace_back(&box);
    }
    if (!keep) box.done(QMessageBox::Ok);
  });
}

BoxRecorder::~BoxRecorder() {
  CloseOpenBoxes();
  SetMessageBoxObserver({});
}

std::vector<SeenBox> BoxRecorder::Seen() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return seen_;
}

std::size_t BoxRecorder::Count() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return seen_.size();
}

void BoxRecorder::KeepOpen(bool keep) {
  std::lock_guard<std::mutex> lock(mutex_);
  keepOpen_ = keep;
}

std::vector<QMessageBox*> BoxRecorder::OpenBoxes() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<QMessageBox*> boxes;
  for (const QPointer<QMessageBox>& box : open_) {
    if (box && box->isVisible()) boxes.push_back(box.data());
  }
  return boxes;
}

void BoxRecorder::CloseOpenBoxes() {
  std::vector<QPointer<QMessageBox>> boxes;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    boxes.swap(open_);
  }
  for (const QPointer<QMessageBox>& box : boxes) {
    if (box) box->done(QMessageBox::Ok);
  }
}

}  // namespace vantrel::testing
