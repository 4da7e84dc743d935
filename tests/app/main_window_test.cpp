#include "app/main_window.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFontInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/caption_label.h"
#include "app/qt_text.h"
#include "app/qt_window_services.h"
#include "tests/app/qt_application.h"
#include "text/codepage.h"

namespace vantrel {
namespace {

using testing::BoxRecorder;
using testing::ClickThroughWindowSystem;
using testing::WaitFor;

// While it lives, runs `step` every 5 ms whenever `boxes` has a box up (also inside a modal box's
// own event loop) and closes the open boxes once `step` returns true, or after ten seconds.
class Watch {
 public:
  Watch(BoxRecorder& boxes, std::function<bool()> step) {
    clock_.start();
    QObject::connect(&timer_, &QTimer::timeout, [&boxes, step = std::move(step), this] {
      if (boxes.OpenBoxes().empty()) return;
      if (step() || clock_.elapsed() > 10000) boxes.CloseOpenBoxes();
    });
    timer_.start(5);
  }

 private:
  QElapsedTimer clock_;
  QTimer timer_;
};

Text Gbk(const char* utf8) { return GbkFromUtf8(utf8); }

// Runs `work` on a thread of its own while the GUI thread keeps handling events.
void OnWorker(const std::function<void()>& work) {
  std::atomic<bool> done{false};
  std::thread worker([&] {
    work();
    done = true;
  });
  const bool finished = WaitFor([&] { return done.load(); });
  worker.join();
  ASSERT_TRUE(finished);
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = std::make_unique<MainWindow>([this](WindowServices& services) {
      Text url = services.ReadControlText(Control::编辑框1);
      services.AppendControlText(Control::超级编辑框1, ConcatText({View(url), "\r\n"}));
      ++harvests_;
    });
    window_->show();
  }

  QPlainTextEdit* ResultBox() {
    return static_cast<QPlainTextEdit*>(window_->ControlWidget(Control::超级编辑框1));
  }

  std::unique_ptr<MainWindow> window_;
  std::atomic<int> harvests_{0};
};

TEST_F(MainWindowTest, EachControlHasItsKindPlaceTextAndTabStop) {
  struct Row {
    Control control;
    const char* name;
    const char* kind;
    QRect geometry;
    const char* text;
    bool tabStop;
  };
  const Row rows[] = {
      {Control::标签1, "标签1", "vantrel::CaptionLabel", {16, 8, 56, 24}, "网址", false},
      {Control::按钮2, "按钮2", "QPushButton", {357, 216, 80, 32}, "关于作者", true},
      {Control::超级编辑框1, "超级编辑框1", "QPlainTextEdit", {16, 64, 317, 256}, "", true},
      {Control::编辑框1, "编辑框1", "QLineEdit", {109, 8, 224, 32}, "", true},
      {Control::按钮1, "按钮1", "QPushButton", {357, 8, 80, 32}, "开始获取", true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    QWidget* widget = window_->ControlWidget(row.control);
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->objectName(), QString::fromUtf8(row.name));
    EXPECT_EQ(widget->parentWidget(), window_.get());
    const bool kindMatches = std::string(row.kind) == "vantrel::CaptionLabel"
                                 ? dynamic_cast<CaptionLabel*>(widget) != nullptr
                                 : std::string(widget->metaObject()->className()) == row.kind;
    EXPECT_TRUE(kindMatches) << widget->metaObject()->className();
    EXPECT_EQ(widget->geometry(), row.geometry);
    EXPECT_EQ(window_->ControlText(row.control), Gbk(row.text));
    EXPECT_EQ((widget->focusPolicy() & Qt::TabFocus) != 0, row.tabStop);
    EXPECT_TRUE(widget->isVisible());
    EXPECT_TRUE(widget->isEnabled());
  }
}

TEST_F(MainWindowTest, ControlsStackInTheWindowOrderAndDoNotOverlap) {
  // Qt keeps siblings from the bottom of the stack to the top.
  std::vector<QString> bottomToTop;
  std::vector<QWidget*> widgets;
  for (QObject* child : window_->children()) {
    if (auto* widget = qobject_cast<QWidget*>(child); widget && !widget->isWindow()) {
      bottomToTop.push_back(widget->objectName());
      widgets.push_back(widget);
    }
  }
  const std::vector<QString> expected = {"按钮1", "编辑框1", "超级编辑框1", "按钮2", "标签1"};
  EXPECT_EQ(bottomToTop, expected);
  for (std::size_t i = 0; i < widgets.size(); ++i) {
    for (std::size_t j = i + 1; j < widgets.size(); ++j) {
      SCOPED_TRACE(widgets[i]->objectName().toStdString() + " / " +
                   widgets[j]->objectName().toStdString());
      EXPECT_FALSE(widgets[i]->geometry().intersects(widgets[j]->geometry()));
    }
  }
}

TEST_F(MainWindowTest, WindowIsAFixedCaptionedBoxWithACloseButtonOnly) {
  EXPECT_EQ(window_->windowTitle(), QStringLiteral("Vantrel"));
  const Qt::WindowFlags flags = window_->windowFlags();
  EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
  EXPECT_TRUE(flags.testFlag(Qt::WindowSystemMenuHint));
  EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowStaysOnTopHint));
  // The outer rectangle, frame included, has the fixed size; the client area is what is left.
  EXPECT_EQ(window_->frameGeometry().size(), QSize(kWindowWidth, kWindowHeight));
  EXPECT_EQ(window_->minimumSize(), window_->maximumSize());
  EXPECT_EQ(window_->palette().color(QPalette::Window), window_->palette().color(QPalette::Button));
  EXPECT_FALSE(window_->windowIcon().isNull());
  EXPECT_FALSE(window_->windowIcon().pixmap(32, 32).isNull());

  QPlainTextEdit* box = ResultBox();
  EXPECT_FALSE(box->isReadOnly());
  EXPECT_EQ(box->lineWrapMode(), QPlainTextEdit::WidgetWidth);
  EXPECT_EQ(box->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  EXPECT_EQ(box->font().families().value(0), QStringLiteral("宋体"));
  EXPECT_EQ(box->font().pointSize(), 9);
}

TEST_F(MainWindowTest, ResizingIsRefused) {
  const QSize client = window_->size();
  window_->resize(800, 600);
  EXPECT_EQ(window_->size(), client);
  EXPECT_EQ(window_->frameGeometry().size(), QSize(kWindowWidth, kWindowHeight));
}

TEST(WindowPlacementTest, CentresTheOuterRectangleOnTheWholeScreen) {
  struct Row {
    const char* name;
    QSize screen;
    QPoint origin;
  };
  const Row rows[] = {
      {"1024 x 768", {1024, 768}, {281, 187}},
      {"1365 wide", {1365, 768}, {451, 187}},
      {"1920 x 1080", {1920, 1080}, {729, 343}},
      // Smaller than the window: the division truncates toward zero, not down.
      {"smaller than the window", {461, 393}, {0, 0}},
      {"much smaller", {400, 300}, {-31, -47}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(CentredOrigin(row.screen), row.origin);
    MainWindow window(nullptr);
    window.PlaceOnScreen(QRect(QPoint(0, 0), row.screen));
    EXPECT_EQ(window.frameGeometry().topLeft(), row.origin);
  }
}

TEST_F(MainWindowTest, AboutShowsTheCreditAndBlocksTheWindowUntilClosed) {
  BoxRecorder boxes;
  boxes.KeepOpen(true);
  // The About box runs its own event loop; the watcher runs inside it. A click on Start while the
  // box is up must not reach the window.
  int ticks = 0;
  Watch watcher(boxes, [&] {
    if (++ticks == 1) ClickThroughWindowSystem(window_->ControlWidget(Control::按钮1));
    return ticks > 20;  // give a wrongly started harvest time to show
  });
  ClickThroughWindowSystem(window_->ControlWidget(Control::按钮2));
  EXPECT_EQ(harvests_.load(), 0);

  const std::vector<testing::SeenBox> seen = boxes.Seen();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, QStringFromText(AuthorCredit()));
  EXPECT_EQ(seen[0].title, QStringLiteral("信息："));
  EXPECT_EQ(seen[0].icon, QMessageBox::NoIcon);
  EXPECT_NE(seen[0].modality, Qt::NonModal);
  EXPECT_TRUE(seen[0].wasActiveModal);
  // One line, crediting the team with a site and a contact.
  const std::string credit = GbkToUtf8(View(AuthorCredit()));
  EXPECT_EQ(credit.find('\n'), std::string::npos);
  EXPECT_NE(credit.find("https://"), std::string::npos);
  EXPECT_NE(credit.find('@'), std::string::npos);

  // Once the box is closed the same click starts a harvest.
  ClickThroughWindowSystem(window_->ControlWidget(Control::按钮1));
  EXPECT_TRUE(WaitFor([&] { return harvests_.load() == 1; }));
}

TEST_F(MainWindowTest, HarvestsKeepAppendingWhileTheAboutBoxIsUp) {
  BoxRecorder boxes;
  boxes.KeepOpen(true);
  std::atomic<bool> appended{false};
  std::thread worker([&] {
    while (boxes.Count() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    window_->Services().AppendControlText(Control::超级编辑框1, Gbk("during\r\n"));
    appended = true;
  });
  bool seenWhileUp = false;
  Watch watcher(boxes, [&] {
    seenWhileUp = appended && ResultBox()->toPlainText() == QStringLiteral("during\n");
    return seenWhileUp;
  });
  ClickThroughWindowSystem(window_->ControlWidget(Control::按钮2));
  worker.join();
  EXPECT_TRUE(seenWhileUp);
  EXPECT_EQ(boxes.Count(), 1u);
}

TEST_F(MainWindowTest, AWorkersBoxStaysUsableWhileTheAboutBoxIsUp) {
  // The window is the active one, as it is when the user has just pressed Start.
  window_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  BoxRecorder boxes;
  boxes.KeepOpen(true);
  std::atomic<bool> returned{false};
  std::thread worker([&] {
    window_->Services().ShowMessage(Gbk("匹配失败"), kMbIconError);
    returned = true;
  });
  ASSERT_TRUE(WaitFor([&] { return boxes.OpenBoxes().size() == 1; }));
  QMessageBox* workersBox = boxes.OpenBoxes()[0];
  // With About up, the user closes the worker's box with its OK button, and the worker goes on.
  bool clicked = false;
  bool returnedWhileAboutUp = false;
  Watch watcher(boxes, [&] {
    if (boxes.Count() < 2) return false;
    if (!clicked) {
      ClickThroughWindowSystem(workersBox->button(QMessageBox::Ok));
      clicked = true;
    }
    returnedWhileAboutUp = returned.load();
    return returnedWhileAboutUp;
  });
  ClickThroughWindowSystem(window_->ControlWidget(Control::按钮2));
  const bool done = WaitFor([&] { return returned.load(); });
  worker.join();
  EXPECT_TRUE(done);
  EXPECT_TRUE(returnedWhileAboutUp);
  EXPECT_EQ(boxes.Count(), 2u);
}

TEST_F(MainWindowTest, ServicesFromAWorkerReadWriteAndAppendTheResultBox) {
  struct Row {
    const char* name;
    const char* before;  // written first
    const char* append;  // then appended
    const char* after;   // read back
  };
  const Row rows[] = {
      {"empty box", "", "a@b.c\r\n", "a@b.c\r\n"},
      {"joined to text without a line break", "old", "a@b.c\r\n", "olda@b.c\r\n"},
      {"after earlier lines", "x@y.z\r\n", "a@b.c\r\n", "x@y.z\r\na@b.c\r\n"},
      {"Chinese text survives", "地址：\r\n", "联系@例子.中国\r\n", "地址：\r\n联系@例子.中国\r\n"},
      {"a lone CR is a line break", "a\rb", "", "a\r\nb"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Text read;
    OnWorker([&] {
      WindowServices& services = window_->Services();
      services.WriteControlText(Control::超级编辑框1, Gbk(row.before));
      services.AppendControlText(Control::超级编辑框1, Gbk(row.append));
      read = services.ReadControlText(Control::超级编辑框1);
    });
    EXPECT_EQ(read, Gbk(row.after));
    EXPECT_EQ(window_->ControlText(Control::超级编辑框1), Gbk(row.after));
  }
}

TEST_F(MainWindowTest, AWorkersQueuedAppendsKeepTheirPlaceAmongItsOtherCalls) {
  Text read;
  OnWorker([&] {
    WindowServices& services = window_->Services();
    services.AppendControlText(Control::超级编辑框1, Gbk("1\r\n"));
    services.AppendControlText(Control::超级编辑框1, Gbk("2\r\n"));
    services.WriteControlText(Control::超级编辑框1, Gbk("w\r\n"));
    services.AppendControlText(Control::超级编辑框1, Gbk("3\r\n"));
    read = services.ReadControlText(Control::超级编辑框1);
    services.AppendControlText(Control::超级编辑框1, Gbk("4\r\n"));
  });
  EXPECT_EQ(read, Gbk("w\r\n3\r\n"));
  // The last append reaches the box without anybody reading it.
  EXPECT_TRUE(WaitFor([&] { return ResultBox()->toPlainText() == QStringLiteral("w\n3\n4\n"); }))
      << ResultBox()->toPlainText().toStdString();
}

TEST_F(MainWindowTest, AppendingLeavesTheUsersCaretWhereItWas) {
  QPlainTextEdit* box = ResultBox();
  window_->SetControlText(Control::超级编辑框1, Gbk("first\r\nsecond\r\n"));
  QTextCursor caret = box->textCursor();
  caret.setPosition(3);
  box->setTextCursor(caret);
  window_->AppendToControl(Control::超级编辑框1, Gbk("third\r\n"));
  EXPECT_EQ(box->textCursor().position(), 3);
  EXPECT_EQ(box->toPlainText(), QStringLiteral("first\nsecond\nthird\n"));
}

TEST_F(MainWindowTest, UrlBoxIsReadFromAWorker) {
  static_cast<QLineEdit*>(window_->ControlWidget(Control::编辑框1))
      ->setText(QStringLiteral("http://127.0.0.1/联系"));
  Text url;
  OnWorker([&] { url = window_->Services().ReadControlText(Control::编辑框1); });
  EXPECT_EQ(url, Gbk("http://127.0.0.1/联系"));
}

TEST_F(MainWindowTest, EachStartPressRunsOneMoreHarvestThatReadsTheUrlBox) {
  window_->SetControlText(Control::编辑框1, Gbk("http://one.example"));
  for (int i = 0; i < 3; ++i)
    QTest::mouseClick(window_->ControlWidget(Control::按钮1), Qt::LeftButton);
  ASSERT_TRUE(WaitFor([&] { return harvests_.load() == 3; }));
  EXPECT_EQ(window_->ControlText(Control::超级编辑框1),
            Gbk("http://one.example\r\nhttp://one.example\r\nhttp://one.example\r\n"));
}

TEST_F(MainWindowTest, ConcurrentAppendsLoseNoLine) {
  constexpr int kThreads = 20;
  constexpr int kLines = 200;
  std::atomic<int> finished{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kLines; ++i) {
        const std::string line = "t" + std::to_string(t) + "-" + std::to_string(i) + "\r\n";
        window_->Services().AppendControlText(Control::超级编辑框1, MakeText(line));
      }
      ++finished;
    });
  }
  const bool done = WaitFor([&] { return finished.load() == kThreads; });
  for (std::thread& thread : threads) thread.join();
  ASSERT_TRUE(done);
  const QStringList lines = QStringFromText(window_->ControlText(Control::超级编辑框1))
                                .split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), kThreads * kLines);
  // Each thread's lines arrive complete and in its own order.
  std::vector<int> next(kThreads, 0);
  for (const QString& line : lines) {
    const QStringList parts = line.mid(1).split('-');
    ASSERT_EQ(parts.size(), 2) << line.toStdString();
    const int t = parts[0].toInt();
    EXPECT_EQ(parts[1].toInt(), next[t]++) << line.toStdString();
  }
}

TEST_F(MainWindowTest, AWorkersBoxLeavesTheWindowUsableAndWaitsForItsClose) {
  BoxRecorder boxes;
  boxes.KeepOpen(true);
  std::atomic<bool> returned{false};
  std::thread worker([&] {
    window_->Services().ShowMessage(Gbk("匹配失败"), kMbIconError);
    returned = true;
  });
  ASSERT_TRUE(WaitFor([&] { return boxes.Count() == 1; }));
  // While the box is up the window takes clicks and other harvests keep appending.
  window_->SetControlText(Control::编辑框1, Gbk("next"));
  ClickThroughWindowSystem(window_->ControlWidget(Control::按钮1));
  EXPECT_TRUE(WaitFor([&] { return harvests_.load() == 1; }));
  EXPECT_EQ(window_->ControlText(Control::超级编辑框1), Gbk("next\r\n"));
  EXPECT_FALSE(returned.load());

  boxes.CloseOpenBoxes();
  const bool done = WaitFor([&] { return returned.load(); });
  worker.join();
  EXPECT_TRUE(done);
  const testing::SeenBox seen = boxes.Seen().at(0);
  EXPECT_EQ(seen.text, QStringLiteral("匹配失败"));
  EXPECT_EQ(seen.title, QStringLiteral("信息："));
  EXPECT_EQ(seen.icon, QMessageBox::Critical);
  EXPECT_EQ(seen.modality, Qt::NonModal);
}

TEST_F(MainWindowTest, AGivenTitleCaptionsTheBox) {
  BoxRecorder boxes;
  OnWorker([&] { window_->Services().ShowMessage(Gbk("正文"), kMbOk, Gbk("标题")); });
  ASSERT_EQ(boxes.Count(), 1u);
  EXPECT_EQ(boxes.Seen()[0].title, QStringLiteral("标题"));
  EXPECT_EQ(boxes.Seen()[0].icon, QMessageBox::NoIcon);
}

TEST(WindowServicesDeathTest, AWindowThatIsGoneIsAFatalError) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        QtWindowServices services(nullptr);
        services.ReadControlText(Control::超级编辑框1);
      },
      ::testing::ExitedWithCode(255), "指定窗口尚未载入");
}

}  // namespace
}  // namespace vantrel
