#include "app/main_window.h"

#include <QCloseEvent>
#include <QFont>
#include <QIcon>
#include <QLineEdit>
#include <QMetaObject>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>
#include <utility>

#include "app/caption_label.h"
#include "app/qt_text.h"
#include "app/qt_window_services.h"
#include "app/start_thread.h"
#include "text/codepage.h"

namespace vantrel {
namespace {

// The result box keeps its paragraphs apart with "\n"; the system's texts use "\r\n".
QString ToBoxLineBreaks(QString text) {
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QChar(u'\r'), QChar(u'\n'));
  return text;
}

QString FromBoxLineBreaks(QString text) {
  text.replace(QChar(u'\n'), QStringLiteral("\r\n"));
  return text;
}

}  // namespace

QPoint CentredOrigin(const QSize& screen) {
  // Integer division in C++ truncates toward zero, as the placement asks.
  return {(screen.width() - kWindowWidth) / 2, (screen.height() - kWindowHeight) / 2};
}

const Text& AuthorCredit() {
  static const Text credit = GbkFromUtf8(
      "Vantrel 由 Vantrel 开发组编写　网站：https://vantrel.example.org　联系邮箱："
      "team@vantrel.example.org");
  return credit;
}

MainWindow::MainWindow(HarvestRoutine harvest)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      harvest_(std::move(harvest)),
      services_(std::make_unique<QtWindowServices>(this)) {
  setWindowTitle(QStringLiteral("Vantrel"));
  setWindowIcon(QIcon(QStringLiteral(":/vantrel/vantrel.svg")));
  setFixedSize(kWindowWidth, kWindowHeight);

  QPalette face = palette();
  face.setColor(QPalette::Window, face.color(QPalette::Button));
  setPalette(face);
  setAutoFillBackground(true);

  // Children made later lie above those made earlier, so the controls are made from the bottom of
  // the stacking order up: 按钮1, 编辑框1, 超级编辑框1, 按钮2, and 标签1 on top.
  startButton_ = new QPushButton(Utf8Literal("开始获取"), this);
  startButton_->setObjectName(Utf8Literal("按钮1"));
  startButton_->setGeometry(357, 8, 80, 32);
  startButton_->setAutoDefault(false);
  startButton_->setFocusPolicy(Qt::StrongFocus);

  urlBox_ = new QLineEdit(this);
  urlBox_->setObjectName(Utf8Literal("编辑框1"));
  urlBox_->setGeometry(109, 8, 224, 32);
  urlBox_->setFocusPolicy(Qt::StrongFocus);

  resultBox_ = new QPlainTextEdit(this);
  resultBox_->setObjectName(Utf8Literal("超级编辑框1"));
  resultBox_->setGeometry(16, 64, 317, 256);
  resultBox_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  resultBox_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  resultBox_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  resultBox_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  resultBox_->setFocusPolicy(Qt::StrongFocus);
  QFont boxFont;
  boxFont.setFamilies({Utf8Literal("宋体"), QStringLiteral("SimSun"),
                       QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC")});
  boxFont.setPointSize(9);
  resultBox_->setFont(boxFont);

  aboutButton_ = new QPushButton(Utf8Literal("关于作者"), this);
  aboutButton_->setObjectName(Utf8Literal("按钮2"));
  aboutButton_->setGeometry(357, 216, 80, 32);
  aboutButton_->setAutoDefault(false);
  aboutButton_->setFocusPolicy(Qt::StrongFocus);

  label_ = new CaptionLabel(Utf8Literal("网址"), this);
  label_->setObjectName(Utf8Literal("标签1"));
  label_->setGeometry(16, 8, 56, 24);

  // Tab moves through the four tab stops in the window's own order of its controls.
  setTabOrder(aboutButton_, resultBox_);
  setTabOrder(resultBox_, urlBox_);
  setTabOrder(urlBox_, startButton_);
  urlBox_->setFocus();

  connect(startButton_, &QPushButton::clicked, this, [this] { OnStartClicked(); });
  connect(aboutButton_, &QPushButton::clicked, this, [this] { OnAboutClicked(); });
}

MainWindow::~MainWindow() = default;

WindowServices& MainWindow::Services() { return *services_; }

QWidget* MainWindow::ControlWidget(Control control) const {
  switch (control) {
    case Control::标签1:
      return label_;
    case Control::编辑框1:
      return urlBox_;
    case Control::超级编辑框1:
      return resultBox_;
    case Control::按钮1:
      return startButton_;
    case Control::按钮2:
      return aboutButton_;
  }
  return nullptr;
}

void MainWindow::PlaceOnScreen(const QRect& screen) {
  move(screen.topLeft() + CentredOrigin(screen.size()));
}

void MainWindow::OnStartClicked() {
  if (!harvest_) return;
  // Whether the thread could start is not looked at: when it cannot, nothing happens.
  StartThread([harvest = harvest_, services = services_.get()] { harvest(*services); });
}

void MainWindow::OnAboutClicked() { services_->ShowMessage(AuthorCredit(), kMbOk); }

Text MainWindow::ControlText(Control control) {
  FlushQueuedAppends();
  switch (control) {
    case Control::标签1:
      return TextFromQString(label_->text());
    case Control::编辑框1:
      return TextFromQString(urlBox_->text());
    case Control::超级编辑框1:
      return TextFromQString(FromBoxLineBreaks(resultBox_->toPlainText()));
    case Control::按钮1:
      return TextFromQString(startButton_->text());
    case Control::按钮2:
      return TextFromQString(aboutButton_->text());
  }
  return Text();
}

void MainWindow::SetControlText(Control control, const Text& text) {
  FlushQueuedAppends();
  const QString string = QStringFromText(text);
  switch (control) {
    case Control::标签1:
      label_->setText(string);
      break;
    case Control::编辑框1:
      urlBox_->setText(string);
      break;
    case Control::超级编辑框1:
      resultBox_->setPlainText(ToBoxLineBreaks(string));
      break;
    case Control::按钮1:
      startButton_->setText(string);
      break;
    case Control::按钮2:
      aboutButton_->setText(string);
      break;
  }
}

void MainWindow::AppendToControl(Control control, const Text& text) {
  FlushQueuedAppends();
  if (control != Control::超级编辑框1) {
    SetControlText(control, ConcatText({View(ControlText(control)), View(text)}));
    return;
  }
  InsertAtEnd(View(text));
}

void MainWindow::QueueAppend(const Text& text) {
  if (text.empty()) return;
  bool first = false;
  {
    std::lock_guard<std::mutex> lock(queuedMutex_);
    first = queued_.empty();
    queued_.append(text.data(), text.size());
  }
  // One flush is asked for per batch: appends that arrive before it runs join the batch.
  if (first)
    QMetaObject::invokeMethod(
        this, [this] { FlushQueuedAppends(); }, Qt::QueuedConnection);
}

void MainWindow::FlushQueuedAppends() {
  std::string batch;
  {
    std::lock_guard<std::mutex> lock(queuedMutex_);
    batch.swap(queued_);
  }
  InsertAtEnd(batch);
}

void MainWindow::InsertAtEnd(std::string_view gbk) {
  if (gbk.empty()) return;
  // Inserting at the end touches only the new text; the box is never read back. Like a
  // whole-text write, the append leaves no undo step behind, and the user's caret stays put.
  QTextDocument* document = resultBox_->document();
  const bool undo = document->isUndoRedoEnabled();
  document->setUndoRedoEnabled(false);
  QTextCursor cursor(document);
  cursor.movePosition(QTextCursor::End);
  cursor.insertText(ToBoxLineBreaks(QStringFromText(MakeText(gbk))));
  document->setUndoRedoEnabled(undo);
}

void MainWindow::SetOnClosed(std::function<void()> onClosed) { onClosed_ = std::move(onClosed); }

void MainWindow::closeEvent(QCloseEvent* event) {
  event->accept();
  if (onClosed_) onClosed_();
}

void MainWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  FitOuterSize();
}

void MainWindow::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  FitOuterSize();
}

void MainWindow::FitOuterSize() {
  // Where the platform draws a frame, the outer rectangle (frame and caption bar included) is
  // 462 × 394; the frame is known only once the window is shown, sometimes a little later.
  if (frameFitted_ || !isVisible()) return;
  const QRect outer = frameGeometry();
  const QRect inner = geometry();
  const int frameWidth = outer.width() - inner.width();
  const int frameHeight = outer.height() - inner.height();
  if (frameWidth <= 0 && frameHeight <= 0) return;
  frameFitted_ = true;
  const QPoint origin = outer.topLeft();
  setFixedSize(kWindowWidth - frameWidth, kWindowHeight - frameHeight);
  move(origin);
}

}  // namespace vantrel
